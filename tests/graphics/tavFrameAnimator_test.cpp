#include "graphics/tavFrameAnimator.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(tavFrameAnimator, StartIsClampedAndFramesStepOnlyWhenDue)
{
    tavFrameAnimator a;
    EXPECT_EQ(a.Current(), 0u);
    a.Init(10, 41, 1, 50, 0, 33);
    EXPECT_EQ(a.Current(), 41u);
    a.Init(10, 41, 1, 0, 1000, 33); // the game's caustics: start 0 is below the range
    EXPECT_EQ(a.Current(), 10u);
    // Late updates step once and schedule from now.
    const std::tuple<uint32_t, uint32_t, uint32_t> steps[] = {
        {1032, 10, 1033}, {1033, 11, 1066}, {5000, 12, 5033}}; // now, frame, next time
    for (auto [now, frame, next] : steps)
    {
        a.Update(now);
        EXPECT_EQ(std::make_pair(a.Current(), a.GetNextTime()), std::make_pair(frame, next)) << now;
    }
}

TEST(tavFrameAnimator, WrapsAtBothEnds)
{
    struct Case
    {
        uint32_t first, last;
        int step;
        uint32_t start, after;
    } const cases[] = {
        {10, 12, 1, 11, 12}, // the last frame is shown before wrapping
        {10, 12, 1, 12, 10}, {10, 12, -1, 10, 12},
        {10, 12, 5, 11, 10}, // a step larger than the range lands on the far end
        {0, 5, -1, 0, 0},    // unsigned: below 0 lies above `last`, which wraps to first
    };
    tavFrameAnimator a;
    for (const Case& c : cases)
    {
        a.Init(c.first, c.last, c.step, c.start, 0, 10);
        a.Update(10);
        EXPECT_EQ(a.Current(), c.after) << c.first << ".." << c.last << " by " << c.step;
    }
    a.Init(10, 12, -1, 10, 0, 10);
    a.Update(10);
    a.Update(20);
    EXPECT_EQ(a.Current(), 11u);
}
