#include "audio/SoundTest.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

// The card's capabilities, asked for independently of the engine.
DSCAPS CardCaps()
{
    DSCAPS c = {};
    c.dwSize = sizeof(c);
    IDirectSound8* ds = nullptr;
    if (SUCCEEDED(DirectSoundCreate8(nullptr, &ds, nullptr)))
    {
        ds->GetCaps(&c);
        ds->Release();
    }
    return c;
}

std::vector<std::string> CapsLines(const DSCAPS& c)
{
    return {
        Format("Total HW Memory: %d bytes", int(c.dwTotalHwMemBytes)),
        Format("Free HW 3D Buffers: %d  Static: %d  3D Streaming: %d", int(c.dwFreeHw3DAllBuffers),
               int(c.dwFreeHw3DStaticBuffers), int(c.dwFreeHw3DStreamingBuffers)),
        Format("Free HW Memory: %d bytes", int(c.dwFreeHwMemBytes)),
        Format("Free HW Mixing Buffers: %d  Static %d  Streaming: %d",
               int(c.dwFreeHwMixingAllBuffers), int(c.dwFreeHwMixingStaticBuffers),
               int(c.dwFreeHwMixingStreamingBuffers)),
        Format("Max Contiguous Free HW Memory: %d bytes", int(c.dwMaxContigFreeHwMemBytes)),
        Format("Max HW 3D Buffers: %d  Static: %d  3D Streaming: %d", int(c.dwMaxHw3DAllBuffers),
               int(c.dwMaxHw3DStaticBuffers), int(c.dwMaxHw3DStreamingBuffers)),
        Format("Max HW Mixing Buffers: %d  Static: %d  Streaming: %d",
               int(c.dwMaxHwMixingAllBuffers), int(c.dwMaxHwMixingStaticBuffers),
               int(c.dwMaxHwMixingStreamingBuffers)),
        Format("Secondary Sample Rate: Max: %.2fKhz  Min: %.2fKhz",
               c.dwMaxSecondarySampleRate / 1000.0, c.dwMinSecondarySampleRate / 1000.0),
        Format("Play CPU Overhead SW Buffers: %d", int(c.dwPlayCpuOverheadSwBuffers)),
        Format("Primary Buffers: %d", int(c.dwPrimaryBuffers)),
        Format("Unlock TransferRate HW Buffers: %d", int(c.dwUnlockTransferRateHwBuffers)),
    };
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines)
{
    to.insert(to.end(), lines.begin(), lines.end());
}

class SoundReportTest : public SoundTest
{
protected:
    // Listener values no frame has touched (the camera would move it).
    void PlaceListener()
    {
        IDirectSound3DListener* l = Sound().GetListener();
        ASSERT_NE(l, nullptr);
        l->SetPosition(1.5f, -2.0f, 3.25f, DS3D_DEFERRED);
        l->SetVelocity(0.0f, 0.5f, 0.0f, DS3D_DEFERRED);
        l->SetOrientation(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, DS3D_DEFERRED);
        l->SetDistanceFactor(2.0f, DS3D_DEFERRED);
        l->SetRolloffFactor(0.25f, DS3D_DEFERRED);
        l->SetDopplerFactor(3.0f, DS3D_DEFERRED);
        l->CommitDeferredSettings();
    }
    uint32_t ColourOf(const std::string& text) const
    {
        for (const ConsoleLine& line : engine->GetLines())
            if (line.text == text)
                return line.colour;
        return 0;
    }
};

const std::vector<std::string> ListenerLines = {
    "3D Listener flDistanceFactor: 2.00",         "3D Listener flDopplerFactor: 3.00",
    "3D Listener flRolloffFactor: 0.25",          "3D Listener vOrientFront: (1.00, 0.00, 0.00)",
    "3D Listener vOrientTop: (0.00, 0.00, 1.00)", "3D Listener vPosition: (1.50, -2.00, 3.25)",
    "3D Listener vVelocity: (0.00, 0.50, 0.00)",
};
} // namespace

TEST_F(SoundReportTest, SoftwareReportListsTheCardTheListenerAndEveryPool)
{
    ASSERT_EQ(StartSound(), S_OK);
    WaveLayout stereo;
    stereo.channels = 2;
    stereo.sampleRate = 44100;
    const int a = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.1).c_str(), true, 4);
    Sound().LoadSound(WriteEffect("b.sfx", 440, 0.05, stereo).c_str(), false, 0);
    Sound().PlaySound(a, true);
    PlaceListener();

    Sound().ReportStatistics(engine.get());
    std::vector<std::string> expected = {
        "=== DirectSound Statistics ===", "SoundCard is DirectSound Certified.",
        "Software Buffers.", "Speakers: (4) Stereo speakers."};
    Append(expected, CapsLines(CardCaps()));
    Append(expected, ListenerLines);
    Append(expected,
           {"1 Pooled Buffers", "2 Pooled Sounds", "#0 \"./base/a.sfx\" 4.31KB c:1 16b@22.05Khz",
            "#1 \"./base/b.sfx\" 8.61KB c:2 16b@44.10Khz", "0 Pooled MIDIs", "0 Pooled MP3s"});
    EXPECT_EQ(ConsoleFrom("=== DirectSound Statistics ==="), expected);
    EXPECT_EQ(ColourOf("=== DirectSound Statistics ==="), 0xFFFFFFB8u);
    EXPECT_EQ(ColourOf("SoundCard is DirectSound Certified."), 0xFF00FF00u);
    EXPECT_EQ(ColourOf("Software Buffers."), 0xFFFFFFB8u);
}

TEST_F(SoundReportTest, HardwareModeSaysHardwareBuffers)
{
    ASSERT_EQ(StartSound("HWSound=1"), S_OK);
    Sound().ReportStatistics(engine.get());
    const std::vector<std::string> lines = ConsoleFrom("=== DirectSound Statistics ===");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "Hardware Buffers.");
    EXPECT_EQ(lines.back(), "0 Pooled MP3s");
}

TEST_F(SoundReportTest, WithoutSoundTheReportStillPrints)
{
    settings.useSound = false;
    ASSERT_EQ(StartSound(), S_OK);
    Sound().ReportStatistics(engine.get());
    std::vector<std::string> expected = {
        "=== DirectSound Statistics ===", "SoundCard is NOT DirectSound Certified.",
        "Software Buffers.", "Speakers: (0) No speakers."};
    DSCAPS none = {};
    Append(expected, CapsLines(none));
    Append(expected, {"Failed querying 3D Listener Parameters.", "0 Pooled Buffers",
                      "0 Pooled Sounds", "0 Pooled MIDIs", "0 Pooled MP3s"});
    EXPECT_EQ(ConsoleFrom("=== DirectSound Statistics ==="), expected);
    EXPECT_EQ(ColourOf("SoundCard is NOT DirectSound Certified."), 0xFFFF0000u);
}
