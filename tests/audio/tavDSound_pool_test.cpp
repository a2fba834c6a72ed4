// The sound effect pool: loading, the channel limit and priorities, the
// per-frame reclaim, ReleaseAll and the stored 3D settings.
#include "audio/SoundTest.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
class SoundPoolTest : public SoundTest
{
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ASSERT_EQ(StartSound(), S_OK);
    }
    // Nothing playing: every channel released and reclaimed.
    void Silence()
    {
        Sound().ReleaseAll();
        Sound().Update();
        ASSERT_TRUE(Sound().GetPlaying().empty());
    }
    // Waits (without frames, so without the sound update) until `count`
    // channels have finished playing.
    bool WaitForFinished(size_t count)
    {
        for (const double until = Now() + 5.0; Now() < until; Sleep(10))
        {
            size_t done = 0;
            for (const SoundChannel& c : Sound().GetPlaying())
            {
                DWORD status = 0;
                done += c.buffer && SUCCEEDED(c.buffer->GetStatus(&status)) &&
                        !(status & DSBSTATUS_PLAYING);
            }
            if (done >= count) return true;
        }
        return false;
    }
};
} // namespace

// Loading (a path again in any case, stereo never 3D), files that cannot be
// used, and setters that change only the next play.
TEST_F(SoundPoolTest, LoadsOnceByPathRefusesUnusableFilesAndSettersChangeOnlyTheNextPlay)
{
    WaveLayout stereo;
    stereo.channels = 2;
    const std::string a = WriteEffect("Splash.sfx", 440, 0.2);
    EXPECT_EQ(Sound().LoadSound(a.c_str(), false, 4), 0);
    EXPECT_EQ(Sound().LoadSound(WriteEffect("pop.sfx", 880, 0.2).c_str(), true, 0), 1);
    EXPECT_EQ(Sound().LoadSound(WriteEffect("wide.sfx", 440, 0.2, stereo).c_str(), true, 4), 2);
    EXPECT_EQ(Sound().LoadSound("./BASE/sPLASH.SFX", true, 0), 0);
    EXPECT_EQ(Sound().LoadSound("./base/POP.sfx", false, 9), 1);
    EXPECT_EQ(Sound().GetSoundCount(), 3u);

    // The second load's arguments are ignored; a stereo effect is never 3D.
    SoundEntry entry;
    ASSERT_TRUE(Sound().GetSound(0, entry));
    EXPECT_EQ(entry.name, a);
    EXPECT_EQ(entry.priority, 4);
    EXPECT_FALSE(entry.is3D);
    ASSERT_TRUE(Sound().GetSound(1, entry));
    EXPECT_EQ(entry.priority, 0);
    EXPECT_TRUE(entry.is3D);
    ASSERT_TRUE(Sound().GetSound(2, entry));
    EXPECT_FALSE(entry.is3D);

    Sound().PlaySound(2, false);
    Sound().PlaySound(1, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    EXPECT_NE(Sound().GetPlaying()[0].buffer, nullptr);
    EXPECT_EQ(Sound().GetPlaying()[0].buffer3D, nullptr);
    EXPECT_NE(Sound().GetPlaying()[1].buffer3D, nullptr);
    EXPECT_TRUE(ConsoleFrom("Failed to create the initial sound buffer.").empty());

    // Unusable files give -1 and a log line; -1 plays nothing.
    Silence();
    const int good = Sound().LoadSound(WriteEffect("good.sfx", 440, 0.1).c_str(), false, 4);
    WriteTextFile("base/text.sfx", "RIFF? No, this is a note about a sound that was never made.");
    WriteBytes("base/short.sfx", std::vector<uint8_t>(30, 0));
    std::vector<uint8_t> lying = WaveImage(WaveLayout(), ToneSamples(WaveLayout(), 440, 0.1));
    Put32(lying, 40, 1u << 30);
    WriteBytes("base/lying.sfx", lying);
    const struct
    {
        const char* path;
        const char* reason;
    } cases[] = {
        {"./base/missing.sfx", "the file cannot be opened"},
        {"./base/text.sfx", "the header gives 544498024 bytes of samples but only 15 follow it"},
        {"./base/short.sfx", "holds 30 bytes, fewer than the 44 of a WAVE header"},
        {"./base/lying.sfx", "the header gives 1073741824 bytes of samples but only 4410"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Sound().LoadSound(c.path, false, 4), -1);
        const std::string log = Log();
        const size_t at =
            log.find("<font color=\"red\">Failed loading sound \"" + std::string(c.path) + "\": ");
        ASSERT_NE(at, std::string::npos);
        EXPECT_NE(log.find(c.reason, at), std::string::npos);
    }
    EXPECT_EQ(Sound().GetSoundCount(), 4u);

    const size_t consoleLines = engine->GetLines().size();
    Sound().PlaySound(-1, false);
    Sound().PlaySound(7, true);
    Sound().SetSoundVolume(7, -100);
    Sound().SetSoundPosition(-1, {1, 2, 3});
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_EQ(engine->GetLines().size(), consoleLines);

    // A header the sound card cannot take loads as the file says and is
    // refused when it plays, with the playback line and nothing left playing.
    std::vector<uint8_t> odd = WaveImage(WaveLayout(), ToneSamples(WaveLayout(), 440, 0.1));
    Put16(odd, 20, 2);
    WriteBytes("base/odd.sfx", odd);
    const int oddHandle = Sound().LoadSound("./base/odd.sfx", false, 4);
    EXPECT_EQ(oddHandle, 4);
    Sound().PlaySound(oddHandle, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_EQ(ConsoleFrom("Failed to create the initial sound buffer."),
              std::vector<std::string>{"Failed to create the initial sound buffer."});

    Sound().PlaySound(good, false);
    EXPECT_EQ(Sound().GetPlaying().size(), 1u);
    Frames(3);
    EXPECT_FALSE(engine->IsQuitting());

    // The 3D settings and the volume reach only the next play.
    Silence();
    const int h = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.5).c_str(), true, 1);
    Sound().SetSoundPosition(h, {1, 2, 3});
    Sound().SetSoundVelocity(h, {4, 5, 6});
    Sound().SetSoundDistances(h, 2.5f, 50.0f);
    Sound().SetSoundCone(h, 90, 180, -600, {0, 0, 1});
    Sound().PlaySound(h, true);
    const int flat = Sound().LoadSound(WriteEffect("flat.sfx", 440, 0.5).c_str(), false, 1);
    Sound().SetSoundVolume(flat, -1200);
    Sound().PlaySound(flat, true);
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    Sound().SetSoundPosition(h, {9, 9, 9});
    Sound().SetSoundVolume(flat, 0);

    DS3DBUFFER p = {};
    p.dwSize = sizeof(p);
    ASSERT_EQ(Sound().GetPlaying()[0].buffer3D->GetAllParameters(&p), DS_OK);
    EXPECT_EQ(p.vPosition.x, 1.0f);
    EXPECT_EQ(p.vPosition.z, 3.0f);
    EXPECT_EQ(p.vVelocity.y, 5.0f);
    EXPECT_EQ(p.flMinDistance, 2.5f);
    EXPECT_EQ(p.flMaxDistance, 50.0f);
    EXPECT_EQ(p.dwInsideConeAngle, 90u);
    EXPECT_EQ(p.dwOutsideConeAngle, 180u);
    EXPECT_EQ(p.lConeOutsideVolume, -600);
    EXPECT_EQ(p.vConeOrientation.z, 1.0f);
    // (A 3D buffer's volume reads back with the distance attenuation in it.)
    LONG volume = 0;
    ASSERT_EQ(Sound().GetPlaying()[1].buffer->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -1200);

    SoundEntry e;
    ASSERT_TRUE(Sound().GetSound(h, e));
    EXPECT_EQ(e.params3D.vPosition.x, 9.0f);
    ASSERT_TRUE(Sound().GetSound(flat, e));
    EXPECT_EQ(e.volume, 0);
}

