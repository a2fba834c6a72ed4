#pragma once
// Where the glyphs of one string go on screen: the walk shared by drawing
// and measuring. Inline colour codes (an ampersand and a digit) switch the
// colour, a line feed returns to the start x one line lower, other control
// characters and bytes above 126 are skipped. Portable: the font turns the
// quads into vertices.
//
// Screen y grows upward. Positions are in the engine's virtual 1280 x 1024
// space, or in pixels when `raw` is set; glyph sizes are always scaled from
// font pixels to the screen.

#include "console/tavGlyphSheet.h"

#include <cstdint>

// Four 32-bit integers: left = trunc(x), top = trunc(y), right = left plus
// the truncated widths of the printable characters (blanks included, line
// breaks do not reset it), bottom = trunc(y) - 1024, lowered by the font
// height for each line break.
struct tavTextRect
{
    int32_t left, top, right, bottom;
};

// One glyph to draw: screen corners (with the half-pixel offset already
// applied) and the texture coordinates of its cell.
struct tavGlyphQuad
{
    float x0, y0, x1, y1;
    tavGlyphRect uv;
    uint32_t colour;
};

class tavTextLayout
{
public:
    // The colour an inline code selects; code '0' gives back `base`.
    static uint32_t CodeColour(char digit, uint32_t base);

    // `screenWidth` and `screenHeight` are the back-buffer size the virtual
    // space is scaled to.
    tavTextLayout(const tavGlyphSheet& sheet, float screenWidth, float screenHeight)
        : sheet(sheet), screenWidth(screenWidth), screenHeight(screenHeight)
    {
    }

    // Calls sink(const tavGlyphQuad&) for every visible glyph, in order;
    // returns the text's rectangle. A null text is an empty one.
    template <typename Sink>
    tavTextRect Walk(float x, float y, uint32_t colour, const char* text, bool raw,
                     Sink&& sink) const;

    // The rectangle Walk would return, without the glyphs.
    tavTextRect Measure(float x, float y, const char* text, bool raw) const
    {
        return Walk(x, y, 0, text, raw, [](const tavGlyphQuad&) {});
    }

    // The engine's screen scaling: unchanged at 1280 x 1024.
    float ScaleX(float v) const
    {
        return screenWidth == 1280.0f ? v : v * (1.0f / 1280.0f) * screenWidth;
    }
    float ScaleY(float v) const
    {
        return screenHeight == 1024.0f ? v : v * (1.0f / 1024.0f) * screenHeight;
    }

    // trunc() that stops at the int32 limits (and gives 0 for a non-number),
    // so a font file with absurd glyph sizes cannot overflow a rectangle.
    static int32_t Truncate(double v);

private:
    const tavGlyphSheet& sheet;
    float screenWidth;
    float screenHeight;
};

template <typename Sink>
tavTextRect tavTextLayout::Walk(float x, float y, uint32_t colour, const char* text, bool raw,
                                Sink&& sink) const
{
    const float startX = raw ? x : ScaleX(x);
    float sx = startX;
    float sy = (raw ? y : ScaleY(y)) - sheet.fontHeight;
    int64_t right = Truncate(x);
    int64_t bottom = int64_t(Truncate(y)) - 1024;
    uint32_t current = colour;
    for (const char* p = text ? text : ""; *p; ++p)
    {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '&' && p[1] >= '0' && p[1] <= '9')
        {
            current = CodeColour(*++p, colour);
            continue;
        }
        if (c == '\n')
        {
            const tavGlyphRect& blank = sheet.Glyph(' ');
            const float step = (blank.bottom - blank.top) * float(sheet.texHeight);
            sx = startX;
            sy -= raw ? step : ScaleY(step);
            bottom -= Truncate(sheet.fontHeight);
            continue;
        }
        if (c < 32 || c > 126) continue;
        const float w = sheet.GlyphWidth(c);
        const float sw = ScaleX(w), sh = ScaleY(sheet.GlyphHeight(c));
        if (c != ' ')
            sink(tavGlyphQuad{sx - 0.5f, sy - 0.5f, sx + sw - 0.5f, sy + sh - 0.5f, sheet.Glyph(c),
                              current});
        sx += sw;
        right += Truncate(w);
    }
    return tavTextRect{Truncate(x), Truncate(y), Truncate(double(right)), Truncate(double(bottom))};
}
