#pragma once
// The scene interface: everything a game shows is a scene the engine drives.
//
// A scene's memory must come from the process heap (TAV::Alloc, or the
// tavNewScene helper): the engine frees it there after Destroy and runs no
// destructor, so Destroy must release everything the scene owns, container
// memory included. Destroy must be safe on a scene whose Initialize never ran
// or failed, and a second time on the same scene.

#include <windows.h>

#include <cstdint>

class tavScene
{
public:
    // On the loading thread, once. Report progress with
    // TAV::SetLoadingProgress. Anything the frame uses must be ready before
    // this returns; hold the frame lock while touching the device.
    virtual HRESULT Initialize() = 0;
    // After a successful device reset: re-create default-pool objects.
    virtual HRESULT Reinitialize() { return S_OK; }
    // Before a device reset: release default-pool objects.
    virtual HRESULT Invalidate() { return S_OK; }
    // Every frame while ready, between BeginScene and EndScene.
    virtual HRESULT Render() = 0;
    // At a switch, after a failed load and at shutdown.
    virtual HRESULT Destroy() = 0;
    // Every frame while ready, before the back buffer is cleared.
    virtual HRESULT PreRender() { return S_OK; }
    // A bound input fired: the scene's action number and the state
    // (pressed, released, held, an axis value or -1).
    virtual void OnKey(uint32_t /*action*/, int32_t /*state*/) {}
    // A GUI control fired.
    virtual void OnGuiEvent(uint32_t /*controlId*/) {}

protected:
    tavScene() = default;
    ~tavScene() = default; // never run: see above
};
