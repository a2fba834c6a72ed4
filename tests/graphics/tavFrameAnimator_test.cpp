#include "graphics/tavFrameAnimator.h"

#include <gtest/gtest.h>

TEST(tavFrameAnimator, StartIsClampedIntoTheRange)
{
    tavFrameAnimator a;
    EXPECT_EQ(a.Current(), 0u);
    a.Init(10, 41, 1, 0, 1000, 33); // the game's caustics: start 0 is below the range
    EXPECT_EQ(a.Current(), 10u);
    EXPECT_EQ(a.GetNextTime(), 1033u);
    a.Init(10, 41, 1, 50, 0, 33);
    EXPECT_EQ(a.Current(), 41u);
    a.Init(10, 41, 1, 25, 0, 33);
    EXPECT_EQ(a.Current(), 25u);
}

TEST(tavFrameAnimator, NothingChangesBeforeTheDueTime)
{
    tavFrameAnimator a;
    a.Init(10, 41, 1, 10, 1000, 33);
    a.Update(1000);
    a.Update(1032);
    EXPECT_EQ(a.Current(), 10u);
    EXPECT_EQ(a.GetNextTime(), 1033u);
    a.Update(1033);
    EXPECT_EQ(a.Current(), 11u);
    EXPECT_EQ(a.GetNextTime(), 1066u);
}

TEST(tavFrameAnimator, LateUpdateTakesOneStepAndSchedulesFromNow)
{
    tavFrameAnimator a;
    a.Init(0, 31, 1, 0, 0, 33);
    a.Update(5000);
    EXPECT_EQ(a.Current(), 1u);
    EXPECT_EQ(a.GetNextTime(), 5033u);
}

TEST(tavFrameAnimator, WrapsAtBothEnds)
{
    tavFrameAnimator a;
    a.Init(10, 12, 1, 12, 0, 10);
    a.Update(10);
    EXPECT_EQ(a.Current(), 10u);
    a.Init(10, 12, -1, 10, 0, 10);
    a.Update(10);
    EXPECT_EQ(a.Current(), 12u);
    a.Update(20);
    EXPECT_EQ(a.Current(), 11u);
    // A step larger than the range also lands on the far end.
    a.Init(10, 12, 5, 11, 0, 10);
    a.Update(10);
    EXPECT_EQ(a.Current(), 10u);
}

TEST(tavFrameAnimator, BackwardFromFrameZeroWrapsToFirst)
{
    // Frame numbers are unsigned: below 0 lies the top of the range, which
    // is above `last`.
    tavFrameAnimator a;
    a.Init(0, 5, -1, 0, 0, 10);
    a.Update(10);
    EXPECT_EQ(a.Current(), 0u);
}
