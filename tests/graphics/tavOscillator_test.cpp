#include "graphics/tavOscillator.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(tavOscillator, StartOnOrPastABoundSitsThereHeadingBackAndSetValueClamps)
{
    // start, rising: value, rising after
    const std::tuple<float, bool, float, bool> starts[] = {{2, true, 2, false},
                                                           {5, true, 2, false},
                                                           {-2, false, -2, true},
                                                           {0.5f, false, 0.5f, false}};
    tavOscillator o;
    for (const auto& [start, rising, value, risingAfter] : starts)
    {
        o.Init(-2, 2, start, 1, rising);
        EXPECT_EQ(o.Value(), value) << start;
        EXPECT_EQ(o.IsRising(), risingAfter) << start;
    }
    o.Init(-1, 1, 0, 1, true);
    const std::tuple<float, float, bool> set[] = {
        {0.25f, 0.25f, true}, {9, 1, false}, {0, 0, false}, {-1, -1, true}};
    for (const auto& [asked, value, rising] : set)
    {
        o.SetValue(asked);
        EXPECT_EQ(o.Value(), value) << asked;
        EXPECT_EQ(o.IsRising(), rising) << asked;
    }
}

TEST(tavOscillator, EmptyOrReversedRangeBecomesOneUnitBelowTheMaximum)
{
    tavOscillator o;
    o.Init(3, 3, 0, 1, true);
    EXPECT_EQ(std::make_tuple(o.GetMinimum(), o.GetMaximum(), o.Value()),
              std::make_tuple(2.f, 3.f, 2.f));
    o.Init(5, -5, -5.5f, 1, true);
    EXPECT_EQ(std::make_tuple(o.GetMinimum(), o.Value()), std::make_tuple(-6.f, -5.5f));
}

// Steps past a bound clamp and turn in the same call; one ending exactly on
// a bound keeps its direction until the next step passes it.
TEST(tavOscillator, StepEndingExactlyOnABoundTurnsOnlyWhenPassing)
{
    tavOscillator o;
    o.Init(-0.75f, 0.75f, 0, 6, true);
    const std::tuple<float, float, bool> steps[] = {
        {0.1f, 0.6f, true}, {10.0f, 0.75f, false}, {0.1f, 0.15f, false}, {1000.0f, -0.75f, true}};
    for (const auto& [step, value, rising] : steps)
    {
        o.Update(step);
        EXPECT_FLOAT_EQ(o.Value(), value) << step;
        EXPECT_EQ(o.IsRising(), rising) << step;
    }
    o.Init(0, 1, 0.5f, 1, true);
    o.Update(0.5f);
    EXPECT_EQ(std::make_tuple(o.Value(), o.IsRising()), std::make_tuple(1.0f, true));
    o.Update(0.25f);
    EXPECT_EQ(std::make_tuple(o.Value(), o.IsRising()), std::make_tuple(1.0f, false));
}
