// The "sound" console report.
#include "audio/tavDSound.h"

#include "core/TAV.h"

namespace
{
constexpr uint32_t ReportColour = 0xFFFFFFB8;
constexpr uint32_t GoodColour = 0xFF00FF00;
constexpr uint32_t BadColour = 0xFFFF0000;

const char* SpeakerText(uint32_t config)
{
    static const char* const texts[] = {
        "(0) No speakers.",
        "(1) Headphones.",
        "(2) Single speaker.",
        "(3) Quadraphonic speakers.",
        "(4) Stereo speakers.",
        "(5) Surround speakers.",
        "(6) Five surround speakers with a subwoofer.",
        "(7) Seven surround speakers with a subwoofer.",
    };
    const uint32_t kind = config & 0xFF;
    return kind < 8 ? texts[kind] : "Unknown speaker setup.";
}

double Khz(DWORD hz)
{
    return double(hz) / 1000.0;
}

void PrintCaps(tavConsole& console, const DSCAPS& c)
{
    console.Printf(ReportColour, "Total HW Memory: %d bytes", int(c.dwTotalHwMemBytes));
    console.Printf(ReportColour, "Free HW 3D Buffers: %d  Static: %d  3D Streaming: %d",
                   int(c.dwFreeHw3DAllBuffers), int(c.dwFreeHw3DStaticBuffers),
                   int(c.dwFreeHw3DStreamingBuffers));
    console.Printf(ReportColour, "Free HW Memory: %d bytes", int(c.dwFreeHwMemBytes));
    console.Printf(ReportColour, "Free HW Mixing Buffers: %d  Static %d  Streaming: %d",
                   int(c.dwFreeHwMixingAllBuffers), int(c.dwFreeHwMixingStaticBuffers),
                   int(c.dwFreeHwMixingStreamingBuffers));
    console.Printf(ReportColour, "Max Contiguous Free HW Memory: %d bytes",
                   int(c.dwMaxContigFreeHwMemBytes));
    console.Printf(ReportColour, "Max HW 3D Buffers: %d  Static: %d  3D Streaming: %d",
                   int(c.dwMaxHw3DAllBuffers), int(c.dwMaxHw3DStaticBuffers),
                   int(c.dwMaxHw3DStreamingBuffers));
    console.Printf(ReportColour, "Max HW Mixing Buffers: %d  Static: %d  Streaming: %d",
                   int(c.dwMaxHwMixingAllBuffers), int(c.dwMaxHwMixingStaticBuffers),
                   int(c.dwMaxHwMixingStreamingBuffers));
    console.Printf(ReportColour, "Secondary Sample Rate: Max: %.2fKhz  Min: %.2fKhz",
                   Khz(c.dwMaxSecondarySampleRate), Khz(c.dwMinSecondarySampleRate));
    console.Printf(ReportColour, "Play CPU Overhead SW Buffers: %d",
                   int(c.dwPlayCpuOverheadSwBuffers));
    console.Printf(ReportColour, "Primary Buffers: %d", int(c.dwPrimaryBuffers));
    console.Printf(ReportColour, "Unlock TransferRate HW Buffers: %d",
                   int(c.dwUnlockTransferRateHwBuffers));
}

void PrintVector(tavConsole& console, const char* label, const D3DVECTOR& v)
{
    console.Printf(ReportColour, "3D Listener %s: (%.2f, %.2f, %.2f)", label, double(v.x),
                   double(v.y), double(v.z));
}

void PrintListener(tavConsole& console, IDirectSound3DListener* listener)
{
    DS3DLISTENER p = {};
    p.dwSize = sizeof(p);
    if (!listener || FAILED(listener->GetAllParameters(&p)))
    {
        console.Print("Failed querying 3D Listener Parameters.", ReportColour);
        return;
    }
    console.Printf(ReportColour, "3D Listener flDistanceFactor: %.2f", double(p.flDistanceFactor));
    console.Printf(ReportColour, "3D Listener flDopplerFactor: %.2f", double(p.flDopplerFactor));
    console.Printf(ReportColour, "3D Listener flRolloffFactor: %.2f", double(p.flRolloffFactor));
    PrintVector(console, "vOrientFront", p.vOrientFront);
    PrintVector(console, "vOrientTop", p.vOrientTop);
    PrintVector(console, "vPosition", p.vPosition);
    PrintVector(console, "vVelocity", p.vVelocity);
}
} // namespace

void tavDSound::ReportStatistics(TAV* e)
{
    tavConsole& console = *e;
    if (device)
    {
        caps.dwSize = sizeof(caps);
        device->GetCaps(&caps);
    }

    // 1. to 4. The card.
    console.Print("=== DirectSound Statistics ===", ReportColour);
    if (certified)
        console.Print("SoundCard is DirectSound Certified.", GoodColour);
    else
        console.Print("SoundCard is NOT DirectSound Certified.", BadColour);
    console.Print(hardware ? "Hardware Buffers." : "Software Buffers.", ReportColour);
    console.Printf(ReportColour, "Speakers: %s", SpeakerText(speakerConfig));

    // 5. and 6. Capabilities and the listener.
    PrintCaps(console, caps);
    PrintListener(console, listener);

    // 7. The pools.
    console.Printf(ReportColour, "%d Pooled Buffers", int(playing.size()));
    {
        std::lock_guard<std::mutex> hold(soundLock);
        console.Printf(ReportColour, "%d Pooled Sounds", int(sounds.size()));
        for (size_t i = 0; i < sounds.size(); ++i)
        {
            const SoundEntry& s = sounds[i];
            console.Printf(ReportColour, "#%d \"%s\" %.2fKB c:%d %db@%.2fKhz", int(i),
                           s.name.c_str(), double(s.dataSize) / 1024.0, int(s.format.nChannels),
                           int(s.format.wBitsPerSample), Khz(s.format.nSamplesPerSec));
        }
    }
    console.Printf(ReportColour, "%d Pooled MIDIs", int(midis.size()));
    for (size_t i = 0; i < midis.size(); ++i)
        console.Printf(ReportColour, "#%d \"%s\" %s", int(i), midis[i].name.c_str(),
                       IsMidiPlaying(int(i)) ? "Playing" : "Not Playing");
    console.Printf(ReportColour, "%d Pooled MP3s", int(mp3s.size()));
    for (size_t i = 0; i < mp3s.size(); ++i)
        console.Printf(ReportColour, "#%d \"%s\" %s", int(i), mp3s[i].name.c_str(),
                       IsMp3Playing(int(i)) ? "Playing" : "Not Playing");
}
