// The input devices in a running engine: DirectInput created on the test
// window, bindings made by a scene, and real keys and mouse buttons sent to
// the window through the X server (xdotool, started through Wine's ability
// to run Unix programs) arriving as the scene's actions.
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/XInput.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Event = std::pair<uint32_t, int32_t>;
using Events = std::vector<Event>;
const auto P = [](uint32_t action) { return Event{action, TAV_PRESSED}; };
const auto R = [](uint32_t action) { return Event{action, TAV_RELEASED}; };
const auto H = [](uint32_t action) { return Event{action, TAV_HELD}; };

struct Binding
{
    uint32_t code;
    uint32_t action;
    uint32_t repeatDelay;
};

// Binds what the test asks for while it loads, as a game does, and records
// every action it is told of. Its lists belong to the test: a scene's own
// containers would outlive it (no destructor runs).
class RecordingScene : public tavScene
{
public:
    explicit RecordingScene(TAV* e) : engine(e) {}

    HRESULT Initialize() override
    {
        tavLockGuard frameLock(*engine);
        for (const Binding& b : *bindings)
            engine->Bind(b.code, b.action, b.repeatDelay);
        return S_OK;
    }
    HRESULT Render() override { return S_OK; }
    HRESULT Destroy() override { return S_OK; }
    void OnKey(uint32_t action, int32_t state) override { events->push_back({action, state}); }

    TAV* engine;
    const std::vector<Binding>* bindings = nullptr;
    std::vector<Event>* events = nullptr;
};

// Runs of one event repeated (the held state of every poll) shortened to
// two, so that sequences compare whatever the frame rate.
std::vector<Event> Squeeze(const std::vector<Event>& events)
{
    std::vector<Event> out;
    for (const Event& e : events)
        if (out.size() < 2 || out[out.size() - 1] != e || out[out.size() - 2] != e)
            out.push_back(e);
    return out;
}

const uint32_t KeyW = 17, KeyA = 30, KeySpace = 57;

class InputTest : public EngineTest
{
protected:
    // The engine with a ready scene that made `wanted` bindings.
    void StartWithScene(const std::vector<Binding>& wanted)
    {
        ASSERT_EQ(StartEngine(), S_OK);
        bindings = wanted;
        SwitchTo(&bindings);
    }

    void SwitchTo(const std::vector<Binding>* sceneBindings)
    {
        RecordingScene* scene = tavNewScene<RecordingScene>(engine.get());
        ASSERT_NE(scene, nullptr);
        scene->bindings = sceneBindings;
        scene->events = &events;
        engine->SetNextScene(scene);
        ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }))
            << "the test scene never became ready";
    }

    // Frames until `done` holds or `ms` of real time passed; at once after
    // an earlier wait failed, so that one missing event does not cost every
    // later wait its whole time.
    bool WaitFor(const std::function<bool()>& done, DWORD ms = 15000)
    {
        if (HasFatalFailure()) return done();
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms)
        {
            if (done()) return true;
            if (!Pump()) break;
            Sleep(1);
        }
        return done();
    }

    bool Saw(const Event& e, int times = 1)
    {
        int seen = 0;
        for (const Event& x : events)
            seen += x == e;
        return seen >= times;
    }

    // Sends one xdotool command and waits for the event it must cause.
    void SendAndExpect(const std::string& arguments, const Event& expected, int times = 1)
    {
        ASSERT_TRUE(SendX(arguments)) << "could not start xdotool";
        ASSERT_TRUE(WaitFor([&] { return Saw(expected, times); }))
            << "xdotool " << arguments << " gave no action " << expected.first << " with state 0x"
            << std::hex << expected.second;
    }

    void SkipWithoutX()
    {
        if (!CanSendXInput())
            GTEST_SKIP() << "real input is sent with xdotool, which needs Wine on an X display";
    }

    std::vector<Binding> bindings;
    std::vector<Event> events;
};
} // namespace

