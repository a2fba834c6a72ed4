// The sound effect pool: loading, the channel limit and priorities, the
// per-frame reclaim, ReleaseAll and the stored 3D settings; MP3 through DirectShow.
#include "audio/SoundTest.h"

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
    int Load(const std::string& name, double seconds, bool is3D, int priority,
             const WaveLayout& layout = WaveLayout())
    {
        return Sound().LoadSound(WriteEffect(name, 440, seconds, layout).c_str(), is3D, priority);
    }
    // Nothing playing: every channel released and reclaimed.
    void Silence()
    {
        Sound().ReleaseAll();
        Sound().Update();
        ASSERT_TRUE(Sound().GetPlaying().empty());
    }
};
} // namespace

TEST_F(SoundPoolTest, LoadsOnceByPathSettersReachTheNextPlayUpdateReclaimsOneAtATimeAndMp3sPlay)
{
    EXPECT_EQ(std::vector<int>({Load("Splash.sfx", 0.2, false, 4), Load("pop.sfx", 0.2, true, 0),
                                Load("wide.sfx", 0.2, true, 4, {2}),
                                // a path again in any case: the same effect, arguments ignored
                                Sound().LoadSound("./BASE/sPLASH.SFX", true, 0),
                                Sound().LoadSound("./base/POP.sfx", false, 9)}),
              std::vector<int>({0, 1, 2, 0, 1}));
    EXPECT_EQ(Sound().GetSoundCount(), 3u);
    SoundEntry e[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Sound().GetSound(i, e[i]));
    EXPECT_EQ(e[0].name, "./base/Splash.sfx");
    EXPECT_EQ((std::vector<int>{e[0].priority, e[0].is3D, e[1].priority, e[1].is3D, e[2].is3D}),
              (std::vector<int>{4, false, 0, true, false}))
        << "a stereo effect is never 3D";
    Sound().PlaySound(2, false);
    Sound().PlaySound(1, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    EXPECT_TRUE(Sound().GetPlaying()[0].buffer && !Sound().GetPlaying()[0].buffer3D);
    EXPECT_NE(Sound().GetPlaying()[1].buffer3D, nullptr);
    // Unusable files give -1 and a log line with the reason; -1 plays nothing.
    Silence();
    const int good = Load("good.sfx", 0.1, false, 4);
    EXPECT_EQ(Sound().LoadSound("./base/missing.sfx", false, 4), -1);
    ExpectLog({"<font color=\"red\">Failed loading sound \"./base/missing.sfx\": the file cannot "
               "be opened"});
    EXPECT_EQ(Sound().GetSoundCount(), 4u);
    const size_t consoleLines = engine->GetLines().size();
    Sound().PlaySound(-1, false);
    Sound().PlaySound(7, true);
    Sound().SetSoundVolume(7, -100);
    Sound().SetSoundPosition(-1, {1, 2, 3});
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_EQ(engine->GetLines().size(), consoleLines);
    // A header the card cannot take loads as the file says and is refused when it plays.
    std::vector<uint8_t> lying = WaveImage(WaveLayout(), ToneSamples(WaveLayout(), 440, 0.1));
    Put(lying, 20, 2, 2);
    WriteBytes("base/odd.sfx", lying);
    const int odd = Sound().LoadSound("./base/odd.sfx", false, 4);
    EXPECT_EQ(odd, 4);
    EXPECT_EQ(ConsoleFrom("Failed to create the initial sound buffer."), "");
    Sound().PlaySound(odd, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_EQ(ConsoleFrom("Failed to create the initial sound buffer."),
              "Failed to create the initial sound buffer.\n");
    Sound().PlaySound(good, false);
    EXPECT_EQ(Sound().GetPlaying().size(), 1u);
    Frames(3);
    EXPECT_FALSE(engine->IsQuitting());
    // The 3D settings and the volume reach only the next play.
    Silence();
    const int h = Load("a.sfx", 0.5, true, 1), flat = Load("flat.sfx", 0.5, false, 1);
    Sound().SetSoundPosition(h, {1, 2, 3});
    Sound().SetSoundVelocity(h, {4, 5, 6});
    Sound().SetSoundDistances(h, 2.5f, 50.0f);
    Sound().SetSoundCone(h, 90, 180, -600, {0, 0, 1});
    Sound().SetSoundVolume(flat, -1200);
    Sound().PlaySound(h, true);
    Sound().PlaySound(flat, true);
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    Sound().SetSoundPosition(h, {9, 9, 9});
    Sound().SetSoundVolume(flat, 0);
    DS3DBUFFER p = {};
    p.dwSize = sizeof(p);
    ASSERT_EQ(Sound().GetPlaying()[0].buffer3D->GetAllParameters(&p), DS_OK);
    EXPECT_EQ((std::vector<float>{p.vPosition.x, p.vPosition.z, p.vVelocity.y, p.flMinDistance,
                                  p.flMaxDistance, p.vConeOrientation.z, float(p.dwInsideConeAngle),
                                  float(p.dwOutsideConeAngle), float(p.lConeOutsideVolume)}),
              (std::vector<float>{1, 3, 5, 2.5f, 50, 1, 90, 180, -600}));
    LONG volume = 0; // (a 3D buffer's would read back with the distance attenuation in it)
    ASSERT_EQ(Sound().GetPlaying()[1].buffer->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -1200);
    ASSERT_TRUE(Sound().GetSound(h, e[0]) && Sound().GetSound(flat, e[1]));
    EXPECT_EQ(std::make_pair(e[0].params3D.vPosition.x, e[1].volume), std::make_pair(9.0f, 0))
        << "stored for the next play";

    // The per-frame reclaim (one finished effect a call, looping ones kept), then
    // ReleaseAll, which empties every channel and entry until the next play.
    Silence();
    const int looping = Load("loop.sfx", 0.1, false, 1),
              shortOne = Load("short.sfx", 0.05, false, 1);
    Sound().PlaySound(looping, true);
    for (int i = 0; i < 3; ++i)
        Sound().PlaySound(shortOne, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 4u);
    auto status = [&](size_t i)
    {
        DWORD s = 0;
        const IDirectSoundBuffer8* b = Sound().GetPlaying()[i].buffer;
        return b && SUCCEEDED(Sound().GetPlaying()[i].buffer->GetStatus(&s)) ? s : DWORD(-1);
    };
    // Waits without the sound update until the three short ones have finished.
    size_t done = 0;
    for (const double until = Now() + 5.0; done < 3 && Now() < until; Sleep(10))
    {
        done = 0;
        for (size_t i = 0; i < 4; ++i)
            done += !(status(i) & DSBSTATUS_PLAYING);
    }
    ASSERT_EQ(done, 3u);
    for (size_t expected : {3u, 2u, 1u, 1u})
    {
        Sound().Update();
        EXPECT_EQ(Sound().GetPlaying().size(), expected);
    }
    EXPECT_TRUE(status(0) & DSBSTATUS_LOOPING);
    Silence();
    const int a = Load("c.sfx", 0.5, true, 2), b = Load("d.sfx", 0.5, false, 2);
    Sound().SetSoundVolume(a, -300);
    Sound().PlaySound(a, true);
    Sound().PlaySound(b, true);
    Sound().ReleaseAll();
    ASSERT_EQ(Sound().GetPlaying().size(), 2u);
    for (const SoundChannel& c : Sound().GetPlaying())
        EXPECT_TRUE(c.buffer == nullptr && c.buffer3D == nullptr);
    ASSERT_TRUE(Sound().GetSound(a, e[0]));
    EXPECT_EQ((std::vector<int>{int(e[0].data.size()), int(e[0].dataSize), e[0].volume, e[0].is3D}),
              (std::vector<int>{0, 22050, -300, true}));
    Sound().Update(); // every emptied record goes in one pass
    EXPECT_TRUE(Sound().GetPlaying().empty());
    // Handles stay; the samples come back from the file.
    EXPECT_EQ(Sound().LoadSound("./base/c.sfx", false, 0), a);
    WriteEffect("c.sfx", 440, 0.25);
    Sound().PlaySound(a, false);
    ASSERT_EQ(Sound().GetPlaying().size(), 1u);
    EXPECT_NE(Sound().GetPlaying()[0].buffer3D, nullptr);
    ASSERT_TRUE(Sound().GetSound(a, e[0]));
    EXPECT_EQ(std::make_pair(size_t(e[0].dataSize), e[0].data.size()),
              std::make_pair(size_t(11024), size_t(11024)));
    // A file gone by then: a log line, nothing plays, the entry stays.
    Sound().ReleaseAll();
    DeleteFileA("base/d.sfx");
    Sound().PlaySound(b, false);
    Sound().Update();
    EXPECT_TRUE(Sound().GetPlaying().empty());
    ExpectLog({"Failed loading sound \"./base/d.sfx\": the file cannot be opened"});
    EXPECT_EQ(Sound().GetSoundCount(), 11u);

    // MP3 through DirectShow; without music no MIDI loads.
    WriteTextFile("base/song.mid", "MThd");
    EXPECT_EQ(Sound().LoadMidi("./base/song.mid"), -1);
    Sound().StopMidi(-1);
    Sound().StopMp3(5);
    EXPECT_EQ(Sound().PlayMp3(-1), S_OK);
    EXPECT_FALSE(Sound().IsMidiPlaying(-1) || Sound().IsMp3Playing(-1));
    WriteTextFile("base/notes.mp3", "These are the notes for a tune, not the tune itself.\n");
    for (const char* bad : {"./base/notes.mp3", "./base/gone.mp3"})
        EXPECT_EQ(Sound().LoadMp3(bad), -1) << bad;
    ExpectLog({"Failed rendering MP3 \"./base/notes.mp3\" (0x",
               "Failed rendering MP3 \"./base/gone.mp3\" (0x"});
    EXPECT_EQ(Sound().GetMp3Count(), 0u);
    // No ./base/log/ here: the tune plays without its graph log.
    int tune = Sound().LoadMp3(CopyMp3("tune.mp3").c_str());
    ASSERT_EQ(tune, 0);
    ExpectLog({"Could not open the graph log .\\base\\log\\graph.log; playing "
               "\"./base/tune.mp3\" without it."});
    EXPECT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
    Frames(3);
    EXPECT_FALSE(engine->IsQuitting());
    Sound().StopMp3(tune);
    CreateDirectoryA("base\\log", nullptr);
    WriteTextFile("base/log/graph.log", "left over from an older run");
    const size_t logFrom = Log().size();
    tune = Sound().LoadMp3(CopyMp3("tune2.mp3").c_str());
    ASSERT_EQ(tune, 1);
    EXPECT_NE(ReadTextFile("base/log/graph.log"), "left over from an older run");
    EXPECT_EQ(Log().find("graph log", logFrom), std::string::npos);
    EXPECT_TRUE(Sound().IsMp3Playing(tune))
        << "playing is \"before the end\": not yet started counts";
    ASSERT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
    EXPECT_TRUE(Sound().IsMp3Playing(tune));
    Sound().ReportStatistics(engine.get());
    EXPECT_NE(ConsoleFrom("#1 \"./base/tune2.mp3\" Playing"), "");
    Sound().StopMp3(tune);
    EXPECT_FALSE(Sound().IsMp3Playing(tune));
    // Released at a scene change, built again by the next play.
    Sound().ReleaseAll();
    EXPECT_FALSE(Sound().IsMp3Playing(tune));
    ASSERT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
    EXPECT_TRUE(Sound().IsMp3Playing(tune));
    Sound().SetMusicEnabled(false);
    EXPECT_EQ(Sound().PlayMp3(tune), S_FALSE);
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
        std::vector<int32_t> priorities;
        for (const SoundChannel& channel : Sound().GetPlaying())
            priorities.push_back(channel.priority);
        EXPECT_EQ(priorities, play.after) << play.why;
    }
    EXPECT_EQ(engine->GetLines().size(), consoleLines) << "giving up is silent";
}
