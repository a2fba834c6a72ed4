#include "graphics/tavOscillator.h"

#include <gtest/gtest.h>

TEST(tavOscillator, StartOnABoundSitsThereHeadingBackWhateverWasAsked)
{
    tavOscillator o;
    o.Init(-2, 2, 2, 1, true);
    EXPECT_EQ(o.Value(), 2.0f);
    EXPECT_FALSE(o.IsRising());
    o.Init(-2, 2, 5, 1, true);
    EXPECT_EQ(o.Value(), 2.0f);
    EXPECT_FALSE(o.IsRising());
    o.Init(-2, 2, -2, 1, false);
    EXPECT_EQ(o.Value(), -2.0f);
    EXPECT_TRUE(o.IsRising());
    o.Init(-2, 2, 0.5f, 1, false);
    EXPECT_EQ(o.Value(), 0.5f);
    EXPECT_FALSE(o.IsRising());
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

TEST(tavOscillator, LargeStepClampsAtTheBoundAndTurnsInTheSameCall)
{
    tavOscillator o;
    o.Init(-0.75f, 0.75f, 0, 6, true);
    o.Update(0.1f);
    EXPECT_FLOAT_EQ(o.Value(), 0.6f);
    EXPECT_TRUE(o.IsRising());
    o.Update(10.0f);
    EXPECT_EQ(o.Value(), 0.75f);
    EXPECT_FALSE(o.IsRising());
    o.Update(0.1f);
    EXPECT_FLOAT_EQ(o.Value(), 0.15f);
    o.Update(1000.0f);
    EXPECT_EQ(o.Value(), -0.75f);
    EXPECT_TRUE(o.IsRising());
}

TEST(tavOscillator, StepEndingExactlyOnABoundKeepsDirectionUntilItPasses)
{
    tavOscillator o;
    o.Init(0, 1, 0.5f, 1, true);
    o.Update(0.5f);
    EXPECT_EQ(o.Value(), 1.0f);
    EXPECT_TRUE(o.IsRising()); // only passing the bound turns it
    o.Update(0.25f);
    EXPECT_EQ(o.Value(), 1.0f);
    EXPECT_FALSE(o.IsRising());
}

TEST(tavOscillator, SetValueClampsAndKeepsDirectionInside)
{
    tavOscillator o;
    o.Init(-1, 1, 0, 1, true);
    o.SetValue(0.25f);
    EXPECT_EQ(o.Value(), 0.25f);
    EXPECT_TRUE(o.IsRising());
    o.SetValue(9);
    EXPECT_EQ(o.Value(), 1.0f);
    EXPECT_FALSE(o.IsRising());
    o.SetValue(0);
    EXPECT_FALSE(o.IsRising());
    o.SetValue(-1);
    EXPECT_EQ(o.Value(), -1.0f);
    EXPECT_TRUE(o.IsRising());
}