TEST_F(InputTest, KeyboardAndMouseAreCreatedAndTheirLossEndsTheProgramCleanly)
{
    StartWithScene({{KeyW, 0, 0}});
    EXPECT_TRUE(engine->HasKeyboard());
    EXPECT_TRUE(engine->HasMouse());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Pump());
    const std::string log = Log();
    EXPECT_EQ(log.find("Failed"), std::string::npos) << log;
    EXPECT_EQ(log.find("DirectInput"), std::string::npos) << log;

    // Without its devices a poll cannot read anything: the frame reports it
    // and the engine stops, with everything released once more at shutdown.
    engine->tavDInput::Release();
    engine->tavDInput::Release();
    EXPECT_FALSE(Pump());
    EXPECT_EQ(engine->GetRunState(), 2);
    EXPECT_NE(Log().find("DirectInput Device Error!"), std::string::npos);
}

TEST_F(InputTest, SceneSwitchReplacesTheOldScenesBindings)
{
    StartWithScene({{KeyW, 0, 0}, {KeyA, 1, 0}, {256, 2, 0}});
    ASSERT_EQ(engine->GetInputMap().GetBindingCount(), 3u);
    const std::vector<Binding> next = {{KeySpace, 9, 100}};
    SwitchTo(&next);
    ASSERT_EQ(engine->GetInputMap().GetBindingCount(), 1u);
    EXPECT_EQ(engine->GetInputMap().GetBinding(0)->code, KeySpace);
    EXPECT_EQ(engine->GetInputMap().GetBinding(0)->action, 9u);
}

TEST_F(InputTest, KeysSentToTheWindowArriveAsBoundActionsInOrder)
{
    SkipWithoutX();
    StartWithScene({{KeyW, 0, 0}, {KeyA, 2, 0}, {KeySpace, 10, 300}});

    // W with no repeat delay: pressed, held while down, released.
    SendAndExpect("keydown w", P(0));
    ASSERT_TRUE(WaitFor([&] { return Saw(H(0), 3); }));
    SendAndExpect("keyup w", R(0));
    SendAndExpect("keydown a", P(2));
    ASSERT_TRUE(WaitFor([&] { return Saw(H(2), 2); }));
    SendAndExpect("keyup a", R(2));
    EXPECT_EQ(Squeeze(events), (Events{P(0), H(0), H(0), R(0), P(2), H(2), H(2), R(2)}));

    // Space with a repeat delay: pressed and released in turn while held.
    events.clear();
    SendAndExpect("keydown space", P(10), 2);
    SendAndExpect("keyup space", R(10), 2);
    for (size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i], (i % 2 ? R(10) : P(10))) << "event " << i;
    EXPECT_EQ(events.size() % 2, 0u);
}

TEST_F(InputTest, MouseButtonsAndTheWheelArriveAsBoundActions)
{
    SkipWithoutX();
    StartWithScene({{256, 20, 0}, {257, 21, 0}, {258, 22, 0}, {264, 24, 0}, {265, 25, 0}});
    SendAndExpect("click 1", R(20));
    SendAndExpect("click 3", R(21));
    SendAndExpect("click 2", R(22));
    SendAndExpect("click 4", P(24));
    SendAndExpect("click 5", P(25));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Pump());
    EXPECT_EQ(events, (Events{P(20), R(20), P(21), R(21), P(22), R(22), P(24), P(25)}));
}

TEST_F(InputTest, MouseMovesTheCursorRightAndDown)
{
    SkipWithoutX();
    StartWithScene({});
    const float x = engine->GetCursorX(), y = engine->GetCursorY();
    EXPECT_EQ(x, engine->GetWidth() * 0.5f);
    EXPECT_EQ(y, engine->GetHeight() * 0.5f);
    ASSERT_TRUE(SendX("mousemove_relative 40 0"));
    ASSERT_TRUE(WaitFor([&] { return engine->GetCursorX() > x; }))
        << "the cursor did not move right";
    EXPECT_EQ(engine->GetCursorY(), y);
    // Down the screen is down in the 2D space too, whose y grows upward.
    ASSERT_TRUE(SendX("mousemove_relative -- 0 30"));
    ASSERT_TRUE(WaitFor([&] { return engine->GetCursorY() < y; }))
        << "the cursor did not move down";
}

TEST_F(InputTest, LostDevicesAreAcquiredAgainByTheNextPoll)
{
    SkipWithoutX();
    StartWithScene({{KeyW, 0, 0}});
    // As if another program had taken the devices.
    engine->UnacquireAll();
    ASSERT_TRUE(Pump());
    SendAndExpect("keydown w", P(0));
    SendAndExpect("keyup w", R(0));
    EXPECT_EQ(engine->GetRunState(), 1);
}
