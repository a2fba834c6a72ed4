#include "ScreenPainter.h"
#include "SeaPainter.h"
#include "SkyPainter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

using namespace assetgen;

namespace
{
float Difference(const Colour& a, const Colour& b)
{
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

float Luminance(const Colour& c)
{
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

// The step where the texture repeats (last column to the first) is no
// larger than twice the mean step between neighbouring columns.
void ExpectTiles(const Image& image)
{
    float inside = 0.0f, wrap = 0.0f;
    const int w = image.Width(), h = image.Height();
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x + 1 < w; ++x)
            inside += Difference(image.At(x, y), image.At(x + 1, y));
        wrap += Difference(image.At(w - 1, y), image.At(0, y));
    }
    EXPECT_LT(wrap / float(h), inside / float((w - 1) * h) * 2.0f + 0.01f);
}

float MeanDifference(const Image& a, const Image& b)
{
    float sum = 0.0f;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            sum += Difference(a.At(x, y), b.At(x, y));
    return sum / float(a.Width() * a.Height());
}
} // namespace

TEST(SkyPainter, FaceCornersAreTheSkyBoxCornersInItsTextureOrder)
{
    // The sky box's faces: vertex positions for texture coordinates (0, 0),
    // (1, 0), (0, 1) and (1, 1), face 1 the bottom.
    const float corners[6][4][3] = {{{-2, 2, 2}, {2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},
                                    {{-2, -2, 2}, {2, -2, 2}, {-2, -2, -2}, {2, -2, -2}},
                                    {{2, 2, -2}, {-2, 2, -2}, {2, -2, -2}, {-2, -2, -2}},
                                    {{-2, 2, -2}, {2, 2, -2}, {-2, 2, 2}, {2, 2, 2}},
                                    {{-2, 2, -2}, {-2, 2, 2}, {-2, -2, -2}, {-2, -2, 2}},
                                    {{2, 2, 2}, {2, 2, -2}, {2, -2, 2}, {2, -2, -2}}};
    const int size = 16;
    const int texel[4][2] = {{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}};
    for (int face = 0; face < 6; ++face)
        for (int n = 0; n < 4; ++n)
        {
            const Vec3 d = SkyPainter::Direction(face, texel[n][0], texel[n][1], size);
            const Vec3 want =
                Normalize({corners[face][n][0], corners[face][n][1], corners[face][n][2]});
            EXPECT_NEAR(Length(d - want), 0.0f, 1e-5f) << "face " << face << " corner " << n;
        }
}

TEST(SkyPainter, NeighbouringFacesAgreeAlongEveryEdge)
{
    const int size = 48;
    std::vector<Image> faces;
    for (int f = 0; f < 6; ++f)
        faces.push_back(SkyPainter::Face(f, size));
    // Border texels of different faces that look the same way must match.
    std::map<std::tuple<long, long, long>, Colour> seen;
    int shared = 0;
    for (int f = 0; f < 6; ++f)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
            {
                if (x != 0 && y != 0 && x != size - 1 && y != size - 1) continue;
                const Vec3 d = SkyPainter::Direction(f, x, y, size);
                const auto key = std::make_tuple(std::lround(d.x * 1e4), std::lround(d.y * 1e4),
                                                 std::lround(d.z * 1e4));
                const auto found = seen.find(key);
                if (found == seen.end())
                    seen[key] = faces[size_t(f)].At(x, y);
                else
                {
                    ++shared;
                    ASSERT_LT(Difference(found->second, faces[size_t(f)].At(x, y)), 3.0f / 255.0f)
                        << "face " << f << " texel " << x << ", " << y;
                }
            }
    // Twelve edges seen from two faces each, eight corners from three.
    EXPECT_EQ(shared, 12 * (size - 2) + 8 * 2);
}

TEST(SkyPainter, BrightOverheadHazyAtTheHorizonSeaColouredBelow)
{
    const Colour up = SkyPainter::SkyAt({0, 1, 0});
    const Colour horizon = SkyPainter::SkyAt(Normalize({-1, 0.01f, -1}));
    const Colour below = SkyPainter::SkyAt({0, -1, 0});
    EXPECT_GT(up.b, up.r + 0.3f);                           // blue overhead
    EXPECT_GT(Luminance(horizon), Luminance(up));           // pale at the horizon
    EXPECT_LT(Luminance(below), Luminance(horizon) - 0.3f); // the sea's haze below
    EXPECT_GT(Luminance(SkyPainter::SkyAt(SkyPainter::SunDirection())), 0.97f);
}

TEST(SeaPainter, WaterAndCausticsTileAndTheCausticsLoopAsDimLinesOnBlack)
{
    const int size = 64;
    const Image first = SeaPainter::Caustic(0, 32, size);
    ExpectTiles(SeaPainter::Water(size));
    ExpectTiles(first);
    // Frame 31 leads into frame 0 as smoothly as frame 0 into frame 1.
    const float step = MeanDifference(first, SeaPainter::Caustic(1, 32, size));
    const float loop = MeanDifference(SeaPainter::Caustic(31, 32, size), first);
    EXPECT_GT(step, 0.0f);
    EXPECT_LT(loop, step * 1.5f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(32, 32, size), first), 0.01f);

    // The game adds the frame times the water colour: a bright frame would
    // wash the sea out.
    const Image frame = SeaPainter::Caustic(5, 32, size);
    float sum = 0.0f, brightest = 0.0f;
    int dark = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float l = Luminance(frame.At(x, y));
            sum += l;
            brightest = std::max(brightest, l);
            dark += l < 0.05f;
        }
    EXPECT_LT(sum / float(size * size), 0.2f);
    EXPECT_GT(brightest, 0.3f);
    EXPECT_GT(dark, size * size / 3);
}

