#pragma once
// A test host for the engine: a TAV whose own start-up result the test
// picks, started windowed in a private working folder with a test
// configuration, and driven one loop pass at a time (TAV::Step) with the
// window's messages pumped in between.

#include "core/TAV.h"
#include "support/TestFolder.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class TestEngine : public TAV
{
public:
    HRESULT GameInitialize() override { return gameResult; }
    HRESULT gameResult = S_OK;
};

// The configuration a test engine starts with: windowed, set up, 32-bit.
std::string DefaultTestConfig();

class EngineTest : public ::testing::Test
{
protected:
    void TearDown() override;
    // The engine StartEngine makes; a fixture overrides it to start a
    // TestEngine of its own (one that records the console's callbacks).
    virtual TestEngine* NewEngine() { return new TestEngine(); }

    // Writes tav.cfg (DefaultTestConfig() plus `extraKeys`: "Key=Value" lines
    // that override the defaults, "-Key" lines that drop one) and starts the
    // engine. The caption is
    // unique to this process so that tests never see each other's windows.
    HRESULT StartEngine(const std::string& extraKeys = "");
    // Messages, then one loop pass. False once the engine wants to quit.
    bool Pump();
    // Pumps until `done` holds or `frames` passes ran; true when it held.
    bool PumpUntil(const std::function<bool()>& done, int frames = 600);
    // Destroys the engine (runs TAV::Release) now.
    void StopEngine();
    // The run log as written so far.
    std::string Log() const;
    // Path of base/ with the generated game content.
    static std::string ContentPath(const std::string& file);
    // An integer of tav.cfg as it is on disk now (-999 when missing).
    int ConfigInt(const char* key) const;
    // A program built beside the test program (for example a stand-in setup utility).
    static std::string SiblingProgram(const char* name);

    TestFolder folder;
    tavSettings settings;
    std::string caption;
    std::unique_ptr<TestEngine> engine;
};

// One 2D pass of `draw` over `background` in the engine's 2D set-up; the back
// buffer as it is before any present.
TestImage DrawIn2D(TAV& engine, D3DCOLOR background, const std::function<void()>& draw);
