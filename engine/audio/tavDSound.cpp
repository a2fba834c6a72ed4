#include "audio/tavDSound.h"

#include "core/TAV.h"

tavDSound::tavDSound()
    : device(nullptr), listener(nullptr), primary(nullptr), channels(0), engine(nullptr),
      hardware(false), musicEnabled(true), soundEnabled(true)
{
}

HRESULT tavDSound::Init(TAV* e, uint32_t channelCount, bool forceHardware, bool)
{
    engine = e;
    channels = channelCount;
    hardware = forceHardware;
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr)))
        return E_FAIL;
    if (FAILED(device->SetCooperativeLevel(engine->GetWindow(), DSSCL_PRIORITY)))
        return E_FAIL;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    if (FAILED(device->CreateSoundBuffer(&desc, &primary, nullptr)))
        return E_FAIL;
    primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener));
    return S_OK;
}

void tavDSound::Update() {}
void tavDSound::ReportStatistics(TAV*) {}
void tavDSound::ReleaseAll() {}

void tavDSound::Shutdown()
{
    if (listener)
        listener->Release();
    listener = nullptr;
    if (primary)
        primary->Release();
    primary = nullptr;
    if (device)
        device->Release();
    device = nullptr;
}
