// MP3 through DirectShow, and the music calls without music.
#include "audio/SoundTest.h"

#include <gtest/gtest.h>

using SoundMusicTest = SoundTest;

TEST_F(SoundMusicTest, BadFilesAndNoMusicAreHarmlessAndAnMp3WritesItsGraphLog)
{
    ASSERT_EQ(StartSound(), S_OK);
    // Without music no MIDI loads, and -1 or a number past the pools is harmless.
    WriteTextFile("base/song.mid", "MThd");
    EXPECT_EQ(Sound().LoadMidi("./base/song.mid"), -1);
    EXPECT_FALSE(Sound().IsMidiPlaying(-1));
    Sound().StopMidi(-1);
    EXPECT_EQ(Sound().PlayMp3(-1), S_OK);
    EXPECT_FALSE(Sound().IsMp3Playing(-1));
    Sound().StopMp3(5);
    WriteTextFile("base/notes.mp3", "These are the notes for a tune, not the tune itself.\n");
    for (const char* bad : {"./base/notes.mp3", "./base/gone.mp3"})
        EXPECT_EQ(Sound().LoadMp3(bad), -1) << bad;
    ExpectLog({"Failed rendering MP3 \"./base/notes.mp3\" (0x",
               "Failed rendering MP3 \"./base/gone.mp3\" (0x"});
    EXPECT_EQ(Sound().GetMp3Count(), 0u);
    // No ./base/log/ here: the tune plays without its graph log.
    int tune = Sound().LoadMp3(CopyMp3("tune.mp3").c_str());
    EXPECT_EQ(tune, 0);
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
