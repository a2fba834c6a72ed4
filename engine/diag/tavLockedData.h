#pragma once
// A critical section for classes that guard shared data by inheriting it.
// In the engine object it is the frame lock. Recursive for its owner.

#include <windows.h>

class tavLockedData
{
public:
    tavLockedData() { InitializeCriticalSection(&section); }
    ~tavLockedData() { DeleteCriticalSection(&section); }
    tavLockedData(const tavLockedData&) = delete;
    tavLockedData& operator=(const tavLockedData&) = delete;

    void Enter() { EnterCriticalSection(&section); }
    void Leave() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

// Holds a tavLockedData for one scope.
class tavLockGuard
{
public:
    explicit tavLockGuard(tavLockedData& data) : locked(data) { locked.Enter(); }
    ~tavLockGuard() { locked.Leave(); }
    tavLockGuard(const tavLockGuard&) = delete;
    tavLockGuard& operator=(const tavLockGuard&) = delete;

private:
    tavLockedData& locked;
};
