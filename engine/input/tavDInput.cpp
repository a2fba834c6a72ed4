#include "input/tavDInput.h"

#include "core/TAV.h"

tavDInput::tavDInput()
    : instance(nullptr), window(nullptr), directInput(nullptr), keyboard(nullptr), mouse(nullptr),
      joystick1(nullptr), joystick2(nullptr), enabled(true), engine(nullptr), cursorX(300),
      cursorY(300), mouseDX(0), mouseDY(0)
{
}

HRESULT tavDInput::Init(TAV* e, HINSTANCE inst, HWND wnd)
{
    engine = e;
    instance = inst;
    window = wnd;
    CentreCursor();
    return S_OK;
}

HRESULT tavDInput::Poll() { return S_OK; }
void tavDInput::AcquireAll() {}
void tavDInput::UnacquireAll() {}
void tavDInput::ClearBindings() {}

void tavDInput::CentreCursor()
{
    if (!engine)
        return;
    cursorX = engine->GetWidth() * 0.5f;
    cursorY = engine->GetHeight() * 0.5f;
}

void tavDInput::Release() {}
