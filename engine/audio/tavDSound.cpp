// The sound system's start-up, per-frame update and release.
#include "audio/tavDSound.h"

#include "core/TAV.h"

#include <dmusici.h>

namespace
{
// The music objects are made with this audio path type and this many
// performance channels.
constexpr DWORD MusicPathType = DMUS_APATH_DYNAMIC_STEREO;
constexpr DWORD MusicChannels = 64;

template <typename T> void ReleaseInterface(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}
} // namespace

tavDSound::tavDSound()
    : device(nullptr), listener(nullptr), performance(nullptr), loader(nullptr), audioPath(nullptr),
      caps(), speakerConfig(0), channels(0), engine(nullptr), certified(false), hardware(false),
      musicEnabled(true), soundEnabled(true), primary(nullptr)
{
    caps.dwSize = sizeof(caps);
}

tavDSound::~tavDSound()
{
    Shutdown();
}

HRESULT tavDSound::Init(TAV* e, uint32_t channelCount, bool forceHardware, bool music)
{
    // 1. Mode.
    engine = e;
    engine->BeginSection("DirectSound/DirectMusic Initialization");
    hardware = forceHardware;
    engine->Write(hardware ? "Forcing hardware mode." : "Software mode.");

    // 2. to 7. DirectSound.
    const HRESULT created = CreateDevice();
    if (FAILED(created))
        return created;
    SetCooperativeLevel();
    VerifyCertification();
    const HRESULT buffered = CreatePrimaryBuffer();
    if (FAILED(buffered))
        return buffered;
    SetChannelLimit(channelCount);

    // 8. to 13. DirectMusic, when asked.
    if (music)
    {
        const HRESULT started = InitMusic();
        if (FAILED(started))
            return started;
    }

    // 14.
    engine->EndSection();
    return S_OK;
}

HRESULT tavDSound::InitFail(const char* line)
{
    engine->Write(line);
    engine->EndSection();
    return E_FAIL;
}

HRESULT tavDSound::CreateDevice()
{
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr)))
    {
        device = nullptr;
        return InitFail("Failed creating DSound Interface.");
    }
    if (!device)
        return InitFail("Failed to create a DirectSound8 Interface.");
    engine->Write("Created and initialized the DirectSound8 Interface.");
    return S_OK;
}

void tavDSound::SetCooperativeLevel()
{
    if (engine->ReportDSoundError(device->SetCooperativeLevel(engine->GetWindow(), DSSCL_PRIORITY)))
        engine->Write("<font color=\"red\">Could not set the cooperative level DSSCL_PRIORITY; "
                      "going on with the default level.</font>");
    else
        engine->Write("Set cooperative level to DSSCL_PRIORITY.");
}

void tavDSound::VerifyCertification()
{
    DWORD answer = DS_UNCERTIFIED;
    certified = SUCCEEDED(device->VerifyCertification(&answer)) && answer == DS_CERTIFIED;
    engine->Write(certified ? "Audio card certified for DirectSound."
                            : "Audio card NOT certified for DirectSound.");
}

HRESULT tavDSound::CreatePrimaryBuffer()
{
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D |
                   (hardware ? DSBCAPS_LOCHARDWARE : DSBCAPS_LOCSOFTWARE);
    if (engine->ReportDSoundError(device->CreateSoundBuffer(&desc, &primary, nullptr)) || !primary)
    {
        primary = nullptr;
        return InitFail("Failed creating primary sound buffer.");
    }
    engine->Write("Created primary sound buffer.");

    if (FAILED(primary->QueryInterface(IID_IDirectSound3DListener,
                                       reinterpret_cast<void**>(&listener))))
    {
        listener = nullptr;
        return InitFail("Failed creating 3D listener.");
    }
    engine->Write("Created 3D Listener.");
    return S_OK;
}

