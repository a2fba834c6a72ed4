// The frame timer on a counter the test moves, and threads.
#include "diag/tavPCount.h"
#include "diag/tavThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>
#include <windows.h>

namespace
{
// Ends the timer's frames at counter readings given in seconds after a start
// just past the timer's construction (the first end only sets the reference).
struct Clock
{
    explicit Clock(tavPCount& t) : timer(t)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        timer.FrameEndAt(at = now.QuadPart);
    }
    void EndFrameAfter(double s) { timer.FrameEndAt(at += int64_t(s * timer.GetFrequency())); }
    tavPCount& timer;
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
    for (const auto& [value, damped] : {std::pair{0.3f, 0.0f}, {-0.3f, 0.0f}, {2.0f, 1.5f}})
        EXPECT_FLOAT_EQ(timer.Damp(value, 1.0f), damped) << value; // stops at zero from either side
    float position[3] = {1, 2, 3};
    const float velocity[3] = {2, -2, 0};
    timer.Integrate(position, velocity);
    EXPECT_EQ(std::vector<float>(position, position + 3), (std::vector<float>{2, 1, 3}));
    timer.SetTimeScale(2.0f);
    clock.EndFrameAfter(0.1);
    EXPECT_NEAR(timer.GetFrameTime(), 0.2, 1e-6);
    timer.SetTimeScale(1.0f); // a fixed frame time replaces the counter
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
    for (double seconds : {0.1, 0.1, 0.05})
        clock.EndFrameAfter(seconds);
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

TEST(tavThread, RunsAgainAfterFinishingAndStopGivesUpAfterItsTimeout)
{
    tavThread thread;
    thread.Start(); // no routine: nothing happens
    EXPECT_FALSE(thread.WasStarted());
    std::atomic<int> runs{0};
    thread.SetRoutine([](void* n) -> DWORD { return ++*static_cast<std::atomic<int>*>(n), 7; },
                      &runs);
    thread.Start();
    WaitForSingleObject(thread.GetHandle(), 5000);
    EXPECT_EQ(thread.GetExitCode(), 7u);
    thread.Start(); // closes the finished thread's handle and runs a new one
    thread.Join();
    EXPECT_EQ(runs, 2);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread.SetRoutine([](void* e) -> DWORD { return WaitForSingleObject(HANDLE(e), INFINITE); },
                      event);
    thread.Start();
    EXPECT_TRUE(thread.IsRunning());
    thread.Stop(10); // the thread goes on; the object lets go of it
    EXPECT_FALSE(thread.WasStarted());
    SetEvent(event);
    CloseHandle(event);
}