TEST(ScreenPainter, GuiAtlasCellsHoldTheirShapes)
{
    const int size = 256;
    const Image gui = ScreenPainter::Gui(size);
    auto alphaAt = [&](float u, float v) { return gui.At(int(u * size), int(v * size)).a; };
    // Radio and check boxes: opaque in their middles, clear at their corners.
    for (float u : {0.165f, 0.495f})
        for (float v : {0.165f, 0.495f})
        {
            EXPECT_GT(alphaAt(u, v), 0.99f) << u << ", " << v;
            EXPECT_LT(alphaAt(u - 0.15f, v - 0.15f), 0.01f) << u << ", " << v;
        }
    // Ticked differs from unticked.
    auto cellDifference = [&](int row)
    {
        float sum = 0.0f;
        const int cell = int(0.33f * size);
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                sum += Difference(gui.At(x, row * cell + y), gui.At(x + cell + 1, row * cell + y));
        return sum / float(cell * cell);
    };
    EXPECT_GT(cellDifference(0), 0.05f);
    EXPECT_GT(cellDifference(1), 0.05f);
    // The edit box fills its cell; the cursor's tip is its cell's top-left corner.
    EXPECT_GT(alphaAt(0.99f, 0.32f), 0.99f);
    EXPECT_GT(alphaAt(0.67f, 0.34f), 0.5f);
    EXPECT_LT(alphaAt(0.99f, 0.34f), 0.01f);
    // The bottom row is free.
    for (int y = int(0.67f * size); y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(gui.At(x, y).a, 0.0f);
}

TEST(ScreenPainter, ConsoleIsDarkAboveAndLightBehindTheInputLine)
{
    const Image console = ScreenPainter::Console(512, 256);
    // Console lines are light, the input line black: each needs its ground.
    float top = 0.0f, band = 0.0f;
    for (int x = 0; x < 512; ++x)
    {
        top += Luminance(console.At(x, 100));
        band += Luminance(console.At(x, 252));
    }
    EXPECT_LT(top / 512.0f, 0.2f);
    EXPECT_GT(band / 512.0f, 0.6f);
    // The input row stands one line (37.5 units) above the panel's lower
    // edge and is one line high: the band must reach above 75 of its 512 units.
    EXPECT_GE(ScreenPainter::InputBand, 75.0f / 512.0f);
}
