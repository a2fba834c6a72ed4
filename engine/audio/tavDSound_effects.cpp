// The sound effect pool: loading ".sfx" files, playing them through fresh
// static buffers under the channel limit, and the stored 3D settings.
#include "audio/tavDSound.h"

#include "audio/tavWaveFile.h"
#include "core/TAV.h"

#include <cstring>

namespace
{
// Console colour of the playback failure lines.
constexpr uint32_t PlaybackLineColour = 0xFFFFFFFF;

DS3DBUFFER Default3DParams()
{
    DS3DBUFFER p = {};
    p.dwSize = sizeof(p);
    p.vPosition = {0.0f, 0.0f, 0.0f};
    p.vVelocity = {0.0f, 0.0f, 0.0f};
    p.dwInsideConeAngle = 360;
    p.dwOutsideConeAngle = 360;
    p.vConeOrientation = {0.0f, 1.0f, 0.0f};
    p.lConeOutsideVolume = 0;
    p.flMinDistance = 1.0f;
    p.flMaxDistance = 1000000000.0f;
    p.dwMode = DS3DMODE_NORMAL;
    return p;
}
} // namespace

// ---- Loading ----

int tavDSound::LoadSound(const char* path, bool is3D, int32_t priority)
{
    if (!path)
        return -1;
    {
        std::lock_guard<std::mutex> hold(soundLock);
        const int known = FindSoundByName(path);
        if (known != -1)
            return known;
    }

    tavWaveFile wave;
    if (!ReadEffect(path, wave))
        return -1;
    SoundEntry entry = {};
    entry.name = path;
    entry.priority = priority;
    entry.volume = 0;
    entry.params3D = Default3DParams();
    FillEntry(entry, wave);
    entry.is3D = is3D && entry.format.nChannels <= 1;

    std::lock_guard<std::mutex> hold(soundLock);
    // Another thread may have loaded the same file meanwhile.
    const int known = FindSoundByName(path);
    if (known != -1)
        return known;
    sounds.push_back(std::move(entry));
    return int(sounds.size() - 1);
}

// A missing or cut-off effect is otherwise silent (its handle is -1 and
// plays nothing), so the log names the file and says what is wrong with it:
// the one place a player or a content author can learn why a sound is gone.
bool tavDSound::ReadEffect(const char* path, tavWaveFile& wave)
{
    if (wave.Load(path))
        return true;
    if (engine)
        engine->Write("<font color=\"red\">Failed loading sound \"" + std::string(path) +
                      "\": " + wave.Error() + ".</font>");
    return false;
}

void tavDSound::FillEntry(SoundEntry& entry, tavWaveFile& wave)
{
    entry.format = {};
    entry.format.wFormatTag = wave.formatTag;
    entry.format.nChannels = wave.channels;
    entry.format.nSamplesPerSec = wave.sampleRate;
    entry.format.nAvgBytesPerSec = wave.byteRate;
    entry.format.nBlockAlign = wave.blockAlign;
    entry.format.wBitsPerSample = wave.bitsPerSample;
    entry.format.cbSize = 0;
    entry.dataSize = uint32_t(wave.samples.size());
    entry.data = std::move(wave.samples);
}

bool tavDSound::ReloadSamples(SoundEntry& entry)
{
    tavWaveFile wave;
    if (!ReadEffect(entry.name.c_str(), wave))
        return false;
    FillEntry(entry, wave);
    entry.is3D = entry.is3D && entry.format.nChannels <= 1;
    return true;
}

int tavDSound::FindSoundByName(const char* path) const
{
    for (size_t i = 0; i < sounds.size(); ++i)
        if (_stricmp(sounds[i].name.c_str(), path) == 0)
            return int(i);
    return -1;
}

SoundEntry* tavDSound::FindSound(int handle)
{
    return handle >= 0 && size_t(handle) < sounds.size() ? &sounds[size_t(handle)] : nullptr;
}

const SoundEntry* tavDSound::FindSound(int handle) const
{
    return handle >= 0 && size_t(handle) < sounds.size() ? &sounds[size_t(handle)] : nullptr;
}

size_t tavDSound::GetSoundCount() const
{
    std::lock_guard<std::mutex> hold(soundLock);
    return sounds.size();
}

bool tavDSound::GetSound(int handle, SoundEntry& out) const
{
    std::lock_guard<std::mutex> hold(soundLock);
    const SoundEntry* entry = FindSound(handle);
    if (entry)
        out = *entry;
    return entry != nullptr;
}

// ---- Playing ----

void tavDSound::PlaySound(int handle, bool loop)
{
    // 1. Nothing to do.
    if (handle == -1 || !soundEnabled || !device)
        return;
    std::lock_guard<std::mutex> hold(soundLock);
    SoundEntry* entry = FindSound(handle);
    if (!entry)
        return;

    // 2. Samples freed at the last scene change come back from the file.
    if (entry->data.empty() && !ReloadSamples(*entry))
        return;

    // 3. Channel limit.
    if (!MakeRoom(entry->priority))
        return;

    // 4. to 7. A fresh buffer holding the samples.
    IDirectSoundBuffer8* buffer = CreateBuffer(*entry);
    if (!buffer)
        return;
    if (!FillBuffer(buffer, *entry))
    {
        buffer->Release();
        return;
    }

    // 8. 3D settings.
    IDirectSound3DBuffer* buffer3D = nullptr;
    if (entry->is3D && !(buffer3D = Make3D(buffer, *entry)))
    {
        buffer->Release();
        return;
    }

    // 9. Play; a buffer that does not start is reclaimed by Update.
    playing.push_back({entry->priority, buffer, buffer3D});
    buffer->SetCurrentPosition(0);
    if (FAILED(buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0)))
        ConsoleLine("Failed to get the sound playing.");
}

