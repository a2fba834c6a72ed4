// Display names of the input codes, for key-binding screens and reports.
#include "input/tavInputMap.h"

#include <string>

namespace
{
const uint32_t LastNamedCode = 451;
const uint32_t NamedJoystickButtons = 32;

struct CodeName
{
    uint32_t code;
    const char* name;
};

// Keyboard (DirectInput scan codes), mouse and the first joystick's
// directions and hats; its buttons and the second joystick are derived.
// clang-format off
const CodeName FixedNames[] = {
    {1, "Escape"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "4"}, {6, "5"}, {7, "6"}, {8, "7"}, {9, "8"},
    {10, "9"}, {11, "0"}, {12, "-"}, {13, "="}, {14, "BackSpace"}, {15, "Tab"}, {16, "Q"},
    {17, "W"}, {18, "E"}, {19, "R"}, {20, "T"}, {21, "Y"}, {22, "U"}, {23, "I"}, {24, "O"},
    {25, "P"}, {26, "["}, {27, "]"}, {28, "Return"}, {29, "Left Ctl"}, {30, "A"}, {31, "S"},
    {32, "D"}, {33, "F"}, {34, "G"}, {35, "H"}, {36, "J"}, {37, "K"}, {38, "L"}, {39, ";"},
    {40, "'"}, {41, "Grave"}, {42, "Left Shift"}, {43, "\\"}, {44, "Z"}, {45, "X"}, {46, "C"},
    {47, "V"}, {48, "B"}, {49, "N"}, {50, "M"}, {51, ","}, {52, "."}, {53, "/"},
    {54, "Right Shift"}, {55, "Multiply"}, {56, "Left Alt"}, {57, "Space"}, {58, "Capital"},
    {59, "F1"}, {60, "F2"}, {61, "F3"}, {62, "F4"}, {63, "F5"}, {64, "F6"}, {65, "F7"}, {66, "F8"},
    {67, "F9"}, {68, "F10"}, {69, "Num Lock"}, {70, "Scroll Lock"}, {71, "NumPad 7"},
    {72, "NumPad 8"}, {73, "NumPad 9"}, {74, "Subtract"}, {75, "NumPad 4"}, {76, "NumPad 5"},
    {77, "NumPad 6"}, {78, "Add"}, {79, "NumPad 1"}, {80, "NumPad 2"}, {81, "NumPad 3"},
    {82, "NumPad 0"}, {83, "Decimal"}, {86, "OEM 102"}, {87, "F11"}, {88, "F12"}, {100, "F13"},
    {101, "F14"}, {102, "F15"}, {112, "Kana"}, {115, "Abnt C1"}, {121, "Convert"}, {125, "Yen"},
    {126, "Abnt C2"}, {141, "NumPad ="}, {144, "Prev. Track"}, {145, "@"}, {146, ":"}, {147, "_"},
    {148, "Kanji"}, {149, "Stop"}, {150, "Ax"}, {151, "Unlabeled"}, {153, "Next Track"},
    {156, "NumPad Enter"}, {157, "Right Ctl"}, {160, "Mute"}, {162, "Play/Pause"},
    {164, "Media Stop"}, {174, "Vol Down"}, {176, "Vol Up"}, {179, "NumPad Comma"}, {181, "Divide"},
    {183, "SysRq"}, {184, "Right Alt"}, {197, "Pause"}, {199, "Home"}, {200, "Up"},
    {201, "Page Up"}, {203, "Left"}, {205, "Right"}, {207, "End"}, {208, "Down"},
    {209, "Page Down"}, {210, "Insert"}, {211, "Delete"}, {219, "Left WinKey"},
    {220, "Right WinKey"}, {221, "Apps"}, {222, "Power"}, {223, "Sleep"}, {256, "Left Button"},
    {257, "Right Button"}, {258, "Middle Button"}, {259, "Mouse Three"}, {260, "Mouse Four"},
    {261, "Mouse Five"}, {262, "Mouse Six"}, {263, "Mouse Seven"}, {264, "Wheel Fwd"},
    {265, "Wheel Back"}, {266, "Mouse Up"}, {267, "Mouse Down"}, {268, "Mouse Left"},
    {269, "Mouse Right"}, {300, "P1 Left"}, {301, "P1 Right"}, {302, "P1 Up"}, {303, "P1 Down"},
    {304, "P1 Z-Up"}, {305, "P1 Z-Down"}, {306, "P1 X-Rot Left"}, {307, "P1 X-Rot Right"},
    {308, "P1 Y-Rot Left"}, {309, "P1 Y-Rot Right"}, {310, "P1 Z-Rot Left"},
    {311, "P1 Z-Rot Right"}, {312, "P1 POV-Hat 1"}, {313, "P1 POV-Hat 2"}, {314, "P1 POV-Hat 3"},
    {315, "P1 POV-Hat 4"},
};
// clang-format on

// Names by code, 0..LastNamedCode; empty where a code has none.
struct NameTable
{
    std::string names[LastNamedCode + 1];

    NameTable()
    {
        for (const CodeName& n : FixedNames)
            names[n.code] = n.name;
        // The second joystick's directions and hats read "P2 ..." for "P1 ...".
        for (uint32_t offset = TAV_JOY_X_MINUS; offset < TAV_JOY_SLIDER1_PLUS; ++offset)
            names[TAV_CODE_JOYSTICK2 + offset] =
                "P2" + names[TAV_CODE_JOYSTICK1 + offset].substr(2);
        for (uint32_t button = 1; button <= NamedJoystickButtons; ++button)
        {
            const uint32_t offset = TAV_JOY_BUTTON1 + button - 1;
            names[TAV_CODE_JOYSTICK1 + offset] = "P1 Button " + std::to_string(button);
            names[TAV_CODE_JOYSTICK2 + offset] = "P2 Button " + std::to_string(button);
        }
    }
};
} // namespace

const char* tavInputMap::GetKeyName(uint32_t code)
{
    static const NameTable table;
    return code <= LastNamedCode ? table.names[code].c_str() : "";
}
