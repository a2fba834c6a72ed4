#include "graphics/tavFrameAnimator.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(tavFrameAnimator, StartIsClampedFramesStepWhenDueAndWrapAtBothEnds)
{
    tavFrameAnimator a;
    a.Init(10, 41, 1, 50, 0, 33);
    EXPECT_EQ(a.Current(), 41u);
    a.Init(10, 41, 1, 0, 1000, 33); // the game's caustics: start 0 is below the range
    EXPECT_EQ(a.Current(), 10u);
    // Now: frame, next time. Late updates step once and schedule from now.
    const std::tuple<uint32_t, uint32_t, uint32_t> steps[] = {
        {1032, 10, 1033}, {1033, 11, 1066}, {5000, 12, 5033}};
    for (auto [now, frame, next] : steps)
    {
        a.Update(now);
        EXPECT_EQ(std::make_pair(a.Current(), a.GetNextTime()), std::make_pair(frame, next)) << now;
    }
    // First, last, step, start: after one update.
    const std::tuple<uint32_t, uint32_t, int, uint32_t, uint32_t> wraps[] = {
        {10, 12, 1, 11, 12}, // the last frame is shown before wrapping
        {10, 12, 1, 12, 10}, {10, 12, -1, 10, 12},
        {10, 12, 5, 11, 10}, // a step larger than the range lands on the far end
        {0, 5, -1, 0, 0},    // unsigned: below 0 lies above `last`, which wraps to first
    };
    for (auto [first, last, step, start, after] : wraps)
    {
        a.Init(first, last, step, start, 0, 10);
        a.Update(10);
        EXPECT_EQ(a.Current(), after)
            << first << ".." << last << " by " << step << " from " << start;
    }
    a.Init(10, 12, -1, 10, 0, 10);
    a.Update(10);
    a.Update(20);
    EXPECT_EQ(a.Current(), 11u);
}