bool tavDSound::MakeRoom(int32_t priority)
{
    if (playing.size() < channels)
        return true;
    if (priority == 0)
        return false;
    for (size_t i = 0; i < playing.size(); ++i)
    {
        if (playing[i].priority < priority)
        {
            if (playing[i].buffer)
                playing[i].buffer->Stop();
            ReleaseChannel(playing[i]);
            playing.erase(playing.begin() + ptrdiff_t(i));
            return true;
        }
    }
    return false;
}

void tavDSound::ReleaseChannel(SoundChannel& channel)
{
    if (channel.buffer3D)
        channel.buffer3D->Release();
    channel.buffer3D = nullptr;
    if (channel.buffer)
        channel.buffer->Release();
    channel.buffer = nullptr;
}

IDirectSoundBuffer8* tavDSound::CreateBuffer(const SoundEntry& entry)
{
    WAVEFORMATEX format = entry.format;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_STATIC | (hardware ? DSBCAPS_LOCHARDWARE : 0) |
                   (entry.is3D ? DSBCAPS_CTRL3D : 0);
    desc.dwBufferBytes = entry.dataSize;
    desc.lpwfxFormat = &format;

    IDirectSoundBuffer* first = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &first, nullptr)) || !first)
    {
        ConsoleLine("Failed to create the initial sound buffer.");
        return nullptr;
    }
    IDirectSoundBuffer8* buffer = nullptr;
    const HRESULT hr =
        first->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer));
    first->Release();
    if (FAILED(hr) || !buffer)
    {
        ConsoleLine("Failed to create the 8 sound buffer.");
        return nullptr;
    }
    return buffer;
}

bool tavDSound::FillBuffer(IDirectSoundBuffer8* buffer, const SoundEntry& entry)
{
    buffer->SetVolume(entry.volume);
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD size1 = 0, size2 = 0;
    if (FAILED(buffer->Lock(0, 0, &part1, &size1, &part2, &size2, DSBLOCK_ENTIREBUFFER)))
    {
        ConsoleLine("Failed to lock the entire buffer.");
        return false;
    }
    const size_t count = size1 < entry.data.size() ? size1 : entry.data.size();
    std::memcpy(part1, entry.data.data(), count);
    if (FAILED(buffer->Unlock(part1, size1, part2, size2)))
    {
        ConsoleLine("Failed to unlock the buffer.");
        return false;
    }
    return true;
}

IDirectSound3DBuffer* tavDSound::Make3D(IDirectSoundBuffer8* buffer, const SoundEntry& entry)
{
    IDirectSound3DBuffer* buffer3D = nullptr;
    if (FAILED(buffer->QueryInterface(IID_IDirectSound3DBuffer,
                                      reinterpret_cast<void**>(&buffer3D))) ||
        !buffer3D)
    {
        ConsoleLine("Failed to create the 3D buffer.");
        return nullptr;
    }
    buffer3D->SetAllParameters(&entry.params3D, DS3D_IMMEDIATE);
    return buffer3D;
}

void tavDSound::ConsoleLine(const char* text)
{
    engine->tavConsole::Print(text, PlaybackLineColour);
}

// ---- Stored 3D settings and volume ----

void tavDSound::SetSoundPosition(int handle, const D3DVECTOR& position)
{
    std::lock_guard<std::mutex> hold(soundLock);
    if (SoundEntry* entry = FindSound(handle))
        entry->params3D.vPosition = position;
}

void tavDSound::SetSoundVelocity(int handle, const D3DVECTOR& velocity)
{
    std::lock_guard<std::mutex> hold(soundLock);
    if (SoundEntry* entry = FindSound(handle))
        entry->params3D.vVelocity = velocity;
}

void tavDSound::SetSoundDistances(int handle, float minimum, float maximum)
{
    std::lock_guard<std::mutex> hold(soundLock);
    if (SoundEntry* entry = FindSound(handle))
    {
        entry->params3D.flMinDistance = minimum;
        entry->params3D.flMaxDistance = maximum;
    }
}

void tavDSound::SetSoundCone(int handle, uint32_t insideAngle, uint32_t outsideAngle,
                             int32_t outsideVolume, const D3DVECTOR& orientation)
{
    std::lock_guard<std::mutex> hold(soundLock);
    if (SoundEntry* entry = FindSound(handle))
    {
        entry->params3D.dwInsideConeAngle = insideAngle;
        entry->params3D.dwOutsideConeAngle = outsideAngle;
        entry->params3D.lConeOutsideVolume = outsideVolume;
        entry->params3D.vConeOrientation = orientation;
    }
}

void tavDSound::SetSoundVolume(int handle, int32_t volume)
{
    std::lock_guard<std::mutex> hold(soundLock);
    if (SoundEntry* entry = FindSound(handle))
        entry->volume = volume;
}
