#include "diag/tavThread.h"

void tavThread::Clear()
{
    handle = nullptr;
    threadId = 0;
    running = false;
}

void tavThread::Start()
{
    if (!routine)
        return;
    if (handle)
    {
        CloseHandle(handle);
        Clear();
    }
    handle = CreateThread(nullptr, 0, routine, argument, 0, &threadId);
    running = handle != nullptr;
}

void tavThread::Stop(DWORD timeoutMs)
{
    if (!handle)
        return;
    WaitForSingleObject(handle, timeoutMs);
    CloseHandle(handle);
    Clear();
}

bool tavThread::IsRunning() const { return handle && GetExitCode() == STILL_ACTIVE; }

DWORD tavThread::GetExitCode() const
{
    DWORD code = 0;
    if (handle)
        GetExitCodeThread(handle, &code);
    return code;
}
