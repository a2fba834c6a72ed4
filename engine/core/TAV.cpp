// The engine object: construction and the small operations scenes use.
#include "core/TAV.h"

#include "console/tavFader.h"

#include <objbase.h>

TAV::TAV()
    : direct3d(nullptr), device(nullptr), caps(), scene(nullptr), nextScene(nullptr),
      fader(nullptr), fullScreen(true), immediatePresent(true), clearTarget(true), paused(false),
      showFPS(false), quit(false), useAA(false), is32Bit(false), lighting(true),
      switchPending(false), dot3(false), updateCamera(true), sceneReady(false), active(false),
      quality(0), samples(0), iconResource(0), resolution(-1), width(1024.0f), height(768.0f),
      centreX(0), centreY(0), loadingProgress(0), runState(1), clearColour(0xFF000000),
      ambient(0xFFFFFFFF), createFlags(0), window(nullptr), instance(nullptr), adapter(0),
      deviceType(D3DDEVTYPE_HAL), format(D3DFMT_UNKNOWN), backBufferFormat(D3DFMT_UNKNOWN),
      minFilter(D3DTEXF_POINT), magFilter(D3DTEXF_POINT), mipFilter(D3DTEXF_POINT),
      comInitialized(false), released(false), hotKeysRegistered(false), pureDevice(false)
{
    comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

TAV::~TAV() { Release(); }

void* TAV::Alloc(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

void TAV::Free(void* memory)
{
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}

void TAV::SetPaused(bool on)
{
    paused = on;
    OnPause(on);
}

DWORD TAV::GetFilter(int index) const
{
    switch (index)
    {
    case 0:
        return minFilter;
    case 1:
        return magFilter;
    case 2:
        return mipFilter;
    default:
        return D3DTEXF_NONE;
    }
}

void TAV::SetLoadingProgress(float percent)
{
    loadingProgress = percent > 100.0f ? 100.0f : (percent < 0.0f ? 0.0f : percent);
}

float TAV::RandomFloat(float min, float max)
{
    return float(random.NextReal() * (double(max) - double(min)) + double(min));
}

int TAV::RandomInt(int min, int max)
{
    const uint32_t span = uint32_t(max) - uint32_t(min);
    return int(uint32_t(min) + random.NextIntUpTo(span));
}

UINT TAV::MipLevels() const
{
    return (caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) ? 7 : 1;
}
