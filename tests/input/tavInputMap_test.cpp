#include "input/tavInputMap.h"

#include <gtest/gtest.h>

#include <cstring>
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
using Mouse = tavInputMap::tavMouseEvent;

struct Recorder : tavInputMap::tavListener
{
    void OnAction(uint32_t action, int32_t state) override
    {
        events.push_back({action, state});
        if (onAction) onAction();
    }
    bool OnLeftButton(bool down) override
    {
        offered.push_back(down);
        return guiTakesClicks;
    }
    // Everything recorded since the last call.
    std::vector<Event> Take() { return std::exchange(events, {}); }

    std::vector<Event> events;
    std::vector<bool> offered;
    bool guiTakesClicks = false;
    void (*onAction)() = nullptr;
};

struct InputMapTest : ::testing::Test
{
    // One poll: the mouse events, then the bindings fire at `now`.
    void Poll(uint32_t now, const std::vector<Mouse>& mouse = {})
    {
        map.BeginPoll();
        map.ReadMouse(mouse.data(), mouse.size(), 1022, 766, recorder);
        map.Fire(keys, joystick1Present ? &joystick1 : nullptr,
                 joystick2Present ? &joystick2 : nullptr, now, recorder);
    }
    void Key(uint32_t code, bool down) { keys.key[code] = down ? 0x80 : 0; }
    static Mouse Button(uint8_t button, bool down)
    {
        return {Mouse::Button, button, down ? 0x80 : 0};
    }
    static tavInputMap::tavJoystickState CentredJoystick()
    {
        tavInputMap::tavJoystickState s;
        std::memset(&s, 0, sizeof s);
        for (uint32_t& hat : s.pov)
            hat = 0xFFFFFFFF;
        return s;
    }

    tavInputMap map;
    Recorder recorder;
    tavInputMap::tavKeyboardState keys = {};
    tavInputMap::tavJoystickState joystick1 = CentredJoystick();
    tavInputMap::tavJoystickState joystick2 = CentredJoystick();
    bool joystick1Present = true;
    bool joystick2Present = true;
};

const uint32_t W = 17, Space = 57;
} // namespace

