#include "diag/tavLockedData.h"
#include "diag/tavThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
DWORD WINAPI Count(void* runs)
{
    return ++*static_cast<std::atomic<int>*>(runs), 7;
}
DWORD WINAPI WaitForEvent(void* event)
{
    return WaitForSingleObject(HANDLE(event), INFINITE);
}
} // namespace

// A thread runs again after finishing; Stop gives up after its timeout;
// locks are recursive for their owner.
TEST(tavThread, RunsAgainAfterFinishingStopGivesUpAndLocksAreRecursive)
{
    tavThread thread;
    thread.Start(); // no routine: nothing happens
    EXPECT_FALSE(thread.WasStarted());
    std::atomic<int> runs{0};
    thread.SetRoutine(&Count, &runs);
    thread.Start();
    ASSERT_TRUE(thread.WasStarted());
    WaitForSingleObject(thread.GetHandle(), 5000);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.GetExitCode(), 7u);
    thread.Start(); // closes the finished thread's handle and runs a new one
    thread.Join();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(thread.GetHandle(), nullptr);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread.SetRoutine(&WaitForEvent, event);
    thread.Start();
    EXPECT_TRUE(thread.IsRunning());
    thread.Stop(10); // the thread goes on; the object lets go of it
    EXPECT_FALSE(thread.WasStarted());
    SetEvent(event);
    CloseHandle(event);
    tavLockedData lock;
    lock.Enter();
    {
        tavLockGuard guard(lock); // a second entry by the owner does not wait
    }
    lock.Leave();
}
