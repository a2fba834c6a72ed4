// MIDI through DirectMusic and MP3 through DirectShow.
#include "audio/ChildProcessTest.h"
#include "audio/SoundTest.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
// A one-track standard MIDI file: one note, a quarter long.
std::vector<uint8_t> OneNoteMidi()
{
    return {'M',  'T',  'h',  'd', 0, 0, 0, 6,  0, 0, 0, 1, 0, 96, // format 0, 1 track
            'M',  'T',  'r',  'k', 0, 0, 0, 12,                    // track of 12 bytes
            0x00, 0x90, 60,   100,                                 // note on
            0x60, 0x80, 60,   0,                                   // note off after 96 ticks
            0x00, 0xFF, 0x2F, 0x00};                               // end of track
}

using SoundMusicTest = SoundTest;
} // namespace

// Wine's DirectMusic loads MIDI files as empty segments and plays nothing,
// so only our side can be shown here: the load, the calls, the report.
// In a child process: see ChildProcessTest.h.
TEST(SoundMusic, MidiLoadsAndPlaysThroughDirectMusic_WineSegmentsAreSilent)
{
    EXPECT_TRUE(PassesInChildProcess("SoundMusicTest", "MidiLoadsAndPlays"));
}

TEST_F(SoundMusicTest, DISABLED_MidiLoadsAndPlays)
{
    ASSERT_EQ(StartSound("", true), S_OK);
    WriteBytes("base/song.mid", OneNoteMidi());
    const int song = Sound().LoadMidi("song.mid"); // found in the search directory, base
    ASSERT_EQ(song, 0);
    EXPECT_TRUE(SUCCEEDED(Sound().PlayMidi(song)));
    Frames(2);
    Sound().StopMidi(song);

    Sound().SetMusicEnabled(false);
    EXPECT_EQ(Sound().PlayMidi(song), S_FALSE);
    EXPECT_FALSE(Sound().IsMidiPlaying(song));

    // A file that does not load keeps its entry (and its name), playing
    // nothing; so does a name cut at MAX_PATH characters.
    EXPECT_EQ(Sound().LoadMidi("./base/none.mid"), 1);
    EXPECT_NE(Log().find("Failed loading MIDI \"./base/none.mid\""), std::string::npos);
    EXPECT_EQ(Sound().PlayMidi(1), S_OK);
    EXPECT_FALSE(Sound().IsMidiPlaying(1));
    const std::string longName = "./base/" + std::string(300, 'm') + ".mid";
    EXPECT_EQ(Sound().LoadMidi(longName.c_str()), 2);
    EXPECT_NE(Log().find("Failed loading MIDI \"" + longName + "\""), std::string::npos);
    EXPECT_EQ(Sound().GetMidiCount(), 3u);

    Sound().ReportStatistics(engine.get());
    EXPECT_TRUE(ConsoleHas("3 Pooled MIDIs"));
    EXPECT_TRUE(ConsoleHas("#0 \"song.mid\" Not Playing"));
    EXPECT_TRUE(ConsoleHas("#1 \"./base/none.mid\" Not Playing"));

    Sound().ReleaseAll();
    EXPECT_EQ(Sound().PlayMidi(song), S_OK); // no segment any more
    EXPECT_EQ(Sound().GetMidiCount(), 3u);
}

TEST_F(SoundMusicTest, BadFilesMinusOneAndNoMusicAreHarmlessAndAnMp3WritesItsGraphLog)
{
    {
        ASSERT_EQ(StartSound(), S_OK);
        // Without music no MIDI loads, and -1 or a number past the pools is harmless.
        WriteBytes("base/song.mid", OneNoteMidi());
        EXPECT_EQ(Sound().LoadMidi("./base/song.mid"), -1);
        EXPECT_EQ(Sound().PlayMidi(-1), S_OK);
        EXPECT_EQ(Sound().PlayMidi(3), S_OK);
        EXPECT_FALSE(Sound().IsMidiPlaying(-1));
        Sound().StopMidi(-1);
        EXPECT_EQ(Sound().PlayMp3(-1), S_OK);
        EXPECT_FALSE(Sound().IsMp3Playing(-1));
        Sound().StopMp3(5);

        WriteTextFile("base/notes.mp3", "These are the notes for a tune, not the tune itself.\n");
        for (const char* bad : {"./base/notes.mp3", "./base/gone.mp3"})
        {
            EXPECT_EQ(Sound().LoadMp3(bad), -1);
            EXPECT_NE(Log().find("Failed rendering MP3 \"" + std::string(bad) + "\" (0x"),
                      std::string::npos)
                << bad;
        }
        EXPECT_EQ(Sound().GetMp3Count(), 0u);

        // No ./base/log/ here: the tune plays without its graph log.
        const int tune = Sound().LoadMp3(CopyMp3("tune.mp3").c_str());
        EXPECT_EQ(tune, 0);
        ExpectLog({"Could not open the graph log .\\base\\log\\graph.log; playing "
                   "\"./base/tune.mp3\" without it."});
        EXPECT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
        Frames(3);
        EXPECT_FALSE(engine->IsQuitting());
        Sound().StopMp3(tune);
    }

    {
        CreateDirectoryA("base\\log", nullptr);
        WriteTextFile("base/log/graph.log", "left over from an older run");
        const size_t logFrom = Log().size();
        const int tune = Sound().LoadMp3(CopyMp3("tune2.mp3").c_str());
        ASSERT_EQ(tune, 1);
        EXPECT_NE(ReadTextFile("base/log/graph.log"), "left over from an older run");
        EXPECT_EQ(Log().find("graph log", logFrom), std::string::npos);
        // Playing is "before the end": a piece not yet started counts.
        EXPECT_TRUE(Sound().IsMp3Playing(tune));

        ASSERT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
        EXPECT_TRUE(Sound().IsMp3Playing(tune));
        Sound().ReportStatistics(engine.get());
        EXPECT_TRUE(ConsoleHas("#1 \"./base/tune2.mp3\" Playing"));
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
}
