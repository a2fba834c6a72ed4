#pragma once
// The rules of the input system, apart from the devices: the binding table,
// which binding fires in a poll and with which state, the mouse cursor, and
// the display names of the input codes. tavDInput reads DirectInput and
// hands each poll's data over as the plain structs below; tests hand over
// synthetic states the same way.

#include <cstddef>
#include <cstdint>
#include <vector>

// Input action states handed to tavScene::OnKey. A joystick axis or hat
// fires its own value instead, and a joystick button or slider fires -1.
enum : int32_t
{
    TAV_PRESSED = 0x7FFFFFF0,
    TAV_RELEASED = 0x7FFFFFF1,
    TAV_HELD = 0x7FFFFFF2,
};

// Input codes: one space for every device.
enum : uint32_t
{
    TAV_CODE_KEY_FIRST = 1, // DirectInput scan codes 1..254
    TAV_CODE_KEY_LAST = 254,
    TAV_CODE_MOUSE_BUTTON = 256, // + button 0..7 (256 left, 257 right, 258 middle)
    TAV_CODE_WHEEL_FWD = 264,
    TAV_CODE_WHEEL_BACK = 265,
    TAV_CODE_MOUSE_UP = 266, // 266..269 have names but never fire
    TAV_CODE_MOUSE_RIGHT = 269,
    TAV_CODE_JOYSTICK1 = 300, // + the joystick offsets below
    TAV_CODE_JOYSTICK2 = 400,
};

// Offsets inside a joystick's block of 100 codes.
enum : uint32_t
{
    TAV_JOY_X_MINUS = 0,
    TAV_JOY_X_PLUS = 1,
    TAV_JOY_Y_MINUS = 2,
    TAV_JOY_Y_PLUS = 3,
    TAV_JOY_Z_PLUS = 4, // Z is the one axis whose plus code comes first
    TAV_JOY_Z_MINUS = 5,
    TAV_JOY_RX_MINUS = 6,
    TAV_JOY_RX_PLUS = 7,
    TAV_JOY_RY_MINUS = 8,
    TAV_JOY_RY_PLUS = 9,
    TAV_JOY_RZ_MINUS = 10,
    TAV_JOY_RZ_PLUS = 11,
    TAV_JOY_POV1 = 12, // hats 1..4
    TAV_JOY_SLIDER1_PLUS = 16,
    TAV_JOY_SLIDER1_MINUS = 17,
    TAV_JOY_SLIDER2_PLUS = 18,
    TAV_JOY_SLIDER2_MINUS = 19,
    TAV_JOY_BUTTON1 = 20, // buttons 1..80
};

class tavInputMap
{
public:
    // A scene's action for one input code. `nextTime` is on the engine's
    // millisecond clock: the binding does not fire before it.
    struct tavBinding
    {
        uint32_t action;
        uint32_t code;
        uint32_t nextTime;
        uint32_t repeatDelay;
        bool pressed;
    };

    // The whole keyboard at the moment of the poll, by scan code; a key is
    // down while the high bit of its byte is set.
    struct tavKeyboardState
    {
        uint8_t key[256];
    };

    // One buffered mouse event, in the order the device reported them.
    struct tavMouseEvent
    {
        enum Kind : uint8_t
        {
            MoveX,
            MoveY, // positive is toward the user (down the screen)
            Wheel, // positive is forward
            Button,
        };
        Kind kind;
        uint8_t button; // Button: 0 (left) to 7; others are ignored
        int32_t value;  // movements: units; Button: non-zero when it went down
    };

    // One joystick's extended state with its axes set to -1000..1000.
    struct tavJoystickState
    {
        int32_t axis[6]; // X, Y, Z, X-rotation, Y-rotation, Z-rotation
        int32_t slider[2];
        uint32_t pov[4];    // hundredths of a degree; low word 0xFFFF when centred
        uint8_t button[80]; // high bit set while down
    };

    // Where a poll's events go.
    class tavListener
    {
    public:
        // A binding fired with `state` (TAV_PRESSED, an axis value, ...).
        virtual void OnAction(uint32_t action, int32_t state) = 0;
        // The left button went down or up; true when something else (the
        // GUI) took it, so that no binding of code 256 sees it.
        virtual bool OnLeftButton(bool down) = 0;

    protected:
        ~tavListener() = default;
    };

    static const int32_t AxisThreshold = 250;

    tavInputMap();

    // Replaces any binding of `code`, then appends the new one, which may
    // fire from `now` + `repeatDelay` on. Codes that no device produces are
    // kept and never fire.
    void Bind(uint32_t code, uint32_t action, uint32_t repeatDelay, uint32_t now);
    // Removes the first binding of `code`; the others keep their order.
    void Unbind(uint32_t code);
    // Removes every binding and frees the table.
    void Clear();
    size_t GetBindingCount() const { return bindings.size(); }
    // Null when `index` is out of range.
    const tavBinding* GetBinding(size_t index) const;

    // Start of a poll: the movement sums and the counted mouse events of the
    // previous poll are forgotten.
    void BeginPoll();
    // Walks one poll's mouse events in order: moves the cursor (each
    // movement adds the running sum of the poll, then the cursor is clamped
    // to 0..width, 0..height), offers left-button events to the listener
    // and counts the rest for Fire.
    void ReadMouse(const tavMouseEvent* events, size_t count, float width, float height,
                   tavListener& listener);
    // Fires the bindings, in binding order, from the keyboard, the mouse
    // events counted by ReadMouse and the joysticks (null when absent).
    // A listener that changes the bindings ends this poll's firing.
    void Fire(const tavKeyboardState& keyboard, const tavJoystickState* joystick1,
              const tavJoystickState* joystick2, uint32_t now, tavListener& listener);

    void SetCursor(float x, float y);
    float GetCursorX() const { return cursorX; }
    float GetCursorY() const { return cursorY; }
    // The mouse movement summed over the current poll; Y grows downward.
    float GetMouseDX() const { return mouseDX; }
    float GetMouseDY() const { return mouseDY; }

    // The display name of an input code ("Escape", "Wheel Fwd", "P2 Button
    // 7"); "" for a code without one (every code outside 1..451 included).
    static const char* GetKeyName(uint32_t code);

private:
    // Downs and ups of codes 256..265 counted by ReadMouse.
    struct tavMouseCount
    {
        uint32_t downs;
        uint32_t ups;
    };
    static const uint32_t MouseCodes = TAV_CODE_WHEEL_BACK - TAV_CODE_MOUSE_BUTTON + 1;

    void CountButton(uint8_t button, bool down, tavListener& listener);
    void ClampCursor(float width, float height);
    // Each returns false when the listener changed the bindings.
    bool FireKey(size_t index, bool down, uint32_t now, tavListener& listener);
    bool FireMouse(size_t index, const tavMouseCount& count, uint32_t now, tavListener& listener);
    bool FireJoystick(size_t index, const tavJoystickState* joystick, uint32_t now,
                      tavListener& listener);
    bool FireAt(size_t index, int32_t state, uint32_t now, tavListener& listener);

    std::vector<tavBinding> bindings;
    // Counts changes of the table, so that Fire notices a listener's.
    uint32_t generation;
    tavMouseCount mouseCounts[MouseCodes];
    float cursorX, cursorY;
    float mouseDX, mouseDY;
};
