#include "input/tavInputMap.h"

#include <algorithm>

namespace
{
bool IsKeyCode(uint32_t code)
{
    return code >= TAV_CODE_KEY_FIRST && code <= TAV_CODE_KEY_LAST;
}

bool IsMouseCode(uint32_t code)
{
    return code >= TAV_CODE_MOUSE_BUTTON && code <= TAV_CODE_WHEEL_BACK;
}

bool IsJoystickCode(uint32_t code)
{
    return code >= TAV_CODE_JOYSTICK1 && code < TAV_CODE_JOYSTICK2 + 100;
}

// Axis offsets come in pairs per axis, minus first, except Z (plus first).
bool AxisFires(const tavInputMap::tavJoystickState& joystick, uint32_t offset, int32_t& state)
{
    const uint32_t axis = offset / 2;
    const bool firstOfPair = offset % 2 == 0;
    const bool minus = axis == 2 ? !firstOfPair : firstOfPair;
    const int32_t value = joystick.axis[axis];
    state = value;
    return minus ? value < -tavInputMap::AxisThreshold : value > tavInputMap::AxisThreshold;
}

// A hat pushed straight forward reads 0 and, like a centred hat, fires nothing.
bool HatFires(const tavInputMap::tavJoystickState& joystick, uint32_t offset, int32_t& state)
{
    const uint32_t value = joystick.pov[offset - TAV_JOY_POV1];
    state = int32_t(value);
    return value != 0 && (value & 0xFFFF) != 0xFFFF;
}

bool SliderFires(const tavInputMap::tavJoystickState& joystick, uint32_t offset, int32_t& state)
{
    const uint32_t slider = (offset - TAV_JOY_SLIDER1_PLUS) / 2;
    const bool plus = (offset - TAV_JOY_SLIDER1_PLUS) % 2 == 0;
    const int32_t value = joystick.slider[slider];
    state = -1;
    return plus ? value > tavInputMap::AxisThreshold : value < -tavInputMap::AxisThreshold;
}

bool ButtonFires(const tavInputMap::tavJoystickState& joystick, uint32_t offset, int32_t& state)
{
    state = -1;
    return (joystick.button[offset - TAV_JOY_BUTTON1] & 0x80) != 0;
}

// Whether the joystick input of `offset` (0..99 in its block) calls for
// its binding to fire, and with which state.
bool JoystickFires(const tavInputMap::tavJoystickState& joystick, uint32_t offset, int32_t& state)
{
    if (offset <= TAV_JOY_RZ_PLUS) return AxisFires(joystick, offset, state);
    if (offset < TAV_JOY_SLIDER1_PLUS) return HatFires(joystick, offset, state);
    if (offset < TAV_JOY_BUTTON1) return SliderFires(joystick, offset, state);
    return ButtonFires(joystick, offset, state);
}
} // namespace

tavInputMap::tavInputMap()
    : generation(0), mouseCounts(), cursorX(300), cursorY(300), mouseDX(0), mouseDY(0)
{
}

void tavInputMap::Bind(uint32_t code, uint32_t action, uint32_t repeatDelay, uint32_t now)
{
    bindings.erase(std::remove_if(bindings.begin(), bindings.end(),
                                  [code](const tavBinding& b) { return b.code == code; }),
                   bindings.end());
    bindings.push_back({action, code, now + repeatDelay, repeatDelay, false});
    ++generation;
}

void tavInputMap::Unbind(uint32_t code)
{
    const auto found = std::find_if(bindings.begin(), bindings.end(),
                                    [code](const tavBinding& b) { return b.code == code; });
    if (found == bindings.end()) return;
    bindings.erase(found);
    ++generation;
}

void tavInputMap::Clear()
{
    std::vector<tavBinding>().swap(bindings);
    ++generation;
}

const tavInputMap::tavBinding* tavInputMap::GetBinding(size_t index) const
{
    return index < bindings.size() ? &bindings[index] : nullptr;
}

void tavInputMap::BeginPoll()
{
    mouseDX = mouseDY = 0;
    for (tavMouseCount& count : mouseCounts)
        count = {0, 0};
}

