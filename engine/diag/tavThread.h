#pragma once
// Runs one routine on a worker thread: the scene loading thread and the
// networking threads. Idle -> started -> finished -> closed by Stop or Join;
// it can be started again.

#include <windows.h>

class tavThread
{
public:
    typedef DWORD(WINAPI* Routine)(void* argument);

    tavThread() : handle(nullptr), threadId(0), running(false), routine(nullptr), argument(nullptr) {}
    // Waits for a thread that is still running.
    ~tavThread() { Join(); }
    tavThread(const tavThread&) = delete;
    tavThread& operator=(const tavThread&) = delete;

    void SetRoutine(Routine r, void* arg)
    {
        routine = r;
        argument = arg;
    }
    // Starts the routine at once. An earlier thread's handle is closed without
    // waiting (that thread keeps running). Nothing happens with no routine.
    void Start();
    // Waits up to `timeoutMs` for the thread to end, then closes the handle.
    void Stop(DWORD timeoutMs);
    // Waits without limit, then closes the handle.
    void Join() { Stop(INFINITE); }
    // True while the thread's exit code is still "active" (259).
    bool IsRunning() const;
    DWORD GetExitCode() const;
    bool WasStarted() const { return running; }
    HANDLE GetHandle() const { return handle; }

private:
    void Clear();

    HANDLE handle;
    DWORD threadId;
    bool running;
    Routine routine;
    void* argument;
};
