#include "graphics/tavOscillator.h"

#include <gtest/gtest.h>

TEST(tavOscillator, StartOnOrPastABoundSitsThereHeadingBack)
{
    struct Case
    {
        float start;
        bool rising;
        float value;
        bool risingAfter;
    } const cases[] = {{2, true, 2, false}, {5, true, 2, false}, {-2, false, -2, true},
                       {0.5f, false, 0.5f, false}};
    tavOscillator o;
    for (const Case& c : cases)
    {
        o.Init(-2, 2, c.start, 1, c.rising);
        EXPECT_EQ(o.Value(), c.value) << c.start;
        EXPECT_EQ(o.IsRising(), c.risingAfter) << c.start;
    }
}

TEST(tavOscillator, EmptyOrReversedRangeBecomesOneUnitBelowTheMaximum)
{
    tavOscillator o;
    o.Init(3, 3, 0, 1, true);
    EXPECT_EQ(o.GetMinimum(), 2.0f);
    EXPECT_EQ(o.GetMaximum(), 3.0f);
    EXPECT_EQ(o.Value(), 2.0f); // start 0 is below the new minimum
    o.Init(5, -5, -5.5f, 1, true);
    EXPECT_EQ(o.GetMinimum(), -6.0f);
    EXPECT_EQ(o.Value(), -5.5f);
}

// Steps past a bound clamp and turn in the same call; one ending exactly on
// a bound keeps its direction until the next step passes it.
TEST(tavOscillator, StepEndingExactlyOnABoundTurnsOnlyWhenPassing)
{
    tavOscillator o;
    o.Init(-0.75f, 0.75f, 0, 6, true);
    const float steps[] = {0.1f, 10.0f, 0.1f, 1000.0f};
    const float values[] = {0.6f, 0.75f, 0.15f, -0.75f};
    const bool rising[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i)
    {
        o.Update(steps[i]);
        EXPECT_FLOAT_EQ(o.Value(), values[i]) << i;
        EXPECT_EQ(o.IsRising(), rising[i]) << i;
    }
    o.Init(0, 1, 0.5f, 1, true);
    o.Update(0.5f);
    EXPECT_EQ(o.Value(), 1.0f);
    EXPECT_TRUE(o.IsRising());
    o.Update(0.25f);
    EXPECT_EQ(o.Value(), 1.0f);
    EXPECT_FALSE(o.IsRising());
}

TEST(tavOscillator, SetValueClampsAndKeepsDirectionInside)
{
    tavOscillator o;
    o.Init(-1, 1, 0, 1, true);
    const float asked[] = {0.25f, 9, 0, -1}, values[] = {0.25f, 1, 0, -1};
    const bool rising[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i)
    {
        o.SetValue(asked[i]);
        EXPECT_EQ(o.Value(), values[i]) << i;
        EXPECT_EQ(o.IsRising(), rising[i]) << i;
    }
}
