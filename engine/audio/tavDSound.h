#pragma once
// The sound system: DirectSound 8 (one device, the primary buffer and its 3D
// listener) and, when asked, DirectMusic sharing that device; the pools of
// sound effects, MIDI segments and MP3 players. Effects play through
// short-lived static buffers, at most `channels` at once; a full set of
// channels gives way to an effect of higher priority.
//
// Handles are indices into a pool; -1 means none, and every operation
// tolerates -1 and numbers out of range. Pool entries live until Shutdown:
// ReleaseAll (at every scene change) frees what they hold, and the next play
// loads it again.
//
// Threads: everything runs on the main thread, except LoadSound, which a
// scene's loading thread may call while frames are drawn.

#include "audio/tavMP3Player.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
// mmsystem.h maps PlaySound to PlaySoundA; ours is a member of its own.
#undef PlaySound

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TAV;
class tavWaveFile;
struct IDirectMusicPerformance8;
struct IDirectMusicLoader8;
struct IDirectMusicAudioPath;
typedef struct IDirectMusicAudioPath IDirectMusicAudioPath8; // as the DirectMusic headers have it
struct IDirectMusicSegment8;

// One loaded effect. Its samples go at ReleaseAll and come back from the
// file on the next play; everything else stays.
struct SoundEntry
{
    WAVEFORMATEX format;
    std::vector<uint8_t> data; // empty while released
    uint32_t dataSize;
    std::string name;    // the path given to LoadSound; the pool key
    int32_t priority;    // 0 = never takes a channel from another effect
    bool is3D;           // false for any format of more than one channel
    int32_t volume;      // hundredths of a decibel, 0 = full volume
    DS3DBUFFER params3D; // applied when a play starts
};

// One effect playing. A channel whose buffer is null was stopped by
// ReleaseAll and waits for Update to drop it.
struct SoundChannel
{
    int32_t priority;
    IDirectSoundBuffer8* buffer;
    IDirectSound3DBuffer* buffer3D; // null for a 2D effect
};

struct MidiEntry
{
    IDirectMusicSegment8* segment; // null after ReleaseAll
    std::string name;
};

struct Mp3Entry
{
    std::unique_ptr<tavMP3Player> player;
    std::string name;
};

class tavDSound
{
public:
    tavDSound();
    ~tavDSound();
    tavDSound(const tavDSound&) = delete;
    tavDSound& operator=(const tavDSound&) = delete;

    // ---- Life cycle ----
    // Starts DirectSound on the engine's main window, and DirectMusic when
    // `music` is set, logging each step. 0, or E_FAIL after the failing
    // step's log line; what was created before the failure stays until
    // Shutdown. In hardware mode `channels` is cut to the card's hardware 3D
    // buffers.
    HRESULT Init(TAV* engine, uint32_t channels, bool forceHardware, bool music);
    // Sound effects off: PlaySound does nothing (playing effects go on).
    void SetSoundEnabled(bool on) { soundEnabled = on; }
    // Music off: PlayMidi and PlayMp3 do nothing.
    void SetMusicEnabled(bool on) { musicEnabled = on; }
    bool IsMusicEnabled() const { return musicEnabled; }
    bool IsSoundEnabled() const { return soundEnabled; }
    // The primary buffer's 3D listener (the camera moves it), or null.
    IDirectSound3DListener* GetListener() const { return listener; }
    // Once per frame: drops the channels ReleaseAll emptied and reclaims at
    // most one effect that finished.
    void Update();
    // Prints the DirectSound report into the engine's console.
    void ReportStatistics(TAV* engine);
    // At a scene change: stops every effect, frees every effect's samples,
    // every MIDI segment and every MP3 graph. Handles stay valid.
    void ReleaseAll();
    // At engine release: ReleaseAll, empties the pools and releases every
    // DirectSound and DirectMusic object. Safe after a failed Init and twice.
    void Shutdown();

    // ---- Sound effects ----
    // Loads a ".sfx" file into the pool; the path is the key, compared
    // ignoring case, and loading a known path returns its handle unchanged.
    // -1 (and a log line) when the file cannot be read or is no usable
    // effect. A 3D request for an effect of more than one channel gives a
    // 2D effect. `priority` 0 never takes a channel from another effect.
    int LoadSound(const char* path, bool is3D, int32_t priority);
    // Starts the effect in a fresh buffer. With every channel busy it takes
    // the first channel of lower priority, or does not play. Failures print
    // a console line; nothing plays for -1 or while effects are off.
    void PlaySound(int handle, bool loop);
    // These change what the next play of the effect starts with; effects
    // already playing keep their values. Distances are in DirectSound units
    // (metres by default), angles in degrees, volumes in hundredths of a dB.
    void SetSoundPosition(int handle, const D3DVECTOR& position);
    void SetSoundVelocity(int handle, const D3DVECTOR& velocity);
    void SetSoundDistances(int handle, float minimum, float maximum);
    void SetSoundCone(int handle, uint32_t insideAngle, uint32_t outsideAngle,
                      int32_t outsideVolume, const D3DVECTOR& orientation);
    void SetSoundVolume(int handle, int32_t volume);

