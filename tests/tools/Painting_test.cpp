#include "Noise.h"
#include "ScreenPainter.h"
#include "SeaPainter.h"
#include "SkyPainter.h"
#include "SoundDesign.h"

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

float MeanDifference(const Image& a, const Image& b)
{
    float sum = 0.0f;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            sum += Difference(a.At(x, y), b.At(x, y));
    return sum / float(a.Width() * a.Height());
}

// The step where the picture repeats (last column to the first) is no larger
// than twice the mean step between neighbouring columns.
void ExpectTiles(const Image& image)
{
    float inside = 0.0f, wrap = 0.0f;
    const int w = image.Width(), h = image.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            (x + 1 < w ? inside : wrap) += Difference(image.At(x, y), image.At((x + 1) % w, y));
    EXPECT_LT(wrap / float(h), inside / float((w - 1) * h) * 2.0f + 0.01f);
}
} // namespace

// Every kind of noise repeats with its period (the cells after a whole turn
// of their animation), stays in range, and varies with the seed.
TEST(Noise, TilesWithItsPeriodStaysInRangeAndSeedsDiffer)
{
    float low = 1.0f, high = -1.0f, seeds = 0.0f, halfTurn = 0.0f;
    for (int i = 0; i < 2000; ++i)
    {
        const float x = Noise::Unit(uint32_t(i), 1, 0, 9u) * 8.0f;
        const float y = Noise::Unit(uint32_t(i), 2, 0, 9u) * 8.0f, z = float(i % 13) * 0.7f;
        ASSERT_TRUE(x >= 0.0f && x < 8.0f) << x;
        if (i < 200)
        {
            EXPECT_NEAR(Noise::Gradient(x, y, 8, 1u), Noise::Gradient(x + 8.0f, y, 8, 1u), 1e-4f);
            EXPECT_NEAR(Noise::Gradient(x, y, 8, 4, 1u), Noise::Gradient(x, y - 4.0f, 8, 4, 1u),
                        1e-4f);
            EXPECT_NEAR(Noise::Fractal(x, y, 4, 5, 0.5f, 2u),
                        Noise::Fractal(x - 4.0f, y + 8.0f, 4, 5, 0.5f, 2u), 1e-4f);
            const Cells a = Noise::Cellular(x, y, 8, 0.3f, 3u);
            const Cells b = Noise::Cellular(x + 8.0f, y - 16.0f, 8, 0.3f, 3u);
            const Cells turned = Noise::Cellular(x, y, 8, 1.3f, 3u);
            EXPECT_NEAR(a.nearest, b.nearest, 1e-4f);
            EXPECT_NEAR(a.second, b.second, 1e-4f);
            EXPECT_NEAR(a.nearest, turned.nearest, 1e-4f);
            EXPECT_LE(a.nearest, a.second);
            halfTurn += std::fabs(a.nearest - Noise::Cellular(x, y, 8, 0.8f, 3u).nearest);
        }
        const float g = Noise::Gradient(x * 4, y * 4, z, 1u);
        const float f = Noise::Fractal(x * 4, y * 4, 32, 6, 0.5f, 1u);
        low = std::min({low, g, f});
        high = std::max({high, g, f});
        seeds += std::fabs(f - Noise::Fractal(x * 4, y * 4, 32, 6, 0.5f, 2u));
    }
    EXPECT_TRUE(low >= -1.1f && low < -0.3f && high > 0.3f && high <= 1.1f) << low << " " << high;
    EXPECT_GT(seeds, 40.0f);
    EXPECT_GT(halfTurn, 1.0f); // half a turn does move the points
}

