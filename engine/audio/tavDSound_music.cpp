// The music pools: MIDI segments through DirectMusic, MP3 (and whatever
// else the system's filters render) through DirectShow graphs.
#include "audio/tavDSound.h"

#include "core/TAV.h"

#include <dmusici.h>

#include <algorithm>
#include <string>

namespace
{
// The loader takes at most MAX_PATH characters: a longer name is cut there
// (and then most likely names no file, which the load reports).
void ToWide(const char* text, WCHAR (&wide)[MAX_PATH])
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring all(size_t(length > 0 ? length : 1), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &all[0], length);
    const size_t kept = std::min(all.size() - 1, size_t(MAX_PATH - 1));
    all.copy(wide, kept);
    wide[kept] = L'\0';
}

std::string FailureLine(const std::string& what, const char* path, HRESULT hr)
{
    char code[16];
    wsprintfA(code, "0x%x", unsigned(hr));
    return "<font color=\"red\">" + what + " \"" + path + "\" (" + code + ").</font>";
}
} // namespace

void tavDSound::LogLine(const std::string& line)
{
    if (engine)
        engine->Write(line);
}

// ---- MIDI ----

int tavDSound::LoadMidi(const char* path)
{
    if (!performance || !loader || !path)
        return -1;
    // The entry is kept whether or not the segment loads: its index stays
    // valid and plays nothing, like a released one.
    midis.push_back({nullptr, path});
    MidiEntry& entry = midis.back();
    WCHAR wide[MAX_PATH];
    ToWide(path, wide);
    IDirectMusicSegment8* segment = nullptr;
    const HRESULT hr =
        loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                   reinterpret_cast<void**>(&segment));
    if ((hr != S_OK && hr != DMUS_S_PARTIALLOAD) || !segment)
        LogLine(FailureLine("Failed loading MIDI", path, hr));
    else
    {
        segment->Download(performance);
        entry.segment = segment;
    }
    return int(midis.size() - 1);
}

HRESULT tavDSound::PlayMidi(int index)
{
    if (index < 0 || size_t(index) >= midis.size() || !midis[size_t(index)].segment || !performance)
        return S_OK;
    if (!musicEnabled)
        return S_FALSE;
    return performance->PlaySegmentEx(midis[size_t(index)].segment, nullptr, nullptr, 0, 0, nullptr,
                                      nullptr, nullptr);
}

bool tavDSound::IsMidiPlaying(int index) const
{
    if (index < 0 || size_t(index) >= midis.size() || !midis[size_t(index)].segment || !performance)
        return false;
    return performance->IsPlaying(midis[size_t(index)].segment, nullptr) == S_OK;
}

void tavDSound::StopMidi(int index)
{
    if (IsMidiPlaying(index))
        performance->StopEx(midis[size_t(index)].segment, 0, 0);
}

// ---- MP3 ----

int tavDSound::LoadMp3(const char* path)
{
    if (!path)
        return -1;
    Mp3Entry entry;
    entry.name = path;
    entry.player.reset(new tavMP3Player());
    if (!ReopenMp3(entry))
        return -1;
    mp3s.push_back(std::move(entry));
    return int(mp3s.size() - 1);
}

bool tavDSound::ReopenMp3(Mp3Entry& entry)
{
    HRESULT hr = entry.player->Create();
    if (FAILED(hr))
    {
        LogLine(FailureLine("Failed creating a filter graph for", entry.name.c_str(), hr));
        return false;
    }
    if (!entry.player->HasGraphLog())
        LogLine("Could not open the graph log " + std::string(tavMP3Player::LogPath) +
                "; playing \"" + entry.name + "\" without it.");
    hr = entry.player->Open(entry.name.c_str());
    if (FAILED(hr))
    {
        LogLine(FailureLine("Failed rendering MP3", entry.name.c_str(), hr));
        entry.player->Release();
        return false;
    }
    return true;
}

HRESULT tavDSound::PlayMp3(int index)
{
    if (index < 0 || size_t(index) >= mp3s.size())
        return S_OK;
    if (!musicEnabled)
        return S_FALSE;
    Mp3Entry& entry = mp3s[size_t(index)];
    if (!entry.player->IsOpen() && !ReopenMp3(entry))
        return E_FAIL;
    return entry.player->Play();
}

bool tavDSound::IsMp3Playing(int index) const
{
    return index >= 0 && size_t(index) < mp3s.size() && mp3s[size_t(index)].player->IsPlaying();
}

void tavDSound::StopMp3(int index)
{
    if (index >= 0 && size_t(index) < mp3s.size())
        mp3s[size_t(index)].player->Stop();
}

// ---- Release ----

void tavDSound::ReleaseMusic()
{
    for (MidiEntry& entry : midis)
    {
        if (!entry.segment)
            continue;
        if (performance)
        {
            performance->StopEx(entry.segment, 0, 0);
            entry.segment->Unload(performance);
        }
        entry.segment->Release();
        entry.segment = nullptr;
    }
    for (Mp3Entry& entry : mp3s)
        entry.player->Release();
}
