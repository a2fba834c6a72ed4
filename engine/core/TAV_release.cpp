// TAV::Release: the shutdown, in order. It always runs to the end.
#include "core/TAV.h"

#include "console/tavFader.h"

#include <objbase.h>

void TAV::UnregisterHotKeys()
{
    if (!hotKeysRegistered)
        return;
    for (int id = TAV_HOTKEY_QUIT; id <= TAV_HOTKEY_TOGGLE; ++id)
        UnregisterHotKey(window, id);
    hotKeysRegistered = false;
}

void TAV::Release()
{
    if (released)
        return;
    released = true;

    // 1-2. Hot keys and input.
    BeginSection("TAV::Release()");
    UnregisterHotKeys();
    tavDInput::Release();
    Write("Destroyed DInput");

    // 3. What the system last complained about, after a failed run.
    if (runState == 2)
        ReportWindowsError();

    // 4.
    if (device)
        Write(SUCCEEDED(device->EvictManagedResources()) ? "Evicted managed resources."
                                                         : "Failed evicting managed resources.");

    // 5. Scenes still held.
    DeleteScenesAtShutdown();

    // 6. Tell the next start how this run went.
    SetInt("TAV", "IsSetup", runState);

    // 7. Services.
    tavGUI::Destroy();
    Write("Deleted GUI.");
    tavDSound::Shutdown();
    Write("Deleted DirectSound and DirectMusic Interfaces.");
    if (fader)
    {
        fader->Destroy();
        fader->~tavFader();
        Free(fader);
        fader = nullptr;
    }
    Write("Fader destroyed.");

    // 8. Direct3D and COM.
    if (device)
        device->Release();
    device = nullptr;
    Write("Released device.");
    if (direct3d)
        direct3d->Release();
    direct3d = nullptr;
    Write("Released Direct3D Interface.");
    if (comInitialized)
        CoUninitialize();
    comInitialized = false;
    Write("Uninitialized COM.");

    // 9. The log (opened for the user after a failed run).
    EndSection();
    Close(runState);
    ForgetWindowOwner();
}