// The per-frame reclaim (one finished effect a call, looping ones kept),
// then ReleaseAll, which empties every channel and entry until the next play.
TEST_F(SoundPoolTest, UpdateReclaimsOneFinishedEffectPerCallAndReleaseAllReloadsOnTheNextPlay)
{
    const int looping = Sound().LoadSound(WriteEffect("loop.sfx", 300, 0.1).c_str(), false, 1);
    const int shortOne = Sound().LoadSound(WriteEffect("short.sfx", 600, 0.05).c_str(), false, 1);
    Sound().PlaySound(looping, true);
    for (int i = 0; i < 3; ++i)
        Sound().PlaySound(shortOne, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 4u);

    ASSERT_TRUE(WaitForFinished(3));
    for (size_t expected : {3u, 2u, 1u, 1u})
    {
        Sound().Update();
        EXPECT_EQ(Sound().GetPlaying().size(), expected);
    }
    DWORD status = 0;
    ASSERT_EQ(Sound().GetPlaying()[0].buffer->GetStatus(&status), DS_OK);
    EXPECT_TRUE(status & DSBSTATUS_LOOPING);

    Silence();
    const std::string path = WriteEffect("a.sfx", 440, 0.5);
    const int a = Sound().LoadSound(path.c_str(), true, 2);
    const int b = Sound().LoadSound(WriteEffect("b.sfx", 660, 0.5).c_str(), false, 2);
    Sound().SetSoundVolume(a, -300);
    Sound().PlaySound(a, true);
    Sound().PlaySound(b, true);

    Sound().ReleaseAll();
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    for (const SoundChannel& c : Sound().GetPlaying())
    {
        EXPECT_EQ(c.buffer, nullptr);
        EXPECT_EQ(c.buffer3D, nullptr);
    }
    SoundEntry e;
    ASSERT_TRUE(Sound().GetSound(a, e));
    EXPECT_TRUE(e.data.empty());
    EXPECT_EQ(e.dataSize, 22050u);
    EXPECT_EQ(e.volume, -300);
    EXPECT_TRUE(e.is3D);
    Sound().Update(); // every emptied record goes in one pass
    EXPECT_TRUE(Sound().GetPlaying().empty());

    // Handles stay; the samples come back from the file.
    EXPECT_EQ(Sound().LoadSound(path.c_str(), false, 0), a);
    WriteEffect("a.sfx", 440, 0.25);
    Sound().PlaySound(a, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 1u);
    EXPECT_NE(Sound().GetPlaying()[0].buffer3D, nullptr);
    ASSERT_TRUE(Sound().GetSound(a, e));
    EXPECT_EQ(e.dataSize, 11024u);
    EXPECT_EQ(e.data.size(), 11024u);

    // A file gone by then: a log line, nothing plays, the entry stays.
    Sound().ReleaseAll();
    DeleteFileA("base/b.sfx");
    Sound().PlaySound(b, false);
    Sound().Update();
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_NE(Log().find("Failed loading sound \"./base/b.sfx\": the file cannot be opened"),
              std::string::npos);
    EXPECT_EQ(Sound().GetSoundCount(), 4u);
}

