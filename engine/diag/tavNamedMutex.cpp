#include "diag/tavNamedMutex.h"

tavNamedMutex::tavNamedMutex(const char* name) : handle(nullptr), valid(false), existed(false)
{
    handle = CreateMutexA(nullptr, FALSE, name);
    existed = GetLastError() == ERROR_ALREADY_EXISTS;
    valid = handle != nullptr;
}

bool tavNamedMutex::Wait(DWORD timeoutMs)
{
    if (!valid)
        return false;
    const DWORD r = WaitForSingleObject(handle, timeoutMs);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void tavNamedMutex::Release()
{
    if (valid)
        ReleaseMutex(handle);
}

void tavNamedMutex::Close()
{
    if (handle)
        CloseHandle(handle);
    handle = nullptr;
    valid = false;
}
