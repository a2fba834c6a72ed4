// The main loop, one frame, and the engine's loading screen.
#include "core/TAV.h"

void TAV::Run(tavScene* first)
{
    BeginSection("Main Loop");
    if (first)
    {
        loadingProgress = 0;
        sceneReady = false;
        switchPending = true;
        nextScene = first;
    }
    if (!quit)
    {
        AcquireAll();
        while (!quit)
        {
            PumpMessages();
            if (FAILED(Frame()))
            {
                Write("Abnormal render failure.");
                runState = 2;
                quit = true;
            }
            tavDSound::Update();
            if (!quit && switchPending && !SwitchScene())
            {
                runState = 2;
                quit = true;
            }
            if (!paused)
                Sleep(0);
        }
    }
    EndSection();
    Banner("Cleaning Up!");
}

bool TAV::Step()
{
    if (quit)
        return false;
    if (FAILED(Frame()))
    {
        Write("Abnormal render failure.");
        runState = 2;
        quit = true;
    }
    if (!quit && switchPending && !SwitchScene())
    {
        runState = 2;
        quit = true;
    }
    if (!paused)
        Sleep(0);
    return !quit;
}

void TAV::PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (msg.message == WM_QUIT)
            quit = true;
    }
}

// A paused frame. Full screen: wait for the device to come back (reset it
// when it can be). Windowed: a short sleep and this frame goes on, unless
// the device must be reset first. `carryOn` tells whether to draw now.
HRESULT TAV::FrameWhilePaused(bool& carryOn)
{
    carryOn = false;
    if (!fullScreen)
    {
        Sleep(16);
        paused = false;
        if (device && device->TestCooperativeLevel() == D3DERR_DEVICENOTRESET)
        {
            Write("Now Resetting!");
            return ResetDevice();
        }
        carryOn = true;
        return S_OK;
    }
    Sleep(250);
    const HRESULT hr = device ? device->TestCooperativeLevel() : E_FAIL;
    if (hr == D3DERR_DEVICELOST)
    {
        return S_OK;
    }
    if (hr == D3DERR_DEVICENOTRESET)
    {
        Write("Now Resetting!");
        return ResetDevice();
    }
    if (FAILED(hr))
        return E_FAIL;
    paused = false;
    OnPause(false);
    return S_OK;
}

HRESULT TAV::Frame()
{
    // 1. Device lost or application inactive.
    if (paused)
    {
        bool carryOn = false;
        const HRESULT hr = FrameWhilePaused(carryOn);
        if (!carryOn)
            return hr;
    }
    if (!device)
        return E_FAIL;

    // 2-4. The frame lock is held from here to the end of the frame.
    tavLockGuard frameLock(*this);
    const DWORD clearFlags = clearTarget ? (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER) : D3DCLEAR_ZBUFFER;
    FrameStart();

    // 5. The scene prepares.
    if (scene && sceneReady && FAILED(scene->PreRender()))
    {
        Write("PreRendering failed.");
        return E_FAIL;
    }

    // 6-7. Draw.
    device->Clear(0, nullptr, clearFlags, clearColour, 1.0f, 0);
    device->BeginScene();
    HRESULT result = S_OK;
    if (!sceneReady)
        result = RenderLoading();
    else if (scene && !paused)
        result = RenderScene();

    // 8. Show it; a failed present pauses until the device is back.
    device->EndScene();
    if (FAILED(device->Present(nullptr, nullptr, nullptr, nullptr)))
    {
        SetPaused(true);
        return S_OK;
    }

    // 9. Clocks.
    FrameEnd();

    // 10. Input fires the scene's actions.
    if (!IsShown() && sceneReady && tavDInput::Poll() == E_FAIL)
    {
        Write("DirectInput Device Error!");
        runState = 2;
        quit = true;
        return E_FAIL;
    }

    // 11. Camera and sound listener.
    if (updateCamera)
        UpdateListener();

    // 12.
    return FAILED(result) ? E_FAIL : S_OK;
}

namespace
{
// The engine's 36-byte vertex (flexible vertex format 0x152).
struct LoadingVertex
{
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR colour;
    float u, v;
};
const DWORD LoadingVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(sizeof(LoadingVertex) == 36, "the loading quads use 36-byte vertices");

// A w x h quad centred on the origin, as a four-vertex strip.
void BuildQuad(LoadingVertex (&q)[4], float w, float h, D3DCOLOR colour)
{
    const float x = w * 0.5f, y = h * 0.5f;
    q[0] = {-x, y, 0, 0, 0, -1, colour, 0, 0};
    q[1] = {x, y, 0, 0, 0, -1, colour, 1, 0};
    q[2] = {-x, -y, 0, 0, 0, -1, colour, 0, 1};
    q[3] = {x, -y, 0, 0, 0, -1, colour, 1, 1};
}
} // namespace

HRESULT TAV::RenderLoading()
{
    // 1. Untextured 2D.
    SetTexture(-1, 0);
    Begin2D();

    // 2-3. The bar across the bottom and the progress in it.
    const float progress = loadingProgress * 0.01f * width;
    LoadingVertex bar[4], fill[4];
    BuildQuad(bar, width, 25.0f, 0xFFFFFFFF);
    BuildQuad(fill, progress, 20.0f, 0xFF990000);

    // 4. The offsets are measured from the middle of the screen; the 2D
    // projection has its origin at the bottom left, hence the half sizes.
    device->SetFVF(LoadingVertexFormat);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, width * 0.5f, 12.5f, 0);
    SetWorldTransform(world);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, bar, sizeof(LoadingVertex));
    D3DXMatrixTranslation(&world, progress * 0.5f, 12.5f, 0);
    SetWorldTransform(world);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, fill, sizeof(LoadingVertex));

    // 5.
    tavConsole::Draw();
    return S_OK;
}