using SoundChannels = SoundTest;

TEST_F(SoundChannels, FullChannelsRefuseLowerPrioritiesAndGiveWayToHigherOnes)
{
    ASSERT_EQ(StartSound("Channels=2"), S_OK);
    const size_t consoleLines = engine->GetLines().size();
    int h[5];
    for (int p = 0; p < 5; ++p)
        h[p] = Sound().LoadSound(
            WriteEffect("p" + std::to_string(p) + ".sfx", 300 + 100 * p, 0.5).c_str(), false, p);
    // Each play, then the priorities playing after it.
    const struct
    {
        int priority;
        std::vector<int32_t> after;
        const char* why;
    } plays[] = {
        {1, {1}, "a free channel"},
        {2, {1, 2}, "a free channel"},
        {0, {1, 2}, "priority 0 never takes a channel"},
        {1, {1, 2}, "no channel of lower priority than 1"},
        {3, {2, 3}, "the first lower one, in play order, goes"},
        {4, {3, 4}, "the lower one goes"},
        {4, {4, 4}, "the lower one goes"},
        {4, {4, 4}, "no channel of lower priority than 4"},
    };
    for (const auto& play : plays)
    {
        Sound().PlaySound(h[play.priority], true);
        EXPECT_EQ(PlayingPriorities(), play.after) << play.why;
    }
    EXPECT_EQ(engine->GetLines().size(), consoleLines); // giving up is silent
}
