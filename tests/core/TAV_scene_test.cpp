// Scenes: loading on their own thread, switching, failures, device resets.
#include "RecordingScene.h"

#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
class SceneTest : public EngineTest
{
protected:
    void SetUp() override { ASSERT_EQ(StartEngine(), S_OK); }

    RecordingScene* Queue(SceneRecord& record)
    {
        RecordingScene* scene = NewRecordingScene(engine.get(), &record);
        engine->SetNextScene(scene);
        return scene;
    }
    bool WaitReady() { return PumpUntil([&] { return engine->IsSceneReady(); }); }
};

class ThrowingEngine : public TestEngine
{
public:
    HRESULT GameInitialize() override { throw std::runtime_error("no game today"); }
};
} // namespace

TEST_F(SceneTest, LoadsOnItsOwnThreadThenRendersEveryFrame)
{
    SceneRecord record;
    Queue(record);
    EXPECT_FALSE(engine->IsSceneReady());
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(record.initialized, 1);
    EXPECT_NE(record.loadingThread, GetCurrentThreadId());
    const int before = record.rendered;
    ASSERT_TRUE(Pump());
    ASSERT_TRUE(Pump());
    EXPECT_EQ(record.rendered, before + 2);
    EXPECT_EQ(record.preRendered, record.rendered);

    // A lost windowed frame sleeps once and goes on.
    engine->SetPaused(true);
    EXPECT_EQ(engine->Frame(), S_OK);
    EXPECT_FALSE(engine->IsPaused());
    EXPECT_EQ(record.rendered, before + 3);
}

TEST_F(SceneTest, NextSceneShowsLoadingAtOnceAndSwitchesInTheSamePass)
{
    SceneRecord first, second;
    RecordingScene* a = Queue(first);
    ASSERT_TRUE(WaitReady());
    second.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    engine->SetNextScene(NewRecordingScene(engine.get(), &second));
    const int rendered = first.rendered;
    ASSERT_TRUE(Pump());
    EXPECT_EQ(first.rendered, rendered); // the loading screen, not the old scene
    EXPECT_EQ(first.destroyed, 1);       // switched at the end of that pass
    EXPECT_NE(Log().find(SceneLine("Destroyed scene ", a)), std::string::npos);
    SetEvent(second.releaseLoading);
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(second.initialized, 1);
    StopEngine();
    EXPECT_EQ(second.destroyed, 1);
    CloseHandle(second.releaseLoading);
}

TEST_F(SceneTest, FailedLoadEndsTheRunAndTheSceneIsDestroyedTwice)
{
    SceneRecord record;
    record.initializeResult = E_FAIL;
    RecordingScene* scene = Queue(record);
    PumpUntil([&] { return engine->IsQuitting(); });
    EXPECT_TRUE(engine->IsQuitting());
    EXPECT_FALSE(engine->IsSceneReady());
    EXPECT_EQ(record.destroyed, 1);
    StopEngine();
    EXPECT_EQ(record.destroyed, 2);
    EXPECT_TRUE(ContainsInOrder(Log(), {SceneLine("Failed initializing scene ", scene),
                                        SceneLine("Last-Chance Deleted Scene ", scene)}));
    EXPECT_EQ(ConfigInt("IsSetup"), 2);
}

TEST_F(SceneTest, QueuedSceneNeverSwitchedToIsDeletedUninitialised)
{
    SceneRecord record;
    RecordingScene* scene = Queue(record);
    StopEngine();
    EXPECT_EQ(record.initialized, 0);
    EXPECT_EQ(record.destroyed, 1);
    EXPECT_NE(Log().find(SceneLine("Last-Chance Deleting Next Scene ", scene)), std::string::npos);
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}

TEST_F(SceneTest, FailedRenderEndsTheLoopAndTheSceneIsNotCalledAgain)
{
    SceneRecord record;
    RecordingScene* scene = Queue(record);
    ASSERT_TRUE(WaitReady());
    record.renderResult = E_FAIL;
    EXPECT_FALSE(Pump());
    const int rendered = record.rendered;
    engine->Frame(); // a frame after the failure returns before the scene
    EXPECT_EQ(record.rendered, rendered);
    StopEngine();
    EXPECT_TRUE(ContainsInOrder(Log(), {SceneLine("Rendering failed on scene ", scene),
                                        "Abnormal render failure.", "TAV::Release()",
                                        "Windows Reports Error: "}));
    EXPECT_EQ(ConfigInt("IsSetup"), 2);
}

TEST_F(SceneTest, DeviceResetInvalidatesAndRestoresInOrderUnlessTheSceneRefuses)
{
    SceneRecord record;
    RecordingScene* scene = Queue(record);
    ASSERT_TRUE(WaitReady());
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_EQ(record.calls, "IR");
    const int rendered = record.rendered;
    ASSERT_TRUE(Pump());
    ASSERT_TRUE(Pump());
    EXPECT_EQ(record.rendered, rendered + 2);
    EXPECT_TRUE(ContainsInOrder(Log(), {"Objects Invalidated...", "Objects reinitialized..."}));

    record.invalidateResult = E_FAIL;
    EXPECT_EQ(engine->ResetDevice(), E_FAIL);
    EXPECT_EQ(engine->GetRunState(), 2);
    EXPECT_EQ(record.calls, "IRI");
    EXPECT_NE(Log().find(SceneLine("Failed invalidating scene ", scene)), std::string::npos);
}

// A game start-up that fails or throws: the next run asks the safe-mode
// question.
TEST_F(EngineTest, FailingGameStartUpIsRecordedForTheNextRun)
{
    for (bool throws : {false, true})
    {
        SCOPED_TRACE(throws ? "throws" : "fails");
        WriteTextFile("tav.cfg", DefaultTestConfig());
        engine.reset(throws ? new ThrowingEngine() : new TestEngine());
        engine->gameResult = E_FAIL;
        caption = "TAV Test game";
        settings.caption = caption.c_str();
        EXPECT_EQ(engine->Initialize(settings), E_FAIL);
        StopEngine();
        const std::vector<std::string> lines =
            throws ? std::vector<std::string>{"Game initialization raised an exception.",
                                              "Caught: \"no game today\"", "Extra: Run-Time Error."}
                   : std::vector<std::string>{"Game::Initialize", "Game Initialization Failed!",
                                              "TAV::Release()"};
        EXPECT_TRUE(ContainsInOrder(Log(), lines));
        EXPECT_EQ(Log().find("TAV Successfully Initialized"), std::string::npos);
        EXPECT_EQ(ConfigInt("IsSetup"), 2);
    }
}