// Texels (0, 0), (1, 0), (0, 1), (1, 1) of each face look at the sky box's
// corners in its texture order (face 1 the bottom); border texels of faces
// that look the same way match.
TEST(SkyPainter, FaceCornersAreTheSkyBoxCornersAndNeighbouringFacesAgreeAlongEveryEdge)
{
    const float corners[6][4][3] = {{{-2, 2, 2}, {2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},
                                    {{-2, -2, 2}, {2, -2, 2}, {-2, -2, -2}, {2, -2, -2}},
                                    {{2, 2, -2}, {-2, 2, -2}, {2, -2, -2}, {-2, -2, -2}},
                                    {{-2, 2, -2}, {2, 2, -2}, {-2, 2, 2}, {2, 2, 2}},
                                    {{-2, 2, -2}, {-2, 2, 2}, {-2, -2, -2}, {-2, -2, 2}},
                                    {{2, 2, 2}, {2, 2, -2}, {2, -2, 2}, {2, -2, -2}}};
    const int size = 48;
    std::map<std::tuple<long, long, long>, Colour> seen;
    int shared = 0;
    for (int f = 0; f < 6; ++f)
    {
        for (int n = 0; n < 4; ++n)
        {
            const Vec3 d = SkyPainter::Direction(f, n % 2 * (size - 1), n / 2 * (size - 1), size);
            const float* c = corners[f][n];
            EXPECT_NEAR(Length(d - Normalize({c[0], c[1], c[2]})), 0.0f, 1e-5f) << f << " " << n;
        }
        const Image face = SkyPainter::Face(f, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; x += (y == 0 || y == size - 1) ? 1 : size - 1)
            {
                const Vec3 d = SkyPainter::Direction(f, x, y, size);
                const auto key = std::make_tuple(std::lround(d.x * 1e4), std::lround(d.y * 1e4),
                                                 std::lround(d.z * 1e4));
                const auto [at, fresh] = seen.emplace(key, face.At(x, y));
                shared += !fresh;
                ASSERT_LT(Difference(at->second, face.At(x, y)), 3.0f / 255.0f)
                    << "face " << f << " texel " << x << ", " << y;
            }
    }
    EXPECT_EQ(shared, 12 * (size - 2) + 8 * 2); // twelve edges seen twice, eight corners thrice

    const Colour up = SkyPainter::SkyAt({0, 1, 0}), below = SkyPainter::SkyAt({0, -1, 0});
    const Colour horizon = SkyPainter::SkyAt(Normalize({-1, 0.01f, -1}));
    EXPECT_GT(up.b, up.r + 0.3f);                           // blue overhead
    EXPECT_GT(Luminance(horizon), Luminance(up));           // pale at the horizon
    EXPECT_LT(Luminance(below), Luminance(horizon) - 0.3f); // the sea's haze below
    EXPECT_GT(Luminance(SkyPainter::SkyAt(SkyPainter::SunDirection())), 0.97f);
}

TEST(SeaPainter, WaterAndCausticsTileAndTheCausticsLoopAsDimLinesOnBlack)
{
    const int size = 64;
    const Image first = SeaPainter::Caustic(0, 32, size), frame = SeaPainter::Caustic(5, 32, size);
    ExpectTiles(SeaPainter::Water(size));
    ExpectTiles(first);
    // Frame 31 leads into frame 0 as smoothly as frame 0 into frame 1.
    const float step = MeanDifference(first, SeaPainter::Caustic(1, 32, size));
    EXPECT_GT(step, 0.0f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(31, 32, size), first), step * 1.5f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(32, 32, size), first), 0.01f);
    // The game adds the frame times the water colour: bright would wash it out.
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

