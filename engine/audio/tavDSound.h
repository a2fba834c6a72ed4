#pragma once
// DirectSound 8 (and DirectMusic when asked): the device, the primary
// buffer with its 3D listener, and the effect pools.

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>

class TAV;

class tavDSound
{
public:
    tavDSound();

    // Starts DirectSound on the engine's window: 0 or E_FAIL.
    HRESULT Init(TAV* engine, uint32_t channels, bool forceHardware, bool music);
    void SetMusicEnabled(bool on) { musicEnabled = on; }
    void SetSoundEnabled(bool on) { soundEnabled = on; }
    bool IsMusicEnabled() const { return musicEnabled; }
    bool IsSoundEnabled() const { return soundEnabled; }
    // The primary buffer's 3D listener, or null.
    IDirectSound3DListener* GetListener() const { return listener; }
    // Once per frame from the main loop.
    void Update();
    // Prints the sound statistics into the engine's console ("sound" command).
    void ReportStatistics(TAV* engine);
    // Frees the playing sounds and their buffers (scene changes).
    void ReleaseAll();
    // Releases everything (shutdown); safe to call twice.
    void Shutdown();

private:
    IDirectSound8* device;
    IDirectSound3DListener* listener;
    IDirectSoundBuffer* primary;
    uint32_t channels;
    TAV* engine;
    bool hardware;
    bool musicEnabled;
    bool soundEnabled;
};
