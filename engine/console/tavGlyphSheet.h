#pragma once
// What a bitmap font knows about its glyph sheet, as plain data: where each
// character sits in the texture, the sheet size, the scale it was made at
// and the height of the font. Portable: the GDI rasteriser and the font
// file reader fill it, the text layout reads it.

#include <cstddef>
#include <cstdint>
#include <string>

// Texture coordinates (0..1) of one character cell.
struct tavGlyphRect
{
    float left, top, right, bottom;
};

class tavGlyphSheet
{
public:
    static const int FirstChar = 32;
    static const int GlyphCount = 96; // characters 32..127
    // Sheets this big and more are refused from files (64 MB of pixels).
    static const uint32_t MaxFileSheetSize = 4096;

    tavGlyphSheet();

    // Square sheet size for a font height: 1024 when the height is above 40
    // or negative, 512 for 21..40, 256 for 0..20. A device that cannot hold
    // that size gets its largest texture instead, and `scale` (1.0 else)
    // says by how much the glyphs shrank.
    static uint32_t SheetSize(int height, uint32_t maxTextureWidth, float* scale);

    // The sheet texel (A4R4G4B4) of a 32-bit pixel of white text on black:
    // white with the pixel's blue high nibble as alpha, or fully clear.
    static uint16_t Texel(uint32_t pixel)
    {
        return ((pixel >> 4) & 0xF) ? uint16_t((((pixel >> 4) & 0xF) << 12) | 0x0FFF) : 0;
    }

    // Reads a font file held in memory (little-endian): 4 ignored bytes, the
    // height (float), the sheet width and height (u32), the scale (float),
    // 96 glyph rectangles of four floats, then width x height 4-byte pixels
    // row by row. On success `pixels` points into `data` at the first pixel.
    // On failure the sheet is left as it was and `error` says why.
    bool ParseFontFile(const uint8_t* data, size_t size, const uint8_t** pixels,
                       std::string* error);

    const tavGlyphRect& Glyph(unsigned char c) const { return glyphs[c - FirstChar]; }
    // Glyph width and height in font pixels (texels undone by the scale).
    float GlyphWidth(unsigned char c) const;
    float GlyphHeight(unsigned char c) const;

    tavGlyphRect glyphs[GlyphCount];
    uint32_t texWidth;
    uint32_t texHeight;
    float scale;      // 1.0, or less when the device limited the sheet
    float fontHeight; // the height the font was made with (points)
};
