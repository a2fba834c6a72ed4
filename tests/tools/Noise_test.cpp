#include "Noise.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

TEST(Noise, TwoDimensionalNoiseTilesWithItsPeriod)
{
    for (int i = 0; i < 200; ++i)
    {
        const float x = Noise::Unit(uint32_t(i), 1, 0, 9u) * 8.0f;
        const float y = Noise::Unit(uint32_t(i), 2, 0, 9u) * 8.0f;
        EXPECT_NEAR(Noise::Gradient(x, y, 8, 1u), Noise::Gradient(x + 8.0f, y, 8, 1u), 1e-4f);
        EXPECT_NEAR(Noise::Gradient(x, y, 8, 4, 1u), Noise::Gradient(x, y - 4.0f, 8, 4, 1u), 1e-4f);
        EXPECT_NEAR(Noise::Fractal(x, y, 4, 5, 0.5f, 2u),
                    Noise::Fractal(x - 4.0f, y + 8.0f, 4, 5, 0.5f, 2u), 1e-4f);
        const Cells a = Noise::Cellular(x, y, 8, 0.3f, 3u);
        const Cells b = Noise::Cellular(x + 8.0f, y - 16.0f, 8, 0.3f, 3u);
        EXPECT_NEAR(a.nearest, b.nearest, 1e-4f);
        EXPECT_NEAR(a.second, b.second, 1e-4f);
    }
}

TEST(Noise, CellularNoiseComesBackAfterOneTurn)
{
    for (int i = 0; i < 100; ++i)
    {
        const float x = float(i) * 0.37f, y = float(i) * 0.11f;
        const Cells start = Noise::Cellular(x, y, 16, 0.0f, 5u);
        const Cells turned = Noise::Cellular(x, y, 16, 1.0f, 5u);
        EXPECT_NEAR(start.nearest, turned.nearest, 1e-4f);
        EXPECT_LE(start.nearest, start.second);
    }
    // Half a turn does move the points.
    float moved = 0.0f;
    for (int i = 0; i < 100; ++i)
        moved += std::fabs(Noise::Cellular(float(i) * 0.37f, 0.5f, 16, 0.0f, 5u).nearest -
                           Noise::Cellular(float(i) * 0.37f, 0.5f, 16, 0.5f, 5u).nearest);
    EXPECT_GT(moved, 1.0f);
}

TEST(Noise, ValuesStayInRangeAndSeedsDiffer)
{
    float low = 1.0f, high = -1.0f, differ = 0.0f;
    for (int i = 0; i < 5000; ++i)
    {
        const float x = float(i) * 0.173f, y = float(i % 97) * 0.291f, z = float(i % 13) * 0.7f;
        const float g = Noise::Gradient(x, y, z, 1u);
        const float f = Noise::Fractal(x, y, 32, 6, 0.5f, 1u);
        low = std::min({low, g, f});
        high = std::max({high, g, f});
        differ += std::fabs(f - Noise::Fractal(x, y, 32, 6, 0.5f, 2u));
        const float u = Noise::Unit(uint32_t(i), 0, 0, 1u);
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
    }
    EXPECT_GE(low, -1.1f);
    EXPECT_LE(high, 1.1f);
    EXPECT_LT(low, -0.3f); // and it does vary
    EXPECT_GT(high, 0.3f);
    EXPECT_GT(differ, 100.0f);
}
