#include "input/tavDInput.h"

#include "core/TAV.h"

#include <cstring>

namespace
{
const LONG AxisMin = -1000;
const LONG AxisMax = 1000;

template <typename T> void ReleaseDevice(T*& device)
{
    if (!device) return;
    device->Unacquire();
    device->Release();
    device = nullptr;
}

bool IsLost(HRESULT hr)
{
    return hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED;
}

// The engine side of the rules: actions go to the current scene, and the
// GUI sees the left button first, so a click on a widget is not also the
// game's.
class EngineListener final : public tavInputMap::tavListener
{
public:
    explicit EngineListener(TAV& e) : engine(e) {}

    void OnAction(uint32_t action, int32_t state) override
    {
        if (tavScene* scene = engine.GetScene()) scene->OnKey(action, state);
    }

    bool OnLeftButton(bool down) override
    {
        return engine.tavGUI::OnMouseButton(down) || engine.IsMouseOverWidget();
    }

private:
    TAV& engine;
};

// One buffered mouse record as the rules see it; false for a record of an
// object the rules do not use.
bool TranslateMouse(const DIDEVICEOBJECTDATA& data, tavInputMap::tavMouseEvent& out)
{
    using Event = tavInputMap::tavMouseEvent;
    const int32_t value = int32_t(data.dwData);
    switch (data.dwOfs)
    {
    case DIMOFS_X:
        out = {Event::MoveX, 0, value};
        return true;
    case DIMOFS_Y:
        out = {Event::MoveY, 0, value};
        return true;
    case DIMOFS_Z:
        out = {Event::Wheel, 0, value};
        return true;
    }
    if (data.dwOfs >= DIMOFS_BUTTON0 && data.dwOfs <= DIMOFS_BUTTON7)
    {
        out = {Event::Button, uint8_t(data.dwOfs - DIMOFS_BUTTON0), (value & 0x80) ? 1 : 0};
        return true;
    }
    return false;
}

void TranslateJoystick(const DIJOYSTATE2& state, tavInputMap::tavJoystickState& out)
{
    const LONG axes[6] = {state.lX, state.lY, state.lZ, state.lRx, state.lRy, state.lRz};
    for (int i = 0; i < 6; ++i)
        out.axis[i] = int32_t(axes[i]);
    for (int i = 0; i < 2; ++i)
        out.slider[i] = int32_t(state.rglSlider[i]);
    for (int i = 0; i < 4; ++i)
        out.pov[i] = uint32_t(state.rgdwPOV[i]);
    std::memcpy(out.button, state.rgbButtons, sizeof out.button);
}
} // namespace

tavDInput::tavDInput()
    : instance(nullptr), window(nullptr), directInput(nullptr), keyboard(nullptr), mouse(nullptr),
      joystick1(nullptr), joystick2(nullptr), enabled(true), engine(nullptr), startTime(0)
{
}

tavDInput::~tavDInput()
{
    Release();
}

void tavDInput::Log(const char* line)
{
    if (engine) engine->Write(line);
}

HRESULT tavDInput::Init(TAV* e, HINSTANCE inst, HWND wnd)
{
    engine = e;
    instance = inst;
    window = wnd;

    // 1. DirectInput itself.
    HRESULT hr = DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                    reinterpret_cast<void**>(&directInput), nullptr);
    if (FAILED(hr))
    {
        directInput = nullptr;
        Log("Failed creating Direct Input Interface.");
        return hr;
    }

    // 2-4. The devices.
    if (FAILED(hr = CreateKeyboard()) || FAILED(hr = CreateMouse())) return hr;
    if (engine) engine->ReportDInputError(CreateJoysticks());

    // 5.
    CentreCursor();
    startTime = engine ? engine->GetMilliseconds() : 0;
    return S_OK;
}

