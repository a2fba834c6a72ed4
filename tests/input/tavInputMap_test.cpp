#include "input/tavInputMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Mouse = tavInputMap::tavMouseEvent;

// Writes the actions down as text: "P7" pressed, "R7" released, "H7" held, "3=251" any other state.
struct Recorder : tavInputMap::tavListener
{
    void OnAction(uint32_t action, int32_t state) override
    {
        const char* kind = state == TAV_PRESSED    ? "P"
                           : state == TAV_RELEASED ? "R"
                           : state == TAV_HELD     ? "H"
                                                   : "";
        events += (events.empty() ? "" : " ") + (kind + std::to_string(action)) +
                  (*kind ? "" : "=" + std::to_string(state));
        if (onAction) onAction();
    }
    bool OnLeftButton(bool down) override { return offered.push_back(down), guiTakesClicks; }
    std::string Take() { return std::exchange(events, ""); } // since the last call
    std::string events;
    std::vector<bool> offered;
    bool guiTakesClicks = false;
    void (*onAction)() = nullptr;
};

struct InputMapTest : ::testing::Test
{
    // One poll: the mouse events, then the bindings fire at `now`.
    std::string Poll(uint32_t now, const std::vector<Mouse>& mouse = {})
    {
        map.BeginPoll();
        map.ReadMouse(mouse.data(), mouse.size(), 1022, 766, recorder);
        map.Fire(keys, joystick1Present ? &joystick1 : nullptr,
                 joystick2Present ? &joystick2 : nullptr, now, recorder);
        return recorder.Take();
    }
    void Polls(const std::vector<std::pair<uint32_t, const char*>>& rows) // {now, fired}
    {
        for (const auto& [now, fired] : rows)
            EXPECT_EQ(Poll(now), fired) << "at " << now;
    }
    void Key(uint32_t code, bool down) { keys.key[code] = down ? 0x80 : 0; }
    static Mouse Button(uint8_t b, bool down) { return {Mouse::Button, b, down ? 0x80 : 0}; }
    InputMapTest()
    {
        for (auto* j : {&joystick1, &joystick2})
            std::fill(std::begin(j->pov), std::end(j->pov), 0xFFFFFFFFu); // centred hats
    }
    tavInputMap map;
    Recorder recorder;
    tavInputMap::tavKeyboardState keys = {};
    tavInputMap::tavJoystickState joystick1 = {}, joystick2 = {};
    bool joystick1Present = true, joystick2Present = true;
};

const uint32_t W = 17, Space = 57;
} // namespace

TEST_F(InputMapTest, KeysArePressedHeldAndReleasedOrRepeatAfterTheirDelay)
{
    map.Bind(W, 7, 0, 1);
    EXPECT_EQ(Poll(5), "");
    Key(W, true);
    Polls({{6, "P7"}, {6, "H7"}, {40, "H7"}});
    Key(W, false);
    Polls({{41, "R7"}, {42, ""}});
    // With a delay: pressed, released on the next poll (the delay not over,
    // it restarts), pressed again after it.
    map.Bind(Space, 10, 1000, 0); // may fire from 1000 on
    Key(Space, true);
    Polls({{999, ""}, {1000, "P10"}, {1016, "R10"}, {1500, ""}, {2015, ""}, {2016, "P10"},
           {2032, "R10"}});
    Key(Space, false);
    EXPECT_EQ(Poll(5000), "");
}

TEST_F(InputMapTest, BindReplacesUnbindKeepsOrderClearEmpties)
{
    for (const auto& [code, action] :
         {std::pair<uint32_t, uint32_t>{W, 1}, {30, 2}, {31, 3}, {W, 4}})
        map.Bind(code, action, 0, 0); // W is now the last binding, with the second action
    ASSERT_EQ(map.GetBindingCount(), 3u);
    Key(W, true);
    Key(30, true);
    Key(31, true);
    EXPECT_EQ(Poll(0), "P2 P3 P4");
    map.Unbind(30);
    map.Unbind(999); // nothing bound: nothing changes
    EXPECT_EQ(Poll(1), "H3 H4") << "the order stays";
    map.Clear();
    EXPECT_EQ(Poll(2), "");
}

TEST_F(InputMapTest, MouseButtonsAndWheelFireTheirCodesForOnePoll)
{
    for (uint32_t offset : {0, 1, 2, 7, 8, 9})
        map.Bind(256 + offset, offset, 0, 0);
    // Binding order; per binding every down, then every up; the wheel
    // counts one event per report, whatever its size.
    EXPECT_EQ(Poll(0, {Button(7, true),
                       Button(0, true),
                       Button(0, false),
                       Button(1, true),
                       {Mouse::Wheel, 0, 120},
                       {Mouse::Wheel, 0, -240},
                       {Mouse::Wheel, 0, 120},
                       Button(2, false)}),
              "P0 R0 P1 R2 P7 P8 P8 P9");
    EXPECT_EQ(Poll(1), "") << "mouse events count for one poll only";
    // A repeat delay swallows later events of the same poll.
    map.Clear();
    map.Bind(257, 1, 50, 0);
    EXPECT_EQ(Poll(50, {Button(1, true), Button(1, false), Button(1, true)}), "P1");
    EXPECT_EQ(Poll(99, {Button(1, false)}) + "|" + Poll(100, {Button(1, false)}), "|R1");
    // A left click taken by the GUI never reaches its binding; only the left button is offered.
    map.Clear();
    map.Bind(256, 3, 0, 0);
    recorder.guiTakesClicks = true;
    recorder.offered.clear();
    EXPECT_EQ(Poll(200, {Button(0, true), Button(1, true), Button(0, false)}), "");
    EXPECT_EQ(recorder.offered, (std::vector<bool>{true, false}));
    recorder.guiTakesClicks = false;
    EXPECT_EQ(Poll(201, {Button(0, true)}), "P3");
}

