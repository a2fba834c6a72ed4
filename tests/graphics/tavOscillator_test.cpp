#include "graphics/tavOscillator.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

TEST(tavOscillator, BoundsClampAndTurnOnlyWhenPassedAndEmptyRangesWiden)
{
    tavOscillator o;
    auto state = [&] { return std::make_pair(o.Value(), o.IsRising()); };
    // Init start, rising: value, rising after (on or past a bound it heads back).
    const std::tuple<float, bool, float, bool> starts[] = {{2, true, 2, false},
                                                           {5, true, 2, false},
                                                           {-2, false, -2, true},
                                                           {0.5f, false, 0.5f, false}};
    for (const auto& [start, rising, value, after] : starts)
    {
        o.Init(-2, 2, start, 1, rising);
        EXPECT_EQ(state(), std::make_pair(value, after)) << "start " << start;
    }
    // SetValue clamps and turns on either bound.
    o.Init(-1, 1, 0, 1, true);
    const std::tuple<float, float, bool> set[] = {
        {0.25f, 0.25f, true}, {9, 1, false}, {0, 0, false}, {-1, -1, true}};
    for (const auto& [asked, value, rising] : set)
    {
        o.SetValue(asked);
        EXPECT_EQ(state(), std::make_pair(value, rising)) << "set " << asked;
    }
    // Steps past a bound clamp and turn at once; one ending on it turns on the next step.
    o.Init(-0.75f, 0.75f, 0, 6, true);
    const std::tuple<float, float, bool> steps[] = {
        {0.1f, 0.6f, true}, {10.0f, 0.75f, false}, {0.1f, 0.15f, false}, {1000.0f, -0.75f, true}};
    for (const auto& [step, value, rising] : steps)
    {
        o.Update(step);
        EXPECT_FLOAT_EQ(o.Value(), value) << "step " << step;
        EXPECT_EQ(o.IsRising(), rising) << "step " << step;
    }
    o.Init(0, 1, 0.5f, 1, true);
    o.Update(0.5f);
    EXPECT_EQ(state(), std::make_pair(1.0f, true));
    o.Update(0.25f);
    EXPECT_EQ(state(), std::make_pair(1.0f, false));
    // An empty or reversed range becomes one unit below the maximum.
    o.Init(3, 3, 0, 1, true);
    EXPECT_EQ(std::make_tuple(o.GetMinimum(), o.GetMaximum(), o.Value()),
              std::make_tuple(2.f, 3.f, 2.f));
    o.Init(5, -5, -5.5f, 1, true);
    EXPECT_EQ(std::make_pair(o.GetMinimum(), o.Value()), std::make_pair(-6.f, -5.5f));
}
