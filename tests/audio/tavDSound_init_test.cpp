#include "audio/ChildProcessTest.h"
#include "audio/DirectMusicRefusal.h"
#include "audio/SoundTest.h"
#include "support/TestFiles.h"

#include <dmusici.h>
#include <gtest/gtest.h>

namespace
{
std::string Li(const std::string& text)
{
    return "<li>" + text + "</li>";
}

const std::vector<std::string> DirectSoundSteps = {
    Li("Created and initialized the DirectSound8 Interface."),
    Li("Set cooperative level to DSSCL_PRIORITY."),
    Li("Audio card certified for DirectSound."),
    Li("Created primary sound buffer."),
    Li("Created 3D Listener."),
};

// The card's own count of hardware 3D static buffers.
DWORD HardwareBuffersOfTheCard()
{
    IDirectSound8* ds = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &ds, nullptr)))
        return 0;
    DSCAPS caps = {};
    caps.dwSize = sizeof(caps);
    ds->GetCaps(&caps);
    ds->Release();
    return caps.dwMaxHw3DStaticBuffers;
}

class SoundInitTest : public SoundTest
{
protected:
    void ExpectLog(std::vector<std::string> lines)
    {
        std::string missing;
        EXPECT_TRUE(ContainsInOrder(Log(), lines, &missing)) << "missing: " << missing;
    }
    void ExpectNotInLog(const std::string& text)
    {
        EXPECT_EQ(Log().find(text), std::string::npos) << text;
    }
};
} // namespace

TEST_F(SoundInitTest, SoftwareModeLogsEveryStepAndKeepsTheChannelCount)
{
    ASSERT_EQ(StartSound("Channels=7"), S_OK);
    std::vector<std::string> lines = {"<b>DirectSound/DirectMusic Initialization</b>",
                                      Li("Software mode.")};
    lines.insert(lines.end(), DirectSoundSteps.begin(), DirectSoundSteps.end());
    lines.push_back(Li("Initialized Sound Subsystem"));
    ExpectLog(lines);
    ExpectNotInLog("Buffers: ");
    ExpectNotInLog("DirectMusicPerformance");
    ExpectNotInLog("audio performance");
    EXPECT_EQ(Sound().GetChannelLimit(), 7u);
    EXPECT_NE(Sound().GetListener(), nullptr);
    EXPECT_TRUE(Sound().IsSoundEnabled());
    EXPECT_TRUE(Sound().IsMusicEnabled());

    StopEngine();
    EXPECT_NE(Log().find(Li("Deleted DirectSound and DirectMusic Interfaces.")), std::string::npos);
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

    ASSERT_EQ(RestartSound("HWSound=1\nChannels=" + std::to_string(cardBuffers)), S_OK);
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

TEST_F(SoundInitTest, SoundAndMusicSwitchesComeFromTheConfiguration)
{
    ASSERT_EQ(StartSound("Sound=0\nMusic=0"), S_OK);
    EXPECT_FALSE(Sound().IsSoundEnabled());
    EXPECT_FALSE(Sound().IsMusicEnabled());
    const int effect = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.2).c_str(), false, 4);
    ASSERT_EQ(effect, 0);
    Sound().PlaySound(effect, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
}

TEST_F(SoundInitTest, ZeroChannelsStartsButNoEffectEverPlays)
{
    ASSERT_EQ(StartSound("Channels=0"), S_OK);
    ExpectLog(
        {Li("Software mode."), Li("Created 3D Listener."), Li("Initialized Sound Subsystem")});
    ExpectNotInLog("Buffers: ");
    const int effect = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.2).c_str(), false, 4);
    for (int i = 0; i < 3; ++i)
        Sound().PlaySound(effect, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
    Frames(3);
    EXPECT_FALSE(engine->IsQuitting());
}

TEST_F(SoundInitTest, FailingDirectMusicObjectsFailTheStartButNotTheProgram)
{
    struct Case
    {
        const CLSID* refused;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {&CLSID_DirectMusicPerformance, {Li("Failed creating music performance.")}},
        {&CLSID_DirectMusicLoader,
         {Li("Created DirectMusicPerformance Object."), Li("Failed creating music loader.")}},
    };
    for (const Case& c : cases)
    {
        DirectMusicRefusal refusal(*c.refused);
        ASSERT_TRUE(refusal.IsActive());
        ASSERT_EQ(RestartSound("", true), S_OK);
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

TEST_F(SoundInitTest, EachFrameTheCameraCarriesTheListener)
{
    ASSERT_EQ(StartSound(), S_OK);
    engine->SetView(D3DXVECTOR3(3, 4, 5), D3DXVECTOR3(3, 4, 9), D3DXVECTOR3(0, 1, 0));
    Frames(1);
    DS3DLISTENER p = {};
    p.dwSize = sizeof(p);
    ASSERT_EQ(Sound().GetListener()->GetAllParameters(&p), DS_OK);
    EXPECT_EQ(p.vPosition.x, 3.0f);
    EXPECT_EQ(p.vPosition.y, 4.0f);
    EXPECT_EQ(p.vPosition.z, 5.0f);
    EXPECT_FLOAT_EQ(p.vOrientFront.z, 1.0f);
    EXPECT_FLOAT_EQ(p.vOrientTop.y, 1.0f);
}
