#include "diag/tavPCount.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace
{
// Ends the timer's frames at counter readings given in seconds after a start
// just past the timer's own construction (so the first frame is a few
// microseconds long; the first end only sets the reference).
struct Clock
{
    explicit Clock(tavPCount& t) : timer(t), f(double(t.GetFrequency()))
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        at = now.QuadPart;
        timer.FrameEndAt(at);
    }
    void EndFrameAfter(double seconds) { timer.FrameEndAt(at += int64_t(seconds * f)); }

    tavPCount& timer;
    double f;
    int64_t at;
};
} // namespace

TEST(tavPCount, FrameTimeScalesDampsAndIntegrates)
{
    tavPCount timer;
    ASSERT_TRUE(timer.IsAvailable());
    Clock clock(timer);
    clock.EndFrameAfter(0); // two ends at the same tick
    EXPECT_DOUBLE_EQ(timer.GetFrameTime(), 0.0001);
    EXPECT_FLOAT_EQ(timer.Scale(200.0f), 0.02f);
    EXPECT_FLOAT_EQ(timer.Damp(1.0f, 100.0f), 0.99f);

    clock.EndFrameAfter(0.5);
    EXPECT_NEAR(timer.GetFrameTime(), 0.5, 1e-6);
    // Damping stops at zero from either side.
    EXPECT_FLOAT_EQ(timer.Damp(0.3f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(timer.Damp(-0.3f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(timer.Damp(2.0f, 1.0f), 1.5f);
    float position[3] = {1, 2, 3};
    const float velocity[3] = {2, -2, 0};
    timer.Integrate(position, velocity);
    EXPECT_FLOAT_EQ(position[0], 2.0f);
    EXPECT_FLOAT_EQ(position[1], 1.0f);
    EXPECT_FLOAT_EQ(position[2], 3.0f);

    timer.SetTimeScale(2.0f);
    clock.EndFrameAfter(0.1);
    EXPECT_NEAR(timer.GetFrameTime(), 0.2, 1e-6);

    // A fixed frame time replaces the counter.
    timer.SetTimeScale(1.0f);
    timer.SetFixedFrameTime(1.0 / 50.0);
    timer.FrameEnd();
    EXPECT_NEAR(timer.GetFrameTime(), 0.02, 1e-6);
}

TEST(tavPCount, FrameRateIsSampledEveryHalfSecond)
{
    tavPCount timer;
    Clock clock(timer);
    // The sampling timer starts at a quarter second: once half a second has
    // gathered, the next frame's own rate is taken.
    clock.EndFrameAfter(0.1);
    clock.EndFrameAfter(0.1);
    clock.EndFrameAfter(0.05);
    EXPECT_EQ(timer.GetFPS(), 0.0);
    clock.EndFrameAfter(0.04);
    EXPECT_NEAR(timer.GetFPS(), 25.0, 1e-3);
    for (int i = 0; i < 46; ++i) // 0.04 + 0.46: not yet half a second before this frame
        clock.EndFrameAfter(0.01);
    EXPECT_NEAR(timer.GetFPS(), 25.0, 1e-3);
    clock.EndFrameAfter(0.02);
    EXPECT_NEAR(timer.GetFPS(), 50.0, 1e-3);
}

TEST(tavPCount, MillisecondClockWrapsAfterFortyEightDays)
{
    tavPCount timer;
    Clock clock(timer);
    EXPECT_EQ(timer.GetMilliseconds(), 1u);
    clock.EndFrameAfter(1.5);
    EXPECT_EQ(timer.GetMilliseconds(), 1501u);
    for (int i = 0; i < 4; ++i)
        clock.EndFrameAfter(1000000.0); // 1e9 ms each
    EXPECT_EQ(timer.GetMilliseconds(), 4000001501u);
    clock.EndFrameAfter(1000000.0); // past 4 200 000 000
    EXPECT_EQ(timer.GetMilliseconds(), 1u);
}
