// Starting the sound system, the way each step is logged, and the "sound"
// console report.
#include "audio/ChildProcessTest.h"
#include "audio/DirectMusicRefusal.h"
#include "audio/SoundTest.h"

#include <dmusici.h>
#include <gtest/gtest.h>

namespace
{
// The card's own count of hardware 3D static buffers.
DWORD HardwareBuffersOfTheCard()
{
    IDirectSound8* ds = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &ds, nullptr))) return 0;
    DSCAPS caps = {};
    caps.dwSize = sizeof(caps);
    ds->GetCaps(&caps);
    ds->Release();
    return caps.dwMaxHw3DStaticBuffers;
}

std::vector<std::string> Lines(const std::vector<std::string>& all, size_t from, size_t count)
{
    return std::vector<std::string>(all.begin() + ptrdiff_t(std::min(from, all.size())),
                                    all.begin() + ptrdiff_t(std::min(from + count, all.size())));
}

using SoundInitTest = SoundTest;
} // namespace

TEST_F(SoundInitTest, SoftwareModeLogsEveryStepTheCameraCarriesTheListenerAndTheReportListsItAll)
{
    ASSERT_EQ(StartSound("Channels=7"), S_OK);
    ExpectLog({"<b>DirectSound/DirectMusic Initialization</b>", Li("Software mode."),
               Li("Created and initialized the DirectSound8 Interface."),
               Li("Set cooperative level to DSSCL_PRIORITY."),
               Li("Audio card certified for DirectSound."), Li("Created primary sound buffer."),
               Li("Created 3D Listener."), Li("Initialized Sound Subsystem")});
    for (const char* absent : {"Buffers: ", "DirectMusicPerformance", "audio performance"})
        ExpectNotInLog(absent);
    EXPECT_EQ(Sound().GetChannelLimit(), 7u);
    EXPECT_TRUE(Sound().IsSoundEnabled());
    EXPECT_TRUE(Sound().IsMusicEnabled());

    engine->SetView(D3DXVECTOR3(3, 4, 5), D3DXVECTOR3(3, 4, 9), D3DXVECTOR3(0, 1, 0));
    Frames(1);
    DS3DLISTENER p = {};
    p.dwSize = sizeof(p);
    ASSERT_NE(Sound().GetListener(), nullptr);
    ASSERT_EQ(Sound().GetListener()->GetAllParameters(&p), DS_OK);
    EXPECT_EQ(p.vPosition.x, 3.0f);
    EXPECT_EQ(p.vPosition.y, 4.0f);
    EXPECT_EQ(p.vPosition.z, 5.0f);
    EXPECT_FLOAT_EQ(p.vOrientFront.z, 1.0f);
    EXPECT_FLOAT_EQ(p.vOrientTop.y, 1.0f);

    WaveLayout stereo;
    stereo.channels = 2;
    stereo.sampleRate = 44100;
    const int a = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.1).c_str(), true, 4);
    Sound().LoadSound(WriteEffect("b.sfx", 440, 0.05, stereo).c_str(), false, 0);
    Sound().PlaySound(a, true);
    // The report, with listener values set after the last frame.
    IDirectSound3DListener* l = Sound().GetListener();
    ASSERT_NE(l, nullptr);
    l->SetPosition(1.5f, -2.0f, 3.25f, DS3D_DEFERRED);
    l->SetVelocity(0.0f, 0.5f, 0.0f, DS3D_DEFERRED);
    l->SetOrientation(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, DS3D_DEFERRED);
    l->SetDistanceFactor(2.0f, DS3D_DEFERRED);
    l->SetRolloffFactor(0.25f, DS3D_DEFERRED);
    l->SetDopplerFactor(3.0f, DS3D_DEFERRED);
    l->CommitDeferredSettings();

    Sound().ReportStatistics(engine.get());
    // The eleven lines of the card's capabilities (4 to 14) are checked
    // below, where they are all zero.
    const std::vector<std::string> report = ConsoleFrom("=== DirectSound Statistics ===");
    ASSERT_EQ(report.size(), 28u);
    EXPECT_EQ(Lines(report, 0, 4),
              (std::vector<std::string>{
                  "=== DirectSound Statistics ===", "SoundCard is DirectSound Certified.",
                  "Software Buffers.", "Speakers: (4) Stereo speakers."}));
    EXPECT_EQ(
        Lines(report, 15, 13),
        (std::vector<std::string>{
            "3D Listener flDistanceFactor: 2.00", "3D Listener flDopplerFactor: 3.00",
            "3D Listener flRolloffFactor: 0.25", "3D Listener vOrientFront: (1.00, 0.00, 0.00)",
            "3D Listener vOrientTop: (0.00, 0.00, 1.00)",
            "3D Listener vPosition: (1.50, -2.00, 3.25)",
            "3D Listener vVelocity: (0.00, 0.50, 0.00)", "1 Pooled Buffers", "2 Pooled Sounds",
            "#0 \"./base/a.sfx\" 4.31KB c:1 16b@22.05Khz",
            "#1 \"./base/b.sfx\" 8.61KB c:2 16b@44.10Khz", "0 Pooled MIDIs", "0 Pooled MP3s"}));
    const auto& lines = engine->GetLines();
    const size_t at = lines.size() - report.size();
    EXPECT_EQ(lines[at].colour, 0xFFFFFFB8u);
    EXPECT_EQ(lines[at + 1].colour, 0xFF00FF00u);
    EXPECT_EQ(lines[at + 2].colour, 0xFFFFFFB8u);

    StopEngine();
    ExpectLog({Li("Deleted DirectSound and DirectMusic Interfaces.")});
}

