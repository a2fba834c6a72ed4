// The GDI glyph sheet, font files, batching and what reaches the screen.
#include "console/tavFont.h"

#include "support/DrawCallCounter.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

namespace
{
const uint32_t Green = 0xFF00FF00;
const uint32_t Red = 0xFFFF0000;

class FontTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        device = engine->GetDevice();
        font.reset(new tavFont(engine.get()));
    }
    void TearDown() override
    {
        font.reset();
        EngineTest::TearDown();
    }

    // One 2D pass on black; the back buffer as it is before any present.
    TestImage Render(const std::function<void()>& draw)
    {
        return DrawIn2D(*engine, 0xFF000000, draw);
    }

    // Screen columns of `text` drawn raw.
    float ScreenWidth(const char* text) const
    {
        float w = 0;
        for (const char* p = text; *p; ++p)
            w += font->GetSheet().GlyphWidth(static_cast<unsigned char>(*p));
        return engine->ScaleX(w);
    }

    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<tavFont> font;
};

// A font file with an all-white w x h sheet in which 'A' covers the sheet.
std::vector<uint8_t> WhiteFontFile(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> out(1556 + size_t(w) * h * 4, 0xFF);
    const float header[] = {0, 20.0f};
    std::memcpy(out.data(), header, 8);
    std::memcpy(out.data() + 8, &w, 4);
    std::memcpy(out.data() + 12, &h, 4);
    const float scale = 1.0f;
    std::memcpy(out.data() + 16, &scale, 4);
    for (int c = 32; c < 128; ++c)
    {
        const float cell[4] = {0, 0, c == 'A' ? 1.0f : 0.0f, c == 'A' ? 1.0f : 0.0f};
        std::memcpy(out.data() + 20 + (c - 32) * 16, cell, 16);
    }
    return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
} // namespace

TEST_F(FontTest, SheetSizeFollowsTheHeight)
{
    const struct
    {
        int height;
        UINT size;
    } table[] = {{20, 256}, {25, 512}, {41, 1024}};
    float previousGlyph = 0;
    for (const auto& row : table)
    {
        ASSERT_EQ(font->Create("Verdana", row.height, false, false, false), S_OK) << row.height;
        ASSERT_TRUE(font->HasSheet());
        D3DSURFACE_DESC desc;
        ASSERT_EQ(font->GetSheetTexture()->GetLevelDesc(0, &desc), S_OK);
        EXPECT_EQ(desc.Width, row.size);
        EXPECT_EQ(desc.Height, row.size);
        EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
        EXPECT_EQ(font->GetSheet().texWidth, row.size);
        EXPECT_EQ(font->GetSheet().scale, 1.0f);
        EXPECT_EQ(font->LineHeight(1.5f), row.height * 1.5f);
        // The GDI font grows with the height.
        const float glyph = font->GetSheet().GlyphHeight('M');
        EXPECT_GT(glyph, previousGlyph);
        EXPECT_GT(glyph, float(row.height));
        previousGlyph = glyph;
    }
}

TEST_F(FontTest, ColourCodesColourTheirOwnGlyphs)
{
    ASSERT_EQ(font->Create("Verdana", 25, true, false, false), S_OK);
    const float x = 100, y = 400;
    tavTextRect r;
    const TestImage image = Render([&] { font->DrawText(r, x, y, Green, "a&2b&0c", true); });

    // Columns of each glyph, less a pixel at each edge for filtering.
    const int top = int(image.height - y), bottom = int(image.height - (y - 25 - 2));
    const float a = ScreenWidth("a"), b = ScreenWidth("b"), c = ScreenWidth("c");
    const auto count = [&](float from, float to, uint32_t colour)
    {
        return image.Count(int(from) + 1, top, int(to) - 1, bottom,
                           [colour](uint32_t p) { return IsRgb(p, colour); });
    };
    EXPECT_GT(count(x, x + a, Green), 10);
    EXPECT_EQ(count(x, x + a, Red), 0);
    EXPECT_GT(count(x + a, x + a + b, Red), 10);
    EXPECT_EQ(count(x + a, x + a + b, Green), 0);
    EXPECT_GT(count(x + a + b, x + a + b + c, Green), 10);
    EXPECT_EQ(count(x + a + b, x + a + b + c, Red), 0);
}

TEST_F(FontTest, FiftyGlyphsToADrawCall)
{
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    DrawCallCounter counter(device);
    ASSERT_TRUE(counter.IsHooked());
    const struct
    {
        std::string text;
        long calls;
    } table[] = {
        {std::string(60, 'x'), 2},
        {std::string(50, 'x'), 1},
        {std::string(51, 'x'), 2},
        {std::string(100, 'x'), 2},
        {std::string(50, 'x') + std::string(10, ' '), 1}, // blanks are not drawn
        {"", 0},
        {"&1&2&3", 0},
    };
    for (const auto& row : table)
    {
        counter.Reset();
        tavTextRect r;
        Render([&] { font->DrawText(r, 0, 500, Green, row.text.c_str()); });
        EXPECT_EQ(counter.Count(), row.calls) << row.text.size() << " characters";
    }
}

