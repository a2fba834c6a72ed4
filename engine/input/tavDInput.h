#pragma once
// Keyboard, mouse and up to two joysticks through DirectInput 8, turned
// into action events for the current scene through bindings of input codes
// (see tavInputMap for the codes and the firing rules). A base of the
// engine object; main thread only, except Bind from a scene's loading step
// while it holds the frame lock.

#include "input/tavInputMap.h"

#include <windows.h>
#include <dinput.h>

#include <cstdint>
#include <vector>

class TAV;

class tavDInput
{
public:
    // Events the mouse buffers between two polls.
    static const DWORD MouseBufferSize = 15;

    tavDInput();
    ~tavDInput();
    tavDInput(const tavDInput&) = delete;
    tavDInput& operator=(const tavDInput&) = delete;

    // Creates the keyboard (foreground, non-exclusive), the buffered mouse
    // (foreground, exclusive) and the attached joysticks. A failure is
    // logged and its result returned; the devices made so far stay, and a
    // missing keyboard or mouse makes every later Poll fail.
    HRESULT Init(TAV* engine, HINSTANCE instance, HWND window);
    // Binds `code` to the scene's `action`, replacing any binding of it; the
    // binding fires `repeatDelay` ms from now at the earliest, and again
    // only that long after each event.
    void Bind(uint32_t code, uint32_t action, uint32_t repeatDelay);
    void Unbind(uint32_t code);
    // Removes every binding (each scene binds its own).
    void ClearBindings();
    // Reads the devices and fires the bindings into the current scene.
    // A lost keyboard or mouse is acquired again (0, nothing fires); E_FAIL
    // means a device that cannot be read, which ends the program.
    HRESULT Poll();
    // Missing devices are skipped; acquiring fails quietly while the window
    // is in the background (the next activation tries again).
    void AcquireAll();
    void UnacquireAll();
    // While off, Poll does nothing (the cursor and the bindings stay).
    void SetEnabled(bool on) { enabled = on; }
    bool IsEnabled() const { return enabled; }
    // Cursor to the middle of the back buffer.
    void CentreCursor();
    // Cursor to (x, y) in back-buffer pixels, y up (a host placing it, or a
    // test); the next movement clamps it to the back buffer.
    void SetCursor(float x, float y) { map.SetCursor(x, y); }
    // Unacquires and releases every device and frees the bindings; safe to
    // call again and after a failed Init.
    void Release();

    // The mouse cursor in back-buffer pixels, y growing upward, moved by the
    // polls and clamped to the back buffer.
    float GetCursorX() const { return map.GetCursorX(); }
    float GetCursorY() const { return map.GetCursorY(); }
    // The mouse movement of the last poll; Y grows downward.
    float GetMouseDX() const { return map.GetMouseDX(); }
    float GetMouseDY() const { return map.GetMouseDY(); }
    // "" for a code without a name.
    static const char* GetKeyName(uint32_t code) { return tavInputMap::GetKeyName(code); }
    const tavInputMap& GetInputMap() const { return map; }
    bool HasKeyboard() const { return keyboard != nullptr; }
    bool HasMouse() const { return mouse != nullptr; }
    int GetJoystickCount() const { return (joystick1 ? 1 : 0) + (joystick2 ? 1 : 0); }
    // The engine's millisecond clock when the devices were created.
    uint32_t GetStartTime() const { return startTime; }

private:
    HRESULT CreateKeyboard();
    HRESULT CreateMouse();
    HRESULT CreateJoysticks();
    HRESULT SetUpJoystick(IDirectInputDevice8A* device);
    static BOOL CALLBACK OnJoystickFound(const DIDEVICEINSTANCEA* instance, void* self);
    static BOOL CALLBACK OnJoystickAxis(const DIDEVICEOBJECTINSTANCEA* object, void* self);
    HRESULT ReadKeyboardAndMouse(tavInputMap::tavKeyboardState& keys, DIDEVICEOBJECTDATA* mouseData,
                                 DWORD& mouseCount);
    static HRESULT ReadJoystick(IDirectInputDevice8A* device, tavInputMap::tavJoystickState& out);
    void Log(const char* line);

    HINSTANCE instance;
    HWND window;
    IDirectInput8A* directInput;
    IDirectInputDevice8A* keyboard;
    IDirectInputDevice8A* mouse;
    IDirectInputDevice8A* joystick1;
    IDirectInputDevice8A* joystick2;
    // The bindings and the cursor.
    tavInputMap map;
    bool enabled;
    TAV* engine;
    // Axis identifiers of the joystick being set up.
    std::vector<DWORD> joystickAxes;
    uint32_t startTime;
};