HRESULT tavDInput::CreateKeyboard()
{
    HRESULT hr = directInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr);
    if (FAILED(hr))
    {
        keyboard = nullptr;
        Log("Failed initializing keyboard device.");
        return hr;
    }
    if (FAILED(hr = keyboard->SetDataFormat(&c_dfDIKeyboard)))
    {
        Log("Failed setting keyboard format.");
        return hr;
    }
    if (FAILED(hr = keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE)))
    {
        Log("Failed setting keyboard cooperative level.");
        return hr;
    }
    keyboard->Acquire();
    return S_OK;
}

HRESULT tavDInput::CreateMouse()
{
    HRESULT hr = directInput->CreateDevice(GUID_SysMouse, &mouse, nullptr);
    if (FAILED(hr))
    {
        mouse = nullptr;
        Log("Failed initializing mouse.");
        return hr;
    }
    if (FAILED(hr = mouse->SetDataFormat(&c_dfDIMouse2)))
    {
        Log("Failed setting mouse data format c_dfDIMouse2.");
        return hr;
    }
    if (FAILED(hr = mouse->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_EXCLUSIVE)))
    {
        Log("Failed setting mouse cooperative level DISCL_FOREGROUND|DISCL_EXCLUSIVE.");
        return hr;
    }
    DIPROPDWORD buffer = {};
    buffer.diph.dwSize = sizeof(DIPROPDWORD);
    buffer.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    buffer.diph.dwObj = 0;
    buffer.diph.dwHow = DIPH_DEVICE;
    buffer.dwData = MouseBufferSize;
    if (FAILED(hr = mouse->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)))
    {
        Log("Failed setting mouse buffer size.");
        return hr;
    }
    mouse->Acquire();
    return S_OK;
}

HRESULT tavDInput::CreateJoysticks()
{
    return directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, OnJoystickFound, this,
                                    DIEDFL_ATTACHEDONLY);
}

BOOL CALLBACK tavDInput::OnJoystickFound(const DIDEVICEINSTANCEA* found, void* context)
{
    tavDInput* self = static_cast<tavDInput*>(context);
    if (self->joystick2) return DIENUM_STOP;
    IDirectInputDevice8A* device = nullptr;
    if (FAILED(self->directInput->CreateDevice(found->guidInstance, &device, nullptr)))
        return DIENUM_CONTINUE;
    if (FAILED(self->SetUpJoystick(device)))
    {
        device->Release();
        return DIENUM_CONTINUE;
    }
    (self->joystick1 ? self->joystick2 : self->joystick1) = device;
    return self->joystick2 ? DIENUM_STOP : DIENUM_CONTINUE;
}

// Extended state, foreground exclusive, every axis ranging -1000..1000.
HRESULT tavDInput::SetUpJoystick(IDirectInputDevice8A* device)
{
    HRESULT hr = device->SetDataFormat(&c_dfDIJoystick2);
    if (SUCCEEDED(hr)) hr = device->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_EXCLUSIVE);
    joystickAxes.clear();
    if (SUCCEEDED(hr)) hr = device->EnumObjects(OnJoystickAxis, this, DIDFT_AXIS);
    for (size_t i = 0; SUCCEEDED(hr) && i < joystickAxes.size(); ++i)
    {
        DIPROPRANGE range = {};
        range.diph.dwSize = sizeof(DIPROPRANGE);
        range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        range.diph.dwHow = DIPH_BYID;
        range.diph.dwObj = joystickAxes[i];
        range.lMin = AxisMin;
        range.lMax = AxisMax;
        hr = device->SetProperty(DIPROP_RANGE, &range.diph);
    }
    if (SUCCEEDED(hr)) device->Acquire();
    return hr;
}

BOOL CALLBACK tavDInput::OnJoystickAxis(const DIDEVICEOBJECTINSTANCEA* object, void* context)
{
    static_cast<tavDInput*>(context)->joystickAxes.push_back(object->dwType);
    return DIENUM_CONTINUE;
}

