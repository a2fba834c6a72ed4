#include "Noise.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

// Every kind of noise repeats with its period (and the cells after a whole
// turn of their animation), stays in range, and varies with the seed.
TEST(Noise, TilesWithItsPeriodStaysInRangeAndSeedsDiffer)
{
    float low = 1.0f, high = -1.0f, seeds = 0.0f, halfTurn = 0.0f;
    for (int i = 0; i < 2000; ++i)
    {
        const float x = Noise::Unit(uint32_t(i), 1, 0, 9u) * 8.0f;
        const float y = Noise::Unit(uint32_t(i), 2, 0, 9u) * 8.0f, z = float(i % 13) * 0.7f;
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 8.0f);
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
    EXPECT_GE(low, -1.1f);
    EXPECT_LE(high, 1.1f);
    EXPECT_LT(low, -0.3f); // and it does vary
    EXPECT_GT(high, 0.3f);
    EXPECT_GT(seeds, 40.0f);
    EXPECT_GT(halfTurn, 1.0f); // half a turn does move the points
}
