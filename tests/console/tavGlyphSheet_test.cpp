// Glyph sheets, font files and the layout of text on a sheet.
#include "console/tavGlyphSheet.h"
#include "console/tavTextLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
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
    const float fields[] = {12345678.0f, height, float(w), float(h), scale}; // the first is ignored
    for (int i = 0; i < 5; ++i)
        Put(out, fields[i], i == 1 || i == 4);
    for (int i = 0; i < tavGlyphSheet::GlyphCount; ++i)
        for (float f : {float(i) / 96.0f, 0.0f, float(i + 1) / 96.0f, 0.5f})
            Put(out, f);
    out.resize(out.size() + (pixelBytes == size_t(-1) ? size_t(w) * h * 4 : pixelBytes), 7);
    return out;
}
} // namespace

TEST(tavGlyphSheet, SheetGrowsWithTheHeightAndShrinksToTheDevice)
{
    // {height, the device's limit (0: none known), size, scale}
    for (const auto& [height, limit, size, scale] :
         {std::tuple<int, uint32_t, uint32_t, float>{0, 4096, 256, 1}, {20, 4096, 256, 1},
          {21, 4096, 512, 1}, {40, 4096, 512, 1}, {41, 4096, 1024, 1}, {-1, 4096, 1024, 1},
          {25, 256, 256, 0.5f}, {41, 256, 256, 0.25f}, {25, 0, 512, 1}})
    {
        float got = 0;
        EXPECT_EQ(tavGlyphSheet::SheetSize(height, limit, &got), size) << height;
        EXPECT_EQ(got, scale) << height << " within " << limit;
    }
}

TEST(tavGlyphSheet, TexelsAreWhiteWithTheBlueHighNibbleAsAlpha)
{
    // Below one step of alpha nothing; only blue counts.
    for (const auto& [pixel, texel] : {std::pair<uint32_t, uint16_t>{0x00FFFFFF, 0xFFFF},
                                       {0x7F, 0x7FFF}, {0x0F, 0}, {0xFFFFFF00, 0}})
        EXPECT_EQ(tavGlyphSheet::Texel(pixel), texel) << std::hex << pixel;
}

TEST(tavGlyphSheet, FontFilesFillEveryFieldAndBadOnesAreRefused)
{
    const std::vector<uint8_t> file = FontFile(8, 4, 30.0f, 0.5f);
    tavGlyphSheet sheet;
    const uint8_t* pixels = nullptr;
    std::string error;
    ASSERT_TRUE(sheet.ParseFontFile(file.data(), file.size(), &pixels, &error)) << error;
    EXPECT_EQ((std::vector<float>{sheet.fontHeight, float(sheet.texHeight), sheet.Glyph('A').left,
                                  sheet.Glyph(127).right}),
              (std::vector<float>{30, 4, float('A' - 32) / 96.0f, 1}));
    EXPECT_EQ(pixels, file.data() + 1556);
    // Widths in font pixels undo the scale: 1/96 of 8 texels at half size.
    EXPECT_NEAR(sheet.GlyphWidth('A'), 8.0f / 96.0f / 0.5f, 1e-5);
    EXPECT_FLOAT_EQ(sheet.GlyphHeight('A'), 0.5f * 4.0f / 0.5f);
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
        FontFile(2, 2),
    };
    const float infinite = INFINITY;
    std::memcpy(&bad.back()[20 + 16 * 33 + 8], &infinite, 4); // one glyph not finite
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_FALSE(sheet.ParseFontFile(bad[i].data(), bad[i].size(), nullptr, &error)) << i;
    EXPECT_EQ(sheet.texWidth, 8u) << "a refused file leaves the sheet";
}

namespace
{
// Character c is 8 + c % 5 texels wide and 16 tall on a 256-texel sheet at
// scale 1 and font height 20: every width is exact.
float Width(char c)
{
    return float(8 + c % 5);
}

struct tavTextLayoutTest : ::testing::Test
{
    tavTextLayoutTest()
    {
        sheet.texWidth = sheet.texHeight = 256;
        sheet.scale = 1.0f;
        sheet.fontHeight = 20.0f;
        for (int c = 32; c < 128; ++c)
            sheet.glyphs[c - 32] = {c / 256.0f, 0, (c + Width(char(c))) / 256, 16.0f / 256};
    }
    std::vector<tavGlyphQuad> Quads(const char* text, bool raw = false)
    {
        std::vector<tavGlyphQuad> quads;
        rect = layout->Walk(100, 500, 0xFF00FF00, text, raw,
                            [&](const tavGlyphQuad& q) { quads.push_back(q); });
        return quads;
    }
    int Span() const { return rect.right - rect.left; }
    tavGlyphSheet sheet;
    const tavTextLayout full{sheet, 1280, 1024};
    const tavTextLayout* layout = &full;
    tavTextRect rect{};
};
} // namespace

TEST_F(tavTextLayoutTest, ColourCodesSwitchTakeNoRoomAndAnAmpersandWithoutADigitIsText)
{
    const std::vector<tavGlyphQuad> q = Quads("a&2b&0c");
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ((std::vector<uint32_t>{q[0].colour, q[1].colour, q[2].colour}),
              (std::vector<uint32_t>{0xFF00FF00u, 0xFFFF0000u, 0xFF00FF00u})); // code 0 goes back
    EXPECT_EQ(Span(), int(Width('a') + Width('b') + Width('c')));
    EXPECT_EQ(tavTextLayout::CodeColour('8', 1), 0xFF7A3F9Au);
    const std::vector<tavGlyphQuad> text = Quads("a&xb");
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[1].uv.left, sheet.Glyph('&').left);
    EXPECT_EQ(text[3].colour, 0xFF00FF00u);
    EXPECT_EQ(Quads("end&").size(), 4u);
}

TEST_F(tavTextLayoutTest, LineFeedReturnsOneCellLowerBlanksTakeRoomOtherBytesNone)
{
    std::vector<tavGlyphQuad> q = Quads("ab\ncd");
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[2].x0, q[0].x0);
    EXPECT_EQ(q[2].y0, q[0].y0 - 16.0f);
    // right keeps growing over the break; bottom drops one font height.
    EXPECT_EQ(rect.top, 500);
    EXPECT_EQ(rect.right, 100 + int(Width('a') + Width('b') + Width('c') + Width('d')));
    EXPECT_EQ(rect.bottom, 500 - 1024 - 20);
    q = Quads("a b\t\r\x7F\xC8\x01" "c");
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[2].x0, q[0].x0 + Width('a') + Width(' ') + Width('b'));
    EXPECT_EQ(Span(), int(Width('a') + Width(' ') + Width('b') + Width('c')));
    EXPECT_TRUE(Quads(nullptr).empty());
    EXPECT_EQ(Span(), 0);
}