    // ---- MIDI (needs Init with music) ----
    // Loads a MIDI file (or any segment) through the DirectMusic loader and
    // downloads it to the performance. A relative name is looked for in the
    // loader's search directory, "base" in the working folder; a name past
    // MAX_PATH characters is cut there. The entry is stored first: when the
    // loader fails (a log line says so) its index is still returned and
    // plays nothing. -1 only without music.
    int LoadMidi(const char* path);
    // Plays the segment as the primary segment. 0 for -1 or an entry
    // without a segment; S_FALSE while music is off.
    HRESULT PlayMidi(int index);
    bool IsMidiPlaying(int index) const;
    // Stops the segment if it plays.
    void StopMidi(int index);

    // ---- MP3 (and anything else DirectShow renders) ----
    // Builds a graph for the file; -1 (and a log line) when the file cannot
    // be rendered. The graph log goes to ".\base\log\graph.log".
    int LoadMp3(const char* path);
    // From the beginning; a graph released by ReleaseAll is built again.
    // S_FALSE while music is off.
    HRESULT PlayMp3(int index);
    // The position is before the end (so a loaded piece that was never
    // played counts as playing; StopMp3 moves it to its end); false for -1
    // and for a piece released by ReleaseAll.
    bool IsMp3Playing(int index) const;
    void StopMp3(int index);

    // ---- Looking in (reports and tests) ----
    uint32_t GetChannelLimit() const { return channels; }
    bool IsHardware() const { return hardware; }
    bool IsCertified() const { return certified; }
    size_t GetSoundCount() const;
    // A copy of the entry (the pool may grow meanwhile); false when the
    // handle is not in the pool.
    bool GetSound(int handle, SoundEntry& out) const;
    const std::vector<SoundChannel>& GetPlaying() const { return playing; }
    size_t GetMidiCount() const { return midis.size(); }
    size_t GetMp3Count() const { return mp3s.size(); }

private:
    // Init steps (tavDSound.cpp).
    HRESULT InitFail(const char* line);
    HRESULT CreateDevice();
    void SetCooperativeLevel();
    void VerifyCertification();
    HRESULT CreatePrimaryBuffer();
    void SetChannelLimit(uint32_t count);
    HRESULT InitMusic();
    HRESULT SetMusicSearchDirectory();
    void ReleaseChannels();

    // Effects (tavDSound_effects.cpp).
    // Callers hold soundLock.
    int FindSoundByName(const char* path) const;
    SoundEntry* FindSound(int handle);
    const SoundEntry* FindSound(int handle) const;
    bool ReadEffect(const char* path, tavWaveFile& wave);
    void FillEntry(SoundEntry& entry, tavWaveFile& wave);
    bool ReloadSamples(SoundEntry& entry);
    bool MakeRoom(int32_t priority);
    static void ReleaseChannel(SoundChannel& channel);
    IDirectSoundBuffer8* CreateBuffer(const SoundEntry& entry);
    bool FillBuffer(IDirectSoundBuffer8* buffer, const SoundEntry& entry);
    IDirectSound3DBuffer* Make3D(IDirectSoundBuffer8* buffer, const SoundEntry& entry);
    void ConsoleLine(const char* text);

    // Music (tavDSound_music.cpp).
    void ReleaseMusic();
    void ReleaseDirectMusic();
    bool ReopenMp3(Mp3Entry& entry);
    void LogLine(const std::string& line);

    IDirectSound8* device;
    IDirectSound3DListener* listener;
    IDirectMusicPerformance8* performance;
    IDirectMusicLoader8* loader;
    IDirectMusicAudioPath8* audioPath;
    DSCAPS caps;
    uint32_t speakerConfig;
    uint32_t channels;
    TAV* engine;
    bool certified;
    bool hardware;
    bool musicEnabled;
    bool soundEnabled;
    std::vector<SoundEntry> sounds;
    std::vector<SoundChannel> playing;
    std::vector<MidiEntry> midis;
    std::vector<Mp3Entry> mp3s;
    IDirectSoundBuffer* primary;

    // Guards `sounds`: the loading thread appends while the main thread plays.
    mutable std::mutex soundLock;
};