TEST_F(InputMapTest, CursorMovesByTheRunningSumOfThePollAndIsClampedAfterEachMove)
{
    const auto cursor = [&]
    { return std::vector{map.GetCursorX(), map.GetCursorY(), map.GetMouseDX(), map.GetMouseDY()}; };
    EXPECT_EQ(cursor(), (std::vector<float>{300, 300, 0, 0}));
    Poll(0, {{Mouse::MoveX, 0, 3}, {Mouse::MoveX, 0, 4}}); // 3, then the running sum 7
    EXPECT_EQ(cursor(), (std::vector<float>{310, 300, 7, 0}));
    Poll(1, {{Mouse::MoveY, 0, 2}, {Mouse::MoveY, 0, 2}}); // afresh; y grows up the screen
    EXPECT_EQ(cursor(), (std::vector<float>{310, 294, 0, 4}));
    // Clamped at the right edge after the first move, then pulled back by the running sum.
    Poll(2, {{Mouse::MoveX, 0, 800}, {Mouse::MoveX, 0, -1000}});
    EXPECT_EQ(cursor()[0], 1022.0f + 800 - 1000);
    map.SetCursor(5, 5);
    Poll(3, {{Mouse::MoveX, 0, -20}, {Mouse::MoveY, 0, -2000}});
    EXPECT_EQ(cursor(), (std::vector<float>{0, 766, -20, -2000}));
}

TEST_F(InputMapTest, JoystickAxesHatsSlidersAndButtonsOfBothJoysticks)
{
    for (uint32_t offset = 0; offset < 100; ++offset)
        map.Bind(300 + offset, offset, 0, 0);
    map.Bind(400, 200, 0, 0);
    map.Bind(420, 201, 100, 0);
    joystick1.axis[0] = -250; // an axis fires its value beyond 250, on every poll
    joystick1.axis[1] = 251;
    joystick1.axis[2] = 400; // Z+ is 304, the first code of its pair
    joystick1.axis[3] = -1000;
    joystick1.axis[5] = 250;
    joystick1.pov[0] = 0; // straight forward reads 0: fires nothing
    joystick1.pov[1] = 9000;
    joystick1.pov[2] = 0x1FFFF; // low word all ones: centred
    joystick1.pov[3] = 27000;
    joystick1.slider[0] = 251;
    joystick1.slider[1] = -250;
    joystick1.button[0] = joystick1.button[79] = 0x80;
    joystick1.button[5] = 0x7F; // high bit clear: up
    joystick2.axis[0] = -700;
    joystick2.button[0] = 0x80;
    EXPECT_EQ(Poll(100), "3=251 4=400 6=-1000 13=9000 15=27000 16=-1 20=-1 99=-1 200=-700 201=-1");
    joystick1.axis[0] = joystick1.slider[0] = joystick1.slider[1] = -251;
    joystick1.pov[1] = 0xFFFFFFFF;
    joystick1.pov[3] = 0xFFFF;
    joystick1.button[0] = joystick1.button[79] = 0;
    EXPECT_EQ(Poll(101), "0=-251 3=251 4=400 6=-1000 17=-1 19=-1 200=-700");
    joystick1Present = false; // absent joysticks fire nothing
    EXPECT_EQ(Poll(199), "200=-700") << "the second one's button waits for its repeat delay";
    joystick2Present = false;
    EXPECT_EQ(Poll(200), "");
}

TEST_F(InputMapTest, CodesWithoutAnInputFireNothingAndAListenerMayClearTheBindings)
{
    for (uint32_t code : {0u, 255u, 266u, 267u, 268u, 269u, 270u, 299u, 500u, 0xFFFFFFFFu})
        map.Bind(code, code, 0, 0);
    std::memset(keys.key, 0x80, sizeof keys.key);
    EXPECT_EQ(Poll(0, {{Mouse::Wheel, 0, 1}, {Mouse::MoveX, 0, 5}, {Mouse::MoveY, 0, -5},
                       Button(9, true)}), // no such button: ignored
              "");
    static tavInputMap* current = nullptr;
    current = &map;
    map.Clear();
    map.Bind(W, 1, 0, 0);
    map.Bind(30, 2, 0, 0);
    recorder.onAction = [] { current->Clear(); }; // the poll ends safely
    EXPECT_EQ(Poll(1), "P1");
}