TEST_F(SoundInitTest, HardwareModeCutsTheChannelsToTheCardsHardwareBuffers)
{
    const DWORD cardBuffers = HardwareBuffersOfTheCard();
    ASSERT_EQ(StartSound("HWSound=1\nChannels=" + std::to_string(cardBuffers + 5)), S_OK);
    ExpectLog({Li("Forcing hardware mode."), Li("Created 3D Listener."),
               Li("HW Limited Max Buffers: " + std::to_string(cardBuffers)),
               Li("Initialized Sound Subsystem")});
    EXPECT_EQ(Sound().GetChannelLimit(), cardBuffers);
    EXPECT_TRUE(Sound().IsHardware());
    Sound().ReportStatistics(engine.get());
    const std::vector<std::string> report = ConsoleFrom("=== DirectSound Statistics ===");
    EXPECT_EQ(Lines(report, 2, 1), std::vector<std::string>{"Hardware Buffers."});

    ASSERT_EQ(StartSound("HWSound=1\nChannels=" + std::to_string(cardBuffers)), S_OK);
    ExpectLog({Li("Forcing hardware mode."),
               Li("Maximum Buffer Channels: " + std::to_string(cardBuffers))});
    ExpectNotInLog("HW Limited");
}

// In a child process: see ChildProcessTest.h.
TEST(SoundInit, MusicStartsDirectMusicOnTheSameDeviceAndSearchesBase)
{
    EXPECT_TRUE(PassesInChildProcess("SoundInitTest", "MusicStartsDirectMusic"));
}

TEST_F(SoundInitTest, DISABLED_MusicStartsDirectMusic)
{
    ASSERT_EQ(StartSound("", true), S_OK);
    ExpectLog({Li("Created 3D Listener."), Li("Created DirectMusicPerformance Object."),
               Li("Created DirectMusicLoader Object."), Li("Initialized audio performance."),
               Li("Created audio path."),
               Li("Set search directory:\"" + folder.Path() + "\\base\""),
               Li("Initialized Sound Subsystem")});
}

