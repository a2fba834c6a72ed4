#pragma once
// Keyboard, mouse and joysticks through DirectInput 8, turned into action
// events for the current scene through bindings of input codes.

#include <windows.h>
#include <dinput.h>

class TAV;

class tavDInput
{
public:
    tavDInput();

    // Creates the devices; logs and returns the first failure.
    HRESULT Init(TAV* engine, HINSTANCE instance, HWND window);
    // Reads the devices and fires the bindings into the scene. E_FAIL means a
    // device error that ends the program.
    HRESULT Poll();
    void AcquireAll();
    void UnacquireAll();
    // Removes every binding (each scene binds its own).
    void ClearBindings();
    void SetEnabled(bool on) { enabled = on; }
    // Cursor to the middle of the back buffer.
    void CentreCursor();
    // Unacquires and releases every device.
    void Release();

    float GetCursorX() const { return cursorX; }
    float GetCursorY() const { return cursorY; }
    float GetMouseDX() const { return mouseDX; }
    float GetMouseDY() const { return mouseDY; }

private:
    HINSTANCE instance;
    HWND window;
    IDirectInput8* directInput;
    IDirectInputDevice8* keyboard;
    IDirectInputDevice8* mouse;
    IDirectInputDevice8* joystick1;
    IDirectInputDevice8* joystick2;
    bool enabled;
    TAV* engine;
    float cursorX, cursorY;
    float mouseDX, mouseDY;
};