void tavDInput::Bind(uint32_t code, uint32_t action, uint32_t repeatDelay)
{
    map.Bind(code, action, repeatDelay, engine ? engine->GetMilliseconds() : 0);
}

void tavDInput::Unbind(uint32_t code)
{
    map.Unbind(code);
}

void tavDInput::ClearBindings()
{
    map.Clear();
}

HRESULT tavDInput::Poll()
{
    // 1.
    if (!enabled) return S_OK;
    map.BeginPoll();
    if (!keyboard || !mouse || !engine) return E_FAIL;

    // 2. A device lost to another application comes back quietly.
    tavInputMap::tavKeyboardState keys;
    DIDEVICEOBJECTDATA mouseData[MouseBufferSize];
    DWORD mouseCount = MouseBufferSize;
    const HRESULT hr = ReadKeyboardAndMouse(keys, mouseData, mouseCount);
    if (IsLost(hr))
    {
        AcquireAll();
        return S_OK;
    }
    if (FAILED(hr)) return E_FAIL;

    // 3. The cursor, the GUI's clicks and the counted mouse events.
    tavInputMap::tavMouseEvent events[MouseBufferSize];
    size_t eventCount = 0;
    for (DWORD i = 0; i < mouseCount && i < MouseBufferSize; ++i)
        if (TranslateMouse(mouseData[i], events[eventCount])) ++eventCount;
    EngineListener listener(*engine);
    map.ReadMouse(events, eventCount, engine->GetWidth(), engine->GetHeight(), listener);

    // 4. Joysticks are not forgiven a failed read.
    tavInputMap::tavJoystickState sticks[2];
    if (joystick1 && FAILED(ReadJoystick(joystick1, sticks[0]))) return E_FAIL;
    if (joystick2 && FAILED(ReadJoystick(joystick2, sticks[1]))) return E_FAIL;

    // 5.
    map.Fire(keys, joystick1 ? &sticks[0] : nullptr, joystick2 ? &sticks[1] : nullptr,
             engine->GetMilliseconds(), listener);
    return S_OK;
}

HRESULT tavDInput::ReadKeyboardAndMouse(tavInputMap::tavKeyboardState& keys,
                                        DIDEVICEOBJECTDATA* mouseData, DWORD& mouseCount)
{
    HRESULT hr = keyboard->Poll();
    if (SUCCEEDED(hr)) hr = keyboard->GetDeviceState(sizeof keys.key, keys.key);
    if (SUCCEEDED(hr)) hr = mouse->Poll();
    if (SUCCEEDED(hr))
        hr = mouse->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), mouseData, &mouseCount, 0);
    return hr;
}

HRESULT tavDInput::ReadJoystick(IDirectInputDevice8A* device, tavInputMap::tavJoystickState& out)
{
    DIJOYSTATE2 state;
    HRESULT hr = device->Poll();
    if (SUCCEEDED(hr)) hr = device->GetDeviceState(sizeof state, &state);
    if (SUCCEEDED(hr)) TranslateJoystick(state, out);
    return hr;
}

void tavDInput::AcquireAll()
{
    for (IDirectInputDevice8A* device : {mouse, keyboard, joystick1, joystick2})
        if (device) device->Acquire();
}

void tavDInput::UnacquireAll()
{
    for (IDirectInputDevice8A* device : {mouse, keyboard, joystick1, joystick2})
        if (device) device->Unacquire();
}

void tavDInput::CentreCursor()
{
    if (engine) map.SetCursor(engine->GetWidth() * 0.5f, engine->GetHeight() * 0.5f);
}

void tavDInput::Release()
{
    ReleaseDevice(joystick2);
    ReleaseDevice(joystick1);
    ReleaseDevice(mouse);
    ReleaseDevice(keyboard);
    if (directInput)
    {
        directInput->Release();
        directInput = nullptr;
    }
    map.Clear();
}