TEST(ScreenPainter, GuiCellsHoldTheirShapesAndTheConsoleIsDarkAboveTheLightInputLine)
{
    const int size = 256;
    const Image gui = ScreenPainter::Gui(size);
    auto alphaAt = [&](float u, float v) { return gui.At(int(u * size), int(v * size)).a; };
    // Radio and check boxes: opaque in their middles, clear at their corners,
    // ticked unlike unticked.
    for (float u : {0.165f, 0.495f})
        for (float v : {0.165f, 0.495f})
        {
            EXPECT_GT(alphaAt(u, v), 0.99f) << u << ", " << v;
            EXPECT_LT(alphaAt(u - 0.15f, v - 0.15f), 0.01f) << u << ", " << v;
        }
    const int cell = int(0.33f * size);
    for (int row = 0; row < 2; ++row)
    {
        float sum = 0.0f;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                sum += Difference(gui.At(x, row * cell + y), gui.At(x + cell + 1, row * cell + y));
        EXPECT_GT(sum / float(cell * cell), 0.05f) << row;
    }
    // The edit box fills its cell; the cursor's tip is its cell's top-left
    // corner; the bottom row is free.
    EXPECT_GT(alphaAt(0.99f, 0.32f), 0.99f);
    EXPECT_GT(alphaAt(0.67f, 0.34f), 0.5f);
    EXPECT_LT(alphaAt(0.99f, 0.34f), 0.01f);
    for (int y = int(0.67f * size); y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(gui.At(x, y).a, 0.0f);

    // Console lines are light, the input line black: each needs its ground.
    const Image console = ScreenPainter::Console(512, 256);
    float top = 0.0f, band = 0.0f;
    for (int x = 0; x < 512; ++x)
        top += Luminance(console.At(x, 100)), band += Luminance(console.At(x, 252));
    EXPECT_LT(top / 512.0f, 0.2f);
    EXPECT_GT(band / 512.0f, 0.6f);
    // The input row is one line (37.5 units) high and one above the panel's
    // lower edge: the band reaches above 75 of its 512 units.
    EXPECT_GE(ScreenPainter::InputBand, 75.0f / 512.0f);
}

// Loud but unclipped, no click where playback starts or stops, died away
// rather than cut off; the splash the longest and a noise, the jump a tone,
// the pop the shortest; five different clucks, neither whistle nor hiss.
TEST(SoundDesign, EverySoundIsLoudButUnclippedStartsAndEndsInSilenceAndTheClucksDiffer)
{
    std::vector<std::vector<float>> sounds = {SoundDesign::Splash(), SoundDesign::Jumped(),
                                              SoundDesign::Pop()};
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
        sounds.push_back(SoundDesign::Cluck(i));
    std::vector<float> seconds, crossings;
    for (const std::vector<float>& s : sounds)
    {
        float peak = 0, rms = 0, mean = 0, tail = 0;
        int crossed = 0;
        for (size_t i = 0; i < s.size(); ++i)
        {
            peak = std::max(peak, std::fabs(s[i]));
            rms += s[i] * s[i];
            mean += s[i];
            crossed += i > 0 && (s[i - 1] < 0.0f) != (s[i] < 0.0f);
            if (i + SoundDesign::SampleRate / 100 >= s.size())
                tail = std::max(tail, std::fabs(s[i]));
        }
        seconds.push_back(float(s.size()) / float(SoundDesign::SampleRate));
        crossings.push_back(float(crossed) / seconds.back());
        SCOPED_TRACE(testing::Message() << "sound " << seconds.size() - 1);
        EXPECT_TRUE(peak > 0.6f && peak <= 0.81f) << peak;
        EXPECT_GT(std::sqrt(rms / float(s.size())), 0.04f); // not a lone click
        EXPECT_LT(std::fabs(mean / float(s.size())), 0.01f);
        EXPECT_LT(std::max(std::fabs(s.front()), std::fabs(s.back())), 0.01f);
        EXPECT_LT(tail, 0.05f); // the last 10 ms
        EXPECT_TRUE(seconds.back() > 0.25f && seconds.back() < 1.5f) << seconds.back();
    }
    EXPECT_GT(seconds[0], seconds[1]);
    EXPECT_LT(seconds[2], seconds[1]);
    EXPECT_GT(crossings[0], crossings[1]);
    for (size_t a = 3; a < sounds.size(); ++a)
    {
        EXPECT_TRUE(crossings[a] > 600.0f && crossings[a] < 4000.0f) << crossings[a];
        for (size_t b = a + 1; b < sounds.size(); ++b)
            EXPECT_TRUE(std::fabs(seconds[a] - seconds[b]) > 0.05f ||
                        std::fabs(crossings[a] - crossings[b]) > 100.0f)
                << "idle" << a - 2 << " and idle" << b - 2 << " sound alike";
    }
}
