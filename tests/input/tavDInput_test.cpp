// Real keys and mouse input sent through the X server arrive in a running
// engine as the scene's actions, its GUI events and the GUI's typing.
#include "console/tavGUI.h"
#include "core/RecordingScene.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/XInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Event = std::pair<uint32_t, int32_t>;
const auto P = [](uint32_t action) { return Event{action, TAV_PRESSED}; };
const auto R = [](uint32_t action) { return Event{action, TAV_RELEASED}; };
const auto H = [](uint32_t action) { return Event{action, TAV_HELD}; };
} // namespace

TEST_F(EngineTest, DevicesTurnRealInputIntoTheScenesActions)
{
    SceneRecord first, second;
    first.bindings = {{17, 0, 0},   {256, 20, 0}, {257, 21, 0},
                      {258, 22, 0}, {264, 24, 0}, {265, 25, 0}};
    second.bindings = {{57, 9, 100}};
    Heard& events = first.heard;
    // Frames until `done` holds or 15 s passed; at once after a failure.
    const auto waitFor = [&](const std::function<bool()>& done)
    {
        for (const DWORD start = GetTickCount();
             !HasFailure() && GetTickCount() - start < 15000 && !done() && Pump();)
            Sleep(1);
        return done();
    };
    const auto saw = [&](const Event& e, int times)
    { return std::count(events.begin(), events.end(), e) >= times; };
    const auto send = [&](const std::string& arguments, const Event& expected)
    {
        EXPECT_TRUE(SendX(arguments));
        EXPECT_TRUE(waitFor([&] { return saw(expected, 1); })) << "xdotool " << arguments;
    };
    ASSERT_EQ(StartEngine(), S_OK);
    const auto ready = [&] { return PumpUntil([&] { return engine->IsSceneReady(); }); };
    QueueScene(*engine, first);
    ASSERT_TRUE(ready());
    EXPECT_TRUE(engine->HasKeyboard() && engine->HasMouse());
    if (CanSendXInput())
    {
        // A key without a repeat delay: pressed, held while down, released.
        send("keydown w", P(0));
        EXPECT_TRUE(waitFor([&] { return saw(H(0), 3); }));
        send("keyup w", R(0));
        EXPECT_EQ(std::make_pair(events.front(), events.back()), std::make_pair(P(0), R(0)));
        EXPECT_EQ(std::count(events.begin(), events.end(), H(0)) + 2,
                  std::ptrdiff_t(events.size()));
        // Mouse buttons and the wheel.
        events.clear();
        for (const auto& [arguments, event] : {std::pair{"click 1", R(20)},
                                               {"click 3", R(21)},
                                               {"click 2", R(22)},
                                               {"click 4", P(24)},
                                               {"click 5", P(25)}})
            send(arguments, event);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(Pump());
        EXPECT_EQ(events, (Heard{P(20), R(20), P(21), R(21), P(22), R(22), P(24), P(25)}));
        // From the middle right, then down the screen: down in 2D too (y grows upward).
        const float x = engine->GetCursorX(), y = engine->GetCursorY();
        EXPECT_EQ(std::make_pair(x * 2, y * 2), std::make_pair(engine->GetWidth(), engine->GetHeight()));
        ASSERT_TRUE(SendX("mousemove_relative 40 0"));
        EXPECT_TRUE(waitFor([&] { return engine->GetCursorX() > x; })) << "no move right";
        EXPECT_EQ(engine->GetCursorY(), y);
        ASSERT_TRUE(SendX("mousemove_relative -- 0 30"));
        EXPECT_TRUE(waitFor([&] { return engine->GetCursorY() < y; })) << "no move down";
        // A left click on a GUI button is its GUI event, not the button's binding.
        tavGUI& gui = *engine;
        const float vx = engine->GetCursorX() * 1280 / engine->GetWidth(),
                    vy = engine->GetCursorY() * 1024 / engine->GetHeight();
        gui.AddButton(vx - 50, vy - 50, 100, 100, 77, -1, -1);
        events.clear();
        send("click 1", {77, 0});
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(Pump());
        EXPECT_EQ(events, (Heard{{77, 0}}));
        gui.Clear();
        gui.AddEditBox(vx - 20, vy + 10, 12, "");
        ASSERT_TRUE(SendX("click 1"));
        EXPECT_TRUE(waitFor([&] { return gui.GetEditFocus() == 0; }));
        ASSERT_TRUE(SendX("type hello"));
        EXPECT_TRUE(waitFor([&] { return gui.GetEditBox(0)->line.Text() == "hello"; }));
        gui.Clear();
        // Devices lost to another program are acquired again by the next poll.
        engine->UnacquireAll();
        ASSERT_TRUE(Pump());
        events.clear();
        send("keydown w", P(0));
        send("keyup w", R(0));
        EXPECT_EQ(engine->GetRunState(), 1);
    }
    // A scene switch replaces the old scene's bindings.
    QueueScene(*engine, second);
    ASSERT_TRUE(ready());
    ASSERT_EQ(engine->GetInputMap().GetBindingCount(), 1u);
    EXPECT_EQ(engine->GetInputMap().GetBinding(0)->action, 9u);
    // Without its devices a poll fails and the engine stops; released twice is safe.
    engine->tavDInput::Release();
    engine->tavDInput::Release();
    EXPECT_FALSE(Pump());
    EXPECT_EQ(engine->GetRunState(), 2);
    EXPECT_NE(Log().find("DirectInput Device Error!"), std::string::npos);
}