void tavInputMap::ReadMouse(const tavMouseEvent* events, size_t count, float width, float height,
                            tavListener& listener)
{
    for (size_t i = 0; i < count; ++i)
    {
        const tavMouseEvent& e = events[i];
        switch (e.kind)
        {
        case tavMouseEvent::MoveX:
            mouseDX += float(e.value);
            cursorX += mouseDX;
            ClampCursor(width, height);
            break;
        case tavMouseEvent::MoveY:
            // The cursor lives in the 2D space, whose y grows upward.
            mouseDY += float(e.value);
            cursorY -= mouseDY;
            ClampCursor(width, height);
            break;
        case tavMouseEvent::Wheel:
            if (e.value > 0)
                ++mouseCounts[TAV_CODE_WHEEL_FWD - TAV_CODE_MOUSE_BUTTON].downs;
            else if (e.value < 0)
                ++mouseCounts[TAV_CODE_WHEEL_BACK - TAV_CODE_MOUSE_BUTTON].downs;
            break;
        case tavMouseEvent::Button:
            CountButton(e.button, e.value != 0, listener);
            break;
        }
    }
}

void tavInputMap::CountButton(uint8_t button, bool down, tavListener& listener)
{
    if (button > 7) return;
    if (button == 0 && listener.OnLeftButton(down)) return;
    tavMouseCount& count = mouseCounts[button];
    ++(down ? count.downs : count.ups);
}

void tavInputMap::ClampCursor(float width, float height)
{
    cursorX = std::min(std::max(cursorX, 0.0f), width);
    cursorY = std::min(std::max(cursorY, 0.0f), height);
}

void tavInputMap::SetCursor(float x, float y)
{
    cursorX = x;
    cursorY = y;
}

void tavInputMap::Fire(const tavKeyboardState& keyboard, const tavJoystickState* joystick1,
                       const tavJoystickState* joystick2, uint32_t now, tavListener& listener)
{
    for (size_t i = 0; i < bindings.size(); ++i)
    {
        const uint32_t code = bindings[i].code;
        bool carryOn = true;
        if (IsKeyCode(code))
            carryOn = FireKey(i, (keyboard.key[code] & 0x80) != 0, now, listener);
        else if (IsMouseCode(code))
            carryOn = FireMouse(i, mouseCounts[code - TAV_CODE_MOUSE_BUTTON], now, listener);
        else if (IsJoystickCode(code))
            carryOn =
                FireJoystick(i, code < TAV_CODE_JOYSTICK2 ? joystick1 : joystick2, now, listener);
        if (!carryOn) return;
    }
}

// Delay 0: pressed once, held on every poll, released on let-go. Delay d:
// pressed, released on the next poll (the delay is not over), pressed again
// once d ms have passed since that release.
bool tavInputMap::FireKey(size_t index, bool down, uint32_t now, tavListener& listener)
{
    tavBinding& b = bindings[index];
    if (down && now >= b.nextTime)
    {
        const bool wasPressed = b.pressed;
        b.pressed = true;
        return FireAt(index, wasPressed ? TAV_HELD : TAV_PRESSED, now, listener);
    }
    if (!b.pressed) return true;
    b.pressed = false;
    return FireAt(index, TAV_RELEASED, now, listener);
}

// Every down counted in the poll, then every up; each waits for nextTime,
// so a repeat delay swallows the events after the first one.
bool tavInputMap::FireMouse(size_t index, const tavMouseCount& count, uint32_t now,
                            tavListener& listener)
{
    for (uint32_t i = 0; i < count.downs; ++i)
        if (now >= bindings[index].nextTime && !FireAt(index, TAV_PRESSED, now, listener))
            return false;
    for (uint32_t i = 0; i < count.ups; ++i)
        if (now >= bindings[index].nextTime && !FireAt(index, TAV_RELEASED, now, listener))
            return false;
    return true;
}

bool tavInputMap::FireJoystick(size_t index, const tavJoystickState* joystick, uint32_t now,
                               tavListener& listener)
{
    const tavBinding& b = bindings[index];
    if (!joystick || now < b.nextTime) return true;
    int32_t state = 0;
    if (!JoystickFires(*joystick, (b.code - TAV_CODE_JOYSTICK1) % 100, state)) return true;
    return FireAt(index, state, now, listener);
}

bool tavInputMap::FireAt(size_t index, int32_t state, uint32_t now, tavListener& listener)
{
    tavBinding& b = bindings[index];
    b.nextTime = now + b.repeatDelay;
    const uint32_t before = generation;
    listener.OnAction(b.action, state);
    return generation == before;
}
