#pragma once
// A named, system-wide mutex (for example to keep one copy of a tool running).

#include <windows.h>

class tavNamedMutex
{
public:
    // Creates (or opens) the mutex unowned; IsValid tells whether that worked.
    explicit tavNamedMutex(const char* name);
    ~tavNamedMutex() { Close(); }
    tavNamedMutex(const tavNamedMutex&) = delete;
    tavNamedMutex& operator=(const tavNamedMutex&) = delete;

    // True when the mutex was taken within `timeoutMs` (an abandoned mutex
    // counts as taken).
    bool Wait(DWORD timeoutMs);
    void Release();
    void Close();
    bool IsValid() const { return valid; }
    // True when the mutex existed before this object opened it.
    bool AlreadyExisted() const { return existed; }

private:
    HANDLE handle;
    bool valid;
    bool existed;
};