void tavDSound::SetChannelLimit(uint32_t count)
{
    caps.dwSize = sizeof(caps);
    device->GetCaps(&caps);
    DWORD speakers = 0;
    device->GetSpeakerConfig(&speakers);
    speakerConfig = speakers;

    channels = count;
    if (!hardware)
        return;
    if (channels > caps.dwMaxHw3DStaticBuffers)
    {
        channels = caps.dwMaxHw3DStaticBuffers;
        engine->WriteValue("HW Limited Max Buffers: ", channels);
    }
    else
    {
        engine->WriteValue("Maximum Buffer Channels: ", channels);
    }
}

HRESULT tavDSound::InitMusic()
{
    // 9. Performance.
    if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDirectMusicPerformance8,
                                reinterpret_cast<void**>(&performance))))
    {
        performance = nullptr;
        return InitFail("Failed creating music performance.");
    }
    engine->Write("Created DirectMusicPerformance Object.");

    // 10. Loader.
    if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDirectMusicLoader8, reinterpret_cast<void**>(&loader))))
    {
        loader = nullptr;
        return InitFail("Failed creating music loader.");
    }
    engine->Write("Created DirectMusicLoader Object.");

    // 11. The performance plays through our DirectSound device.
    IDirectSound* shared = reinterpret_cast<IDirectSound*>(device);
    if (FAILED(performance->InitAudio(nullptr, &shared, engine->GetWindow(), MusicPathType,
                                      MusicChannels, DMUS_AUDIOF_ALL, nullptr)))
        return InitFail("Failed initializing audio performance.");
    engine->Write("Initialized audio performance.");

    // 12. Audio path.
    if (FAILED(
            performance->CreateStandardAudioPath(MusicPathType, MusicChannels, TRUE, &audioPath)))
    {
        audioPath = nullptr;
        return InitFail("Failed creating standard audio path.");
    }
    engine->Write("Created audio path.");

    // 13. Music files are looked for in "base" beside the program.
    return SetMusicSearchDirectory();
}

HRESULT tavDSound::SetMusicSearchDirectory()
{
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string directory = std::string(current) + "\\base";
    WCHAR wide[MAX_PATH] = {};
    const bool converted =
        MultiByteToWideChar(CP_ACP, 0, directory.c_str(), -1, wide, MAX_PATH) > 0;
    if (!converted || FAILED(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wide, FALSE)))
    {
        engine->WriteValue("Failed setting search directory:", directory);
        engine->EndSection();
        return E_FAIL;
    }
    engine->WriteValue("Set search directory:", directory);
    return S_OK;
}

void tavDSound::Update()
{
    for (size_t i = 0; i < playing.size();)
    {
        SoundChannel& channel = playing[i];
        if (!channel.buffer)
        {
            ReleaseChannel(channel);
            playing.erase(playing.begin() + ptrdiff_t(i));
            continue;
        }
        DWORD status = 0;
        const bool failed = FAILED(channel.buffer->GetStatus(&status));
        const bool done = failed || !(status & DSBSTATUS_PLAYING) ||
                          (status & (DSBSTATUS_BUFFERLOST | DSBSTATUS_TERMINATED));
        if (done)
        {
            ReleaseChannel(channel);
            playing.erase(playing.begin() + ptrdiff_t(i));
            return;
        }
        ++i;
    }
}

void tavDSound::ReleaseChannels()
{
    for (SoundChannel& channel : playing)
    {
        if (channel.buffer)
            channel.buffer->Stop();
        ReleaseChannel(channel);
    }
}

void tavDSound::ReleaseAll()
{
    ReleaseChannels();
    {
        std::lock_guard<std::mutex> hold(soundLock);
        for (SoundEntry& entry : sounds)
            std::vector<uint8_t>().swap(entry.data);
    }
    ReleaseMusic();
}

void tavDSound::Shutdown()
{
    ReleaseAll();
    playing.clear();
    {
        std::lock_guard<std::mutex> hold(soundLock);
        sounds.clear();
    }
    midis.clear();
    mp3s.clear();
    ReleaseInterface(primary);
    ReleaseInterface(listener);
    ReleaseDirectMusic();
    ReleaseInterface(device);
}

void tavDSound::ReleaseDirectMusic()
{
    ReleaseInterface(audioPath);
    if (performance)
        performance->CloseDown();
    ReleaseInterface(performance);
    ReleaseInterface(loader);
}
