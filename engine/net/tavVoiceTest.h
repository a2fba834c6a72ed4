#pragma once
// The DirectPlay Voice audio set-up test, and the engine's set-up flow
// around its wizard.
// Create throws std::runtime_error with its failure text.

#include "net/tavDVoice.h"

#include <dplay8.h>

class tavVoiceTest
{
public:
    tavVoiceTest() : test(nullptr) {}
    ~tavVoiceTest() { Release(); }
    tavVoiceTest(const tavVoiceTest&) = delete;
    tavVoiceTest& operator=(const tavVoiceTest&) = delete;

    void Create();
    // Asks, without showing anything, whether the set-up wizard has run on
    // the default voice devices: DVERR_RUNSETUP when it has not, else its
    // result (DV_FULLDUPLEX, DV_HALFDUPLEX) or a failure.
    HRESULT IsSetupNeeded();
    // Runs the set-up wizard over `window`; its result as above.
    HRESULT RunSetup(HWND window);
    void Release();

    // The engine's set-up flow: when the wizard has not run yet, asks the
    // user ("Run setup?") and on Yes runs it and says what the computer can
    // do. Creates and releases a tavVoiceTest of its own.
    static void RunSetupFlow(HWND window);
    // The same with a test object that exists already.
    static void RunSetupFlow(tavVoiceTest& voiceTest, HWND window);

    IDirectPlayVoiceTest* test;
};
