// Scenes: loading on their own thread, switching, failures, device resets.
#include "RecordingScene.h"

#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
class ThrowingEngine : public TestEngine
{
public:
    HRESULT GameInitialize() override { throw std::runtime_error("no game today"); }
};
} // namespace

TEST_F(EngineTest, ScenesLoadSwitchAndLiveThroughDeviceResets)
{
    ASSERT_EQ(StartEngine(), S_OK);
    const auto ready = [&] { return PumpUntil([&] { return engine->IsSceneReady(); }); };
    SceneRecord first, second, queued;
    RecordingScene* a = QueueScene(*engine, first);
    EXPECT_FALSE(engine->IsSceneReady());
    ASSERT_TRUE(ready());
    EXPECT_EQ(first.initialized, 1);
    EXPECT_NE(first.loadingThread, GetCurrentThreadId());
    int rendered = first.rendered;
    ASSERT_TRUE(Pump());
    engine->SetPaused(true); // a lost windowed frame sleeps once and goes on
    EXPECT_EQ(engine->Frame(), S_OK);
    EXPECT_FALSE(engine->IsPaused());
    EXPECT_EQ(first.rendered, rendered + 2);
    EXPECT_EQ(first.preRendered, first.rendered);
    // The next scene shows the loading screen at once and switches at the end of that pass.
    second.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    RecordingScene* b = QueueScene(*engine, second);
    rendered = first.rendered;
    ASSERT_TRUE(Pump());
    EXPECT_EQ(first.rendered, rendered);
    EXPECT_EQ(first.destroyed, 1);
    EXPECT_NE(Log().find(SceneLine("Destroyed scene ", a)), std::string::npos);
    SetEvent(second.releaseLoading);
    ASSERT_TRUE(ready());
    EXPECT_EQ(second.initialized, 1);
    // A device reset invalidates and restores the scene in order, unless
    // it refuses: then the run ends as a failed one.
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_EQ(second.calls, "IR");
    rendered = second.rendered;
    ASSERT_TRUE(Pump());
    EXPECT_EQ(second.rendered, rendered + 1);
    EXPECT_TRUE(ContainsInOrder(Log(), {"Objects Invalidated...", "Objects reinitialized..."}));
    RecordingScene* c = QueueScene(*engine, queued);
    second.invalidateResult = E_FAIL;
    EXPECT_EQ(engine->ResetDevice(), E_FAIL);
    EXPECT_EQ(engine->GetRunState(), 2);
    EXPECT_EQ(second.calls, "IRI");
    EXPECT_NE(Log().find(SceneLine("Failed invalidating scene ", b)), std::string::npos);
    // A queued scene never switched to is deleted uninitialised.
    StopEngine();
    CloseHandle(second.releaseLoading);
    EXPECT_EQ(second.destroyed, 1);
    EXPECT_EQ(queued.initialized, 0);
    EXPECT_EQ(queued.destroyed, 1);
    EXPECT_NE(Log().find(SceneLine("Last-Chance Deleting Next Scene ", c)), std::string::npos);
    EXPECT_EQ(ConfigInt("IsSetup"), 2);
}

// A failed load, a failed render, and a game start-up that fails or throws
// each end the run, and the next one asks the safe-mode question.
TEST_F(EngineTest, FailuresEndTheRunAndAreRecordedForTheNextOne)
{
    for (bool load : {true, false})
    {
        SCOPED_TRACE(load ? "load" : "render");
        ASSERT_EQ(StartEngine(), S_OK);
        SceneRecord record;
        (load ? record.initializeResult : record.renderResult) = E_FAIL;
        RecordingScene* scene = QueueScene(*engine, record);
        std::vector<std::string> lines;
        if (load)
        {
            EXPECT_TRUE(PumpUntil([&] { return engine->IsQuitting(); }));
            EXPECT_FALSE(engine->IsSceneReady());
            EXPECT_EQ(record.destroyed, 1);
            lines = {SceneLine("Failed initializing scene ", scene),
                     SceneLine("Last-Chance Deleted Scene ", scene)};
        }
        else
        {
            ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }));
            EXPECT_FALSE(Pump());
            const int rendered = record.rendered;
            engine->Frame(); // a frame after the failure returns before the scene
            EXPECT_EQ(record.rendered, rendered);
            lines = {SceneLine("Rendering failed on scene ", scene), "Abnormal render failure.",
                     "TAV::Release()", "Windows Reports Error: "};
        }
        StopEngine();
        EXPECT_EQ(record.destroyed, load ? 2 : 1) << "a failed load is destroyed twice";
        EXPECT_TRUE(ContainsInOrder(Log(), lines));
        EXPECT_EQ(ConfigInt("IsSetup"), 2);
    }
    for (bool throws : {false, true})
    {
        SCOPED_TRACE(throws ? "throws" : "fails");
        WriteTextFile("tav.cfg", DefaultTestConfig()); // settings as the last start made them
        engine.reset(throws ? new ThrowingEngine() : new TestEngine());
        engine->gameResult = E_FAIL;
        EXPECT_EQ(engine->Initialize(settings), E_FAIL);
        StopEngine();
        EXPECT_TRUE(ContainsInOrder(
            Log(),
            throws ? std::vector<std::string>{"Game initialization raised an exception.",
                                              "Caught: \"no game today\"", "Extra: Run-Time Error."}
                   : std::vector<std::string>{"Game::Initialize", "Game Initialization Failed!",
                                              "TAV::Release()"}));
        EXPECT_EQ(Log().find("TAV Successfully Initialized"), std::string::npos);
        EXPECT_EQ(ConfigInt("IsSetup"), 2);
    }
    // Without a log nor a fader the engine runs, resets its device, and
    // closing the window ends a clean run.
    WriteTextFile("tav.cfg", DefaultTestConfig());
    settings.useFader = false;
    settings.logFile = "Z:\\no\\such\\folder\\output.html";
    engine.reset(new TestEngine());
    ASSERT_EQ(engine->Initialize(settings), S_OK);
    EXPECT_FALSE(engine->IsOpen());
    EXPECT_EQ(engine->GetFader(), nullptr);
    EXPECT_TRUE(Pump());
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_TRUE(Pump());
    PostMessageA(engine->GetWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Pump());
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}