// Sound=0 and Channels=0 both start; neither plays an effect.
class SoundOffTest : public SoundTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(SoundOffTest, StartsButNoEffectPlays)
{
    ASSERT_EQ(StartSound(GetParam()), S_OK);
    const bool on = GetParam()[0] == 'C';
    EXPECT_EQ(Sound().IsSoundEnabled(), on);
    EXPECT_EQ(Sound().IsMusicEnabled(), on);
    ExpectLog({Li("Created 3D Listener."), Li("Initialized Sound Subsystem")});
    const int effect = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.2).c_str(), false, 4);
    ASSERT_EQ(effect, 0);
    for (int i = 0; i < 3; ++i)
        Sound().PlaySound(effect, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
    Frames(3);
    EXPECT_FALSE(engine->IsQuitting());
}

INSTANTIATE_TEST_SUITE_P(SoundInit, SoundOffTest,
                         ::testing::Values("Sound=0\nMusic=0", "Channels=0"));

TEST_F(SoundInitTest, FailingDirectMusicObjectsFailTheStartButNotTheProgram)
{
    const struct
    {
        const CLSID* refused;
        std::vector<std::string> lines;
    } cases[] = {
        {&CLSID_DirectMusicPerformance, {Li("Failed creating music performance.")}},
        {&CLSID_DirectMusicLoader,
         {Li("Created DirectMusicPerformance Object."), Li("Failed creating music loader.")}},
    };
    for (const auto& c : cases)
    {
        DirectMusicRefusal refusal(*c.refused);
        ASSERT_TRUE(refusal.IsActive());
        ASSERT_EQ(StartSound("", true), S_OK);
        std::vector<std::string> lines = {Li("Created 3D Listener.")};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        lines.push_back(Li("<font color=\"red\">Sound Init Failed!</font>"));
        lines.push_back("TAV Successfully Initialized, Let's Go!");
        ExpectLog(lines);
        ExpectNotInLog("Initialized Sound Subsystem");
        EXPECT_EQ(Sound().LoadMidi("./base/none.mid"), -1);

        // DirectSound itself was made before the failure and still plays.
        const int effect = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.1).c_str(), false, 4);
        Sound().PlaySound(effect, false);
        EXPECT_EQ(Sound().GetPlaying().size(), 1u);
        Frames(3);
        EXPECT_FALSE(engine->IsQuitting());
        StopEngine();
        ExpectLog({Li("Deleted DirectSound and DirectMusic Interfaces."), Li("Released device.")});
    }
}

TEST_F(SoundInitTest, WithoutSoundTheReportStillPrints)
{
    settings.useSound = false;
    ASSERT_EQ(StartSound(), S_OK);
    Sound().ReportStatistics(engine.get());
    EXPECT_EQ(ConsoleFrom("=== DirectSound Statistics ==="),
              (std::vector<std::string>{"=== DirectSound Statistics ===",
                                        "SoundCard is NOT DirectSound Certified.",
                                        "Software Buffers.",
                                        "Speakers: (0) No speakers.",
                                        "Total HW Memory: 0 bytes",
                                        "Free HW 3D Buffers: 0  Static: 0  3D Streaming: 0",
                                        "Free HW Memory: 0 bytes",
                                        "Free HW Mixing Buffers: 0  Static 0  Streaming: 0",
                                        "Max Contiguous Free HW Memory: 0 bytes",
                                        "Max HW 3D Buffers: 0  Static: 0  3D Streaming: 0",
                                        "Max HW Mixing Buffers: 0  Static: 0  Streaming: 0",
                                        "Secondary Sample Rate: Max: 0.00Khz  Min: 0.00Khz",
                                        "Play CPU Overhead SW Buffers: 0",
                                        "Primary Buffers: 0",
                                        "Unlock TransferRate HW Buffers: 0",
                                        "Failed querying 3D Listener Parameters.",
                                        "0 Pooled Buffers",
                                        "0 Pooled Sounds",
                                        "0 Pooled MIDIs",
                                        "0 Pooled MP3s"}));
    EXPECT_EQ(engine->GetLines()[engine->GetLines().size() - 19].colour, 0xFFFF0000u);
}
