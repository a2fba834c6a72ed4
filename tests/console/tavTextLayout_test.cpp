#include "console/tavTextLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A 256-texel sheet where character c is 8 + c % 5 texels wide and 16
// tall, at scale 1 and font height 20: every width is exact.
tavGlyphSheet TestSheet()
{
    tavGlyphSheet sheet;
    sheet.texWidth = sheet.texHeight = 256;
    sheet.scale = 1.0f;
    sheet.fontHeight = 20.0f;
    for (int c = 32; c < 128; ++c)
        sheet.glyphs[c - 32] = {float(c) / 256.0f, 0.0f, float(c + 8 + c % 5) / 256.0f,
                                16.0f / 256.0f};
    return sheet;
}

float Width(char c)
{
    return float(8 + c % 5);
}

struct tavTextLayoutTest : ::testing::Test
{
    std::vector<tavGlyphQuad> Quads(const char* text, bool raw = false, float x = 100,
                                    float y = 500)
    {
        std::vector<tavGlyphQuad> quads;
        rect = layout->Walk(x, y, 0xFF00FF00, text, raw,
                            [&](const tavGlyphQuad& q) { quads.push_back(q); });
        return quads;
    }
    int Span() const { return rect.right - rect.left; }
    tavGlyphSheet sheet = TestSheet();
    const tavTextLayout full{sheet, 1280, 1024};
    const tavTextLayout* layout = &full;
    tavTextRect rect{};
};
} // namespace

TEST_F(tavTextLayoutTest, ColourCodesSwitchTakeNoRoomAndAnAmpersandWithoutADigitIsText)
{
    const std::vector<tavGlyphQuad> q = Quads("a&2b&0c");
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0].colour, 0xFF00FF00u);
    EXPECT_EQ(q[1].colour, 0xFFFF0000u);
    EXPECT_EQ(q[2].colour, 0xFF00FF00u); // code 0 goes back
    EXPECT_EQ(Span(), int(Width('a') + Width('b') + Width('c')));
    EXPECT_EQ(tavTextLayout::CodeColour('8', 1), 0xFF7A3F9Au);
    EXPECT_EQ(tavTextLayout::CodeColour('0', 1), 1u);
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
    q = Quads("a b\t\r\x7F\xC8\x01"
              "c");
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[2].x0, q[0].x0 + Width('a') + Width(' ') + Width('b'));
    EXPECT_EQ(Span(), int(Width('a') + Width(' ') + Width('b') + Width('c')));
    EXPECT_TRUE(Quads(nullptr).empty());
    EXPECT_EQ(Span(), 0);
}

TEST_F(tavTextLayoutTest, VirtualPositionsScaleRawOnesDoNotGlyphSizesAlwaysDo)
{
    const tavTextLayout half(sheet, 640, 512);
    layout = &half;
    const std::vector<tavGlyphQuad> v = Quads("a");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_FLOAT_EQ(v[0].x1, 50.0f + Width('a') * 0.5f - 0.5f);
    EXPECT_FLOAT_EQ(v[0].y0, 250.0f - 20.0f - 0.5f);
    EXPECT_FLOAT_EQ(v[0].y1, 250.0f - 20.0f + 8.0f - 0.5f);
    // Bottom of the quad samples the bottom of the cell: y grows upward.
    EXPECT_EQ(v[0].uv.bottom, sheet.Glyph('a').bottom);
    const std::vector<tavGlyphQuad> raw = Quads("a", true);
    ASSERT_EQ(raw.size(), 1u);
    EXPECT_FLOAT_EQ(raw[0].x1, 100.0f + Width('a') * 0.5f - 0.5f);
    EXPECT_FLOAT_EQ(raw[0].y0, 500.0f - 20.0f - 0.5f);
    // The rectangle stays in the caller's units with unscaled widths.
    const tavTextRect r = layout->Measure(100.7f, -3.2f, "ab", false);
    EXPECT_EQ(r.top, -3);
    EXPECT_EQ(r.right, 100 + int(Width('a') + Width('b')));
}