TEST_F(InputMapTest, KeysArePressedHeldAndReleasedOrRepeatAfterTheirDelay)
{
    map.Bind(W, 7, 0, 1);
    Poll(5);
    EXPECT_TRUE(recorder.Take().empty());
    Key(W, true);
    Poll(6);
    EXPECT_EQ(recorder.Take(), (Events{P(7)}));
    Poll(6);
    Poll(40);
    EXPECT_EQ(recorder.Take(), (Events{H(7), H(7)}));
    Key(W, false);
    Poll(41);
    Poll(42);
    EXPECT_EQ(recorder.Take(), (Events{R(7)}));

    // With a delay: pressed, released on the next poll, pressed again after
    // the delay.
    map.Bind(Space, 10, 1000, 0); // may fire from 1000 on
    Key(Space, true);
    Poll(999);
    EXPECT_TRUE(recorder.Take().empty());
    Poll(1000);
    EXPECT_EQ(recorder.Take(), (Events{P(10)}));
    Poll(1016); // still down, the delay not over: released, and the delay restarts
    EXPECT_EQ(recorder.Take(), (Events{R(10)}));
    Poll(1500);
    Poll(2015);
    EXPECT_TRUE(recorder.Take().empty());
    Poll(2016);
    Poll(2032);
    EXPECT_EQ(recorder.Take(), (Events{P(10), R(10)}));
    Key(Space, false);
    Poll(5000);
    EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(InputMapTest, BindReplacesUnbindKeepsOrderClearEmpties)
{
    map.Bind(W, 1, 0, 0);
    map.Bind(30, 2, 0, 0);
    map.Bind(31, 3, 0, 0);
    map.Bind(W, 4, 0, 0); // W is now the last binding, with the second action
    ASSERT_EQ(map.GetBindingCount(), 3u);
    Key(W, true);
    Key(30, true);
    Key(31, true);
    Poll(0);
    EXPECT_EQ(recorder.Take(), (Events{P(2), P(3), P(4)}));

    map.Unbind(30);
    map.Unbind(999); // nothing bound: nothing changes
    ASSERT_EQ(map.GetBindingCount(), 2u);
    EXPECT_EQ(map.GetBinding(0)->code, 31u);
    EXPECT_EQ(map.GetBinding(1)->code, W);
    EXPECT_EQ(map.GetBinding(2), nullptr);
    map.Clear();
    Poll(1);
    EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(InputMapTest, MouseButtonsAndWheelFireTheirCodesForOnePoll)
{
    map.Bind(256, 0, 0, 0);
    map.Bind(257, 1, 0, 0);
    map.Bind(258, 2, 0, 0);
    map.Bind(263, 7, 0, 0);
    map.Bind(264, 8, 0, 0);
    map.Bind(265, 9, 0, 0);
    Poll(0, {Button(7, true),
             Button(0, true),
             Button(0, false),
             Button(1, true),
             {Mouse::Wheel, 0, 120},
             {Mouse::Wheel, 0, -240},
             {Mouse::Wheel, 0, 120},
             Button(2, false)});
    // Binding order; per binding every down, then every up; the wheel
    // counts one event per report, whatever its size.
    EXPECT_EQ(recorder.Take(), (Events{P(0), R(0), P(1), R(2), P(7), P(8), P(8), P(9)}));
    Poll(1);
    EXPECT_TRUE(recorder.Take().empty()) << "mouse events count for one poll only";

    // A repeat delay swallows later events of the same poll.
    map.Clear();
    map.Bind(257, 1, 50, 0);
    Poll(50, {Button(1, true), Button(1, false), Button(1, true)});
    Poll(99, {Button(1, false)});
    EXPECT_EQ(recorder.Take(), (Events{P(1)}));
    Poll(100, {Button(1, false)});
    EXPECT_EQ(recorder.Take(), (Events{R(1)}));

    // A left click taken by the GUI never reaches its binding; only the left
    // button is offered.
    map.Clear();
    map.Bind(256, 3, 0, 0);
    recorder.guiTakesClicks = true;
    recorder.offered.clear();
    Poll(200, {Button(0, true), Button(1, true), Button(0, false)});
    EXPECT_EQ(recorder.offered, (std::vector<bool>{true, false}));
    EXPECT_TRUE(recorder.Take().empty());
    recorder.guiTakesClicks = false;
    Poll(201, {Button(0, true)});
    EXPECT_EQ(recorder.Take(), (Events{P(3)}));
}

TEST_F(InputMapTest, CursorMovesByTheRunningSumOfThePollAndIsClampedAfterEachMove)
{
    EXPECT_EQ(map.GetCursorX(), 300.0f);
    EXPECT_EQ(map.GetCursorY(), 300.0f);
    Poll(0, {{Mouse::MoveX, 0, 3}, {Mouse::MoveX, 0, 4}});
    EXPECT_EQ(map.GetCursorX(), 310.0f) << "3, then the running sum 7";
    EXPECT_EQ(map.GetMouseDX(), 7.0f);

    Poll(1, {{Mouse::MoveY, 0, 2}, {Mouse::MoveY, 0, 2}});
    EXPECT_EQ(map.GetCursorY(), 294.0f) << "y grows upward: 2, then 4, down the screen";
    EXPECT_EQ(map.GetMouseDX(), 0.0f) << "each poll sums afresh";
    EXPECT_EQ(map.GetMouseDY(), 4.0f);

    // Clamped at the right edge after the first move, then pulled back by
    // the running sum: 1022 + (800 - 1000).
    Poll(2, {{Mouse::MoveX, 0, 800}, {Mouse::MoveX, 0, -1000}});
    EXPECT_EQ(map.GetCursorX(), 822.0f);

    map.SetCursor(5, 5);
    Poll(3, {{Mouse::MoveX, 0, -20}, {Mouse::MoveY, 0, -2000}});
    EXPECT_EQ(map.GetCursorX(), 0.0f);
    EXPECT_EQ(map.GetCursorY(), 766.0f);
}

TEST_F(InputMapTest, JoystickAxesFireTheirValueBeyondTheThreshold)
{
    for (uint32_t offset = 0; offset < 12; ++offset)
        map.Bind(300 + offset, offset, 0, 0);
    joystick1.axis[0] = -250;
    joystick1.axis[1] = 251;
    joystick1.axis[2] = 400; // Z+ is 304, the first code of its pair
    joystick1.axis[3] = -1000;
    joystick1.axis[5] = 250;
    Poll(0);
    EXPECT_EQ(recorder.Take(), (Events{{3, 251}, {4, 400}, {6, -1000}}));
    joystick1.axis[0] = -251;
    Poll(1);
    EXPECT_EQ(recorder.Take(), (Events{{0, -251}, {3, 251}, {4, 400}, {6, -1000}}))
        << "an axis fires on every poll while beyond the threshold";
}

TEST_F(InputMapTest, JoystickHatsSlidersAndButtons)
{
    for (uint32_t offset = 12; offset < 100; ++offset)
        map.Bind(300 + offset, offset, 0, 0);
    joystick1.pov[0] = 0; // straight forward reads 0: fires nothing
    joystick1.pov[1] = 9000;
    joystick1.pov[2] = 0x1FFFF; // low word all ones: centred
    joystick1.pov[3] = 27000;
    joystick1.slider[0] = 251;
    joystick1.slider[1] = -250;
    joystick1.button[0] = 0x80;
    joystick1.button[79] = 0x80;
    joystick1.button[5] = 0x7F; // high bit clear: up
    Poll(0);
    EXPECT_EQ(recorder.Take(), (Events{{13, 9000}, {15, 27000}, {16, -1}, {20, -1}, {99, -1}}));
    joystick1.slider[1] = -251;
    joystick1.slider[0] = -251;
    joystick1.pov[1] = 0xFFFFFFFF;
    joystick1.pov[3] = 0xFFFF;
    joystick1.button[0] = joystick1.button[79] = 0;
    Poll(1);
    EXPECT_EQ(recorder.Take(), (Events{{17, -1}, {19, -1}}));
}

TEST_F(InputMapTest, SecondJoystickUsesCodesFrom400AndAbsentJoysticksFireNothing)
{
    map.Bind(300, 1, 0, 0);
    map.Bind(400, 2, 0, 0);
    map.Bind(420, 3, 100, 0);
    joystick1.axis[0] = -600;
    joystick2.axis[0] = -700;
    joystick2.button[0] = 0x80;
    Poll(100);
    EXPECT_EQ(recorder.Take(), (Events{{1, -600}, {2, -700}, {3, -1}}));
    joystick1Present = false;
    Poll(199); // the button waits for its repeat delay
    EXPECT_EQ(recorder.Take(), (Events{{2, -700}}));
    joystick2Present = false;
    Poll(200);
    EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(InputMapTest, CodesWithoutAnInputFireNothing)
{
    for (uint32_t code : {0u, 255u, 266u, 267u, 268u, 269u, 270u, 299u, 500u, 0xFFFFFFFFu})
        map.Bind(code, code, 0, 0);
    std::memset(keys.key, 0x80, sizeof keys.key);
    std::vector<Mouse> everything;
    for (uint8_t b = 0; b < 8; ++b)
        everything.push_back(Button(b, true));
    everything.push_back({Mouse::Wheel, 0, 1});
    everything.push_back({Mouse::MoveX, 0, 5});
    everything.push_back({Mouse::MoveY, 0, -5});
    everything.push_back(Button(9, true)); // no such button: ignored
    Poll(0, everything);
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_EQ(map.GetBindingCount(), 10u);
}

TEST_F(InputMapTest, ListenerThatChangesTheBindingsEndsThePollSafely)
{
    static tavInputMap* current = nullptr;
    current = &map;
    map.Bind(W, 1, 0, 0);
    map.Bind(30, 2, 0, 0);
    Key(W, true);
    Key(30, true);
    recorder.onAction = [] { current->Clear(); };
    Poll(0);
    EXPECT_EQ(recorder.Take(), (Events{P(1)}));
    EXPECT_EQ(map.GetBindingCount(), 0u);
}

// The fixed names are a table; what is checked is each range's ends and the
// names made from the first joystick's and from button numbers.
TEST(tavInputMapNames, EveryRangeHasItsNamesAndTheGapsNone)
{
    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {1, "Escape"},         {223, "Sleep"},        {256, "Left Button"},  {269, "Mouse Right"},
        {300, "P1 Left"},      {315, "P1 POV-Hat 4"}, {320, "P1 Button 1"},  {351, "P1 Button 32"},
        {400, "P2 Left"},      {405, "P2 Z-Down"},    {415, "P2 POV-Hat 4"}, {420, "P2 Button 1"},
        {451, "P2 Button 32"},
    };
    for (const auto& [code, name] : expected)
        EXPECT_EQ(tavInputMap::GetKeyName(code), name) << "code " << code;
    for (uint32_t code : {0u, 84u, 224u, 255u, 270u, 299u, 316u, 319u, 352u, 399u, 416u, 419u, 452u,
                          499u, 0xFFFFFFFFu})
        EXPECT_STREQ(tavInputMap::GetKeyName(code), "") << "code " << code;
}
