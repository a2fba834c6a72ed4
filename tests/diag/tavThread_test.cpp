#include "diag/tavLockedData.h"
#include "diag/tavNamedMutex.h"
#include "diag/tavThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
std::atomic<int> runs{0};
DWORD WINAPI Count(void*)
{
    return ++runs, 7;
}
DWORD WINAPI WaitForEvent(void* event)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
}
} // namespace

TEST(tavThread, RunsAgainAfterFinishingAndStopGivesUpAfterItsTimeout)
{
    tavThread thread;
    thread.Start(); // no routine: nothing happens
    EXPECT_FALSE(thread.WasStarted());
    thread.SetRoutine(&Count, nullptr);
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
}

TEST(tavThread, LocksAreRecursiveForTheirOwnerAndNamedMutexesSharedByName)
{
    tavLockedData lock;
    lock.Enter();
    {
        tavLockGuard guard(lock); // a second entry by the owner does not wait
    }
    lock.Leave();
    const std::string name = "tav-test-mutex-" + std::to_string(GetCurrentProcessId());
    tavNamedMutex first(name.c_str());
    ASSERT_TRUE(first.IsValid());
    EXPECT_FALSE(first.AlreadyExisted());
    tavNamedMutex second(name.c_str());
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_TRUE(first.Wait(0));
    first.Release();
    second.Close();
    EXPECT_FALSE(second.IsValid());
    EXPECT_FALSE(second.Wait(0));
}
