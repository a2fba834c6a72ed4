#include "console/tavGlyphSheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
void Put(std::vector<uint8_t>& out, float f, bool asFloat = true)
{
    uint32_t v = uint32_t(f);
    if (asFloat) std::memcpy(&v, &f, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

// A font file of a w x h sheet; glyph c spans columns c-32 .. c-31 of a
// 96-texel-wide strip, so every rectangle is different.
std::vector<uint8_t> FontFile(uint32_t w, uint32_t h, float height = 25.0f, float scale = 1.0f,
                              size_t pixelBytes = size_t(-1))
{
    std::vector<uint8_t> out;
    Put(out, 12345678.0f, false); // ignored
    Put(out, height);
    Put(out, float(w), false);
    Put(out, float(h), false);
    Put(out, scale);
    for (int i = 0; i < tavGlyphSheet::GlyphCount; ++i)
        for (float f : {float(i) / 96.0f, 0.0f, float(i + 1) / 96.0f, 0.5f})
            Put(out, f);
    const size_t bytes = pixelBytes == size_t(-1) ? size_t(w) * h * 4 : pixelBytes;
    for (size_t i = 0; i < bytes; ++i)
        out.push_back(uint8_t(i));
    return out;
}
} // namespace

TEST(tavGlyphSheet, SheetGrowsWithTheHeightAndShrinksToTheDevice)
{
    const struct
    {
        int height;
        uint32_t limit, size;
        float scale;
    } table[] = {{0, 4096, 256, 1},   {20, 4096, 256, 1},   {21, 4096, 512, 1},
                 {25, 4096, 512, 1},  {40, 4096, 512, 1},   {41, 4096, 1024, 1},
                 {-1, 4096, 1024, 1}, {25, 256, 256, 0.5f}, {41, 256, 256, 0.25f},
                 {25, 0, 512, 1}}; // 0: no limit known
    for (const auto& row : table)
    {
        float scale = 0;
        EXPECT_EQ(tavGlyphSheet::SheetSize(row.height, row.limit, &scale), row.size) << row.height;
        EXPECT_EQ(scale, row.scale) << row.height << " within " << row.limit;
    }
}

TEST(tavGlyphSheet, TexelsAreWhiteWithTheBlueHighNibbleAsAlpha)
{
    // Below one step of alpha nothing; only blue counts.
    for (const auto& [pixel, texel] : {std::pair<uint32_t, uint16_t>{0x00FFFFFF, 0xFFFF},
                                       {0x7F, 0x7FFF},
                                       {0x0F, 0},
                                       {0xFFFFFF00, 0},
                                       {0x10, 0x1FFF}})
        EXPECT_EQ(tavGlyphSheet::Texel(pixel), texel) << std::hex << pixel;
}

TEST(tavGlyphSheet, FontFileFillsEveryField)
{
    const std::vector<uint8_t> file = FontFile(8, 4, 30.0f, 0.5f);
    tavGlyphSheet sheet;
    const uint8_t* pixels = nullptr;
    std::string error;
    ASSERT_TRUE(sheet.ParseFontFile(file.data(), file.size(), &pixels, &error)) << error;
    EXPECT_EQ(sheet.fontHeight, 30.0f);
    EXPECT_EQ(sheet.texHeight, 4u);
    EXPECT_EQ(sheet.Glyph('A').left, float('A' - 32) / 96.0f);
    EXPECT_EQ(sheet.Glyph(127).right, 1.0f);
    EXPECT_EQ(pixels, file.data() + 1556);
    // Widths in font pixels undo the scale: 1/96 of 8 texels at half size.
    EXPECT_NEAR(sheet.GlyphWidth('A'), 8.0f / 96.0f / 0.5f, 1e-5);
    EXPECT_FLOAT_EQ(sheet.GlyphHeight('A'), 0.5f * 4.0f / 0.5f);
}

TEST(tavGlyphSheet, BadFontFilesAreRefused)
{
    tavGlyphSheet sheet;
    std::string error;
    const std::vector<uint8_t> good = FontFile(2, 2);
    ASSERT_TRUE(sheet.ParseFontFile(good.data(), good.size(), nullptr, &error));
    std::vector<std::vector<uint8_t>> bad = {
        {},
        std::vector<uint8_t>(1555, 0),
        FontFile(2, 2, 25, 1, 15),                  // one byte of pixels short
        FontFile(0, 2),                             // no width
        FontFile(4097, 1),                          // wider than any sheet
        FontFile(0x40000000, 0x40000000, 25, 1, 0), // a count that would wrap
        FontFile(2, 2, NAN),
        FontFile(2, 2, 25, 0.0f),
        FontFile(2, 2, 25, -1.0f),
    };
    bad.push_back(FontFile(2, 2));
    const float infinite = INFINITY;
    std::memcpy(&bad.back()[20 + 16 * 33 + 8], &infinite, 4); // one glyph not finite
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_FALSE(sheet.ParseFontFile(bad[i].data(), bad[i].size(), nullptr, &error)) << i;
    EXPECT_EQ(sheet.texWidth, 2u);
    EXPECT_FALSE(sheet.ParseFontFile(nullptr, 5000, nullptr, nullptr));
}