TEST_F(FontTest, LinesStartAtTheSameXAndTheRectangleCoversThem)
{
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    tavTextRect r;
    const TestImage image =
        Render([&] { font->DrawText(r, 200, 600, 0xFFFFFFFF, "ab\ncd", true); });
    const tavGlyphSheet& s = font->GetSheet();
    EXPECT_EQ(r.right - r.left, int(s.GlyphWidth('a')) + int(s.GlyphWidth('b')) +
                                    int(s.GlyphWidth('c')) + int(s.GlyphWidth('d')));
    EXPECT_EQ(r.bottom, 600 - 1024 - 25);

    // Leftmost lit column of each line.
    const int lineStep = int(s.GlyphHeight(' ') * s.scale);
    const int firstTop = int(image.height) - 600, secondTop = firstTop + lineStep;
    auto leftmost = [&](int rowFrom, int rowTo)
    {
        for (int x = 150; x < 400; ++x)
            if (image.Count(x, rowFrom, x + 1, rowTo, IsLit)) return x;
        return -1;
    };
    const int first = leftmost(firstTop, secondTop),
              second = leftmost(secondTop, secondTop + lineStep);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_LE(std::abs(first - second), 2);
}

TEST_F(FontTest, PixelsLieWhereTheRectangleSays)
{
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    tavTextRect r;
    const TestImage image =
        Render([&] { font->DrawText(r, 300, 700, 0xFFFFFFFF, "Hello, World"); });

    // Bounding box of everything lit, in screen pixels (rows top-down).
    int x0 = INT32_MAX, x1 = -1, y0 = INT32_MAX, y1 = -1;
    for (UINT y = 0; y < image.height; ++y)
        for (UINT x = 0; x < image.width; ++x)
            if (IsLit(image.At(x, y)))
            {
                x0 = std::min(x0, int(x));
                x1 = std::max(x1, int(x));
                y0 = std::min(y0, int(y));
                y1 = std::max(y1, int(y));
            }
    ASSERT_GE(x1, 0) << "nothing drawn";
    const float left = engine->ScaleX(float(r.left)), right = engine->ScaleX(float(r.right));
    const float lastGlyph = engine->ScaleX(font->GetSheet().GlyphWidth('d'));
    EXPECT_GE(x0, int(left) - 1);
    EXPECT_LE(x0, int(left) + 4);
    EXPECT_LE(x1, int(right) + 1);
    EXPECT_GE(x1, int(right - lastGlyph));
    // The top of the text is the rectangle's top (a few pixels of cell
    // above the ascenders), its baseline a font height lower.
    const float topRow = image.height - engine->ScaleY(float(r.top));
    EXPECT_GE(y0, int(topRow) - 8);
    EXPECT_LE(y0, int(topRow) + 12);
    EXPECT_LE(y1, int(topRow + font->GetSheet().GlyphHeight('H') * engine->GetHeight() / 1024) + 2);
}

// The file's checks are the glyph sheet's; here the reading: a file too
// big to be a font, one cut short, one missing.
TEST_F(FontTest, FontFilesLoadAndBadOnesKeepTheSheet)
{
    const auto whiteA = [&]
    {
        tavTextRect r;
        const TestImage image =
            Render([&] { font->DrawText(r, 10, 100, 0xFFFFFFFF, "A", true); });
        return image.Count(0, 0, 100, int(image.height),
                           [](uint32_t p) { return IsRgb(p, 0xFFFFFF); });
    };
    WriteBytes("good.font", WhiteFontFile(4, 4));
    ASSERT_EQ(font->LoadFromFile("good.font"), S_OK);
    EXPECT_EQ(font->GetSheet().texWidth, 4u);
    EXPECT_EQ(font->LineHeight(1.0f), 20.0f);
    EXPECT_GT(whiteA(), 0);

    std::vector<uint8_t> huge = WhiteFontFile(4, 4);
    const uint32_t big = 100000;
    std::memcpy(huge.data() + 8, &big, 4);
    std::memcpy(huge.data() + 12, &big, 4);
    WriteBytes("huge.font", huge);
    std::vector<uint8_t> cut = WhiteFontFile(64, 64);
    cut.resize(cut.size() - 1);
    WriteBytes("cut.font", cut);
    for (const char* bad : {"huge.font", "cut.font", "missing.font"})
    {
        EXPECT_EQ(font->LoadFromFile(bad), E_FAIL) << bad;
        EXPECT_EQ(font->GetSheet().texWidth, 4u) << bad;
        EXPECT_NE(Log().find(std::string("Font file \"") + bad + "\""), std::string::npos) << bad;
    }
    EXPECT_GT(whiteA(), 0);
}

TEST_F(FontTest, InvalidatedFontDrawsNothingUntilRestored)
{
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    tavTextRect before, during;
    font->Measure(before, 50, 500, "text");
    font->Invalidate();
    TestImage image = Render([&] { font->DrawText(during, 50, 500, 0xFFFFFFFF, "text"); });
    EXPECT_EQ(image.Count(0, 0, int(image.width), int(image.height), IsLit), 0);
    EXPECT_EQ(during.right, before.right);
    font->Restore();
    image = Render([&] { font->DrawText(during, 50, 500, 0xFFFFFFFF, "text"); });
    EXPECT_GT(image.Count(0, 0, int(image.width), int(image.height), IsLit), 0);

    // Text formatted past 511 characters is cut, not refused.
    const std::string longText(600, 'w');
    font->DrawTextF(during, 0, 500, 0xFFFFFFFF, "%s", longText.c_str());
    EXPECT_EQ(during.right, int(font->GetSheet().GlyphWidth('w')) * 511);
}
