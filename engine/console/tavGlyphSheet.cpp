#include "console/tavGlyphSheet.h"

#include <cmath>
#include <cstring>

namespace
{
const size_t HeaderBytes = 4 + 4 + 4 + 4 + 4 + tavGlyphSheet::GlyphCount * 16;

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

float ReadF32(const uint8_t* p)
{
    const uint32_t bits = ReadU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}
} // namespace

tavGlyphSheet::tavGlyphSheet() : glyphs(), texWidth(0), texHeight(0), scale(1.0f), fontHeight(0)
{
}

uint32_t tavGlyphSheet::SheetSize(int height, uint32_t maxTextureWidth, float* scale)
{
    uint32_t size = 256;
    if (height > 40 || height < 0)
        size = 1024;
    else if (height > 20)
        size = 512;
    float factor = 1.0f;
    if (maxTextureWidth > 0 && maxTextureWidth < size)
    {
        factor = float(maxTextureWidth) / float(size);
        size = maxTextureWidth;
    }
    if (scale) *scale = factor;
    return size;
}

bool tavGlyphSheet::ParseFontFile(const uint8_t* data, size_t size, const uint8_t** pixels,
                                  std::string* error)
{
    auto fail = [error](const char* why)
    {
        if (error) *error = why;
        return false;
    };
    if (!data || size < HeaderBytes) return fail("too short for a font header");
    tavGlyphSheet read;
    read.fontHeight = ReadF32(data + 4);
    read.texWidth = ReadU32(data + 8);
    read.texHeight = ReadU32(data + 12);
    read.scale = ReadF32(data + 16);
    if (read.texWidth == 0 || read.texHeight == 0 || read.texWidth > MaxFileSheetSize ||
        read.texHeight > MaxFileSheetSize)
        return fail("sheet size out of range");
    if (!std::isfinite(read.fontHeight) || !std::isfinite(read.scale) || read.scale <= 0.0f)
        return fail("bad height or scale");
    const uint8_t* p = data + 20;
    for (tavGlyphRect& g : read.glyphs)
    {
        g = {ReadF32(p), ReadF32(p + 4), ReadF32(p + 8), ReadF32(p + 12)};
        p += 16;
        if (!std::isfinite(g.left) || !std::isfinite(g.top) || !std::isfinite(g.right) ||
            !std::isfinite(g.bottom))
            return fail("bad glyph rectangle");
    }
    // Both sizes are at most 4096, so this product cannot overflow.
    const size_t pixelBytes = size_t(read.texWidth) * read.texHeight * 4;
    if (size - HeaderBytes < pixelBytes) return fail("fewer pixels than the sheet size says");
    *this = read;
    if (pixels) *pixels = data + HeaderBytes;
    return true;
}

float tavGlyphSheet::GlyphWidth(unsigned char c) const
{
    const tavGlyphRect& g = Glyph(c);
    return (g.right - g.left) * float(texWidth) / scale;
}

float tavGlyphSheet::GlyphHeight(unsigned char c) const
{
    const tavGlyphRect& g = Glyph(c);
    return (g.bottom - g.top) * float(texHeight) / scale;
}
