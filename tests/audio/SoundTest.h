#pragma once
// A test engine with sound: effects written into ./base/ of its private folder,
// frames that also run the sound update, and the log and the console read back.

#include "audio/WaveImage.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <string>
#include <vector>

inline std::string Li(const std::string& text)
{
    return "<li>" + text + "</li>";
}
double Now(); // seconds on the performance counter

// Runs the test suite.DISABLED_test of this program in a child process and
// judges it by the child's GoogleTest report, not by its exit: Wine's
// DirectMusic keeps the sound card open in audio paths it never frees, and
// the exit of a process that started music crashes now and again.
::testing::AssertionResult PassesInChildProcess(const std::string& suite, const std::string& test);

class SoundTest : public EngineTest
{
protected:
    void SetUp() override { CreateDirectoryA("base", nullptr); }
    // Stops a running engine first, in the same folder.
    HRESULT StartSound(const std::string& extraKeys = "", bool music = false)
    {
        StopEngine();
        settings.useMusic = music;
        return StartEngine(extraKeys);
    }
    tavDSound& Sound() { return *engine; }
    // Writes ./base/<name> holding a tone; returns "./base/<name>", as the game passes it.
    std::string WriteEffect(const std::string& name, double hz, double seconds,
                            const WaveLayout& layout = WaveLayout(), double amplitude = 0.5)
    {
        WriteBytes("base/" + name, WaveImage(layout, ToneSamples(layout, hz, seconds, amplitude)));
        return "./base/" + name;
    }
    // Copies the MP3 made at build time (see CMakeLists.txt) to ./base/<name>.
    std::string CopyMp3(const std::string& name);
    // Loop passes with the sound update, as TAV::Run makes them.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i, Sound().Update())
            Pump();
    }
    void ExpectLog(const std::vector<std::string>& lines)
    {
        std::string missing;
        EXPECT_TRUE(ContainsInOrder(Log(), lines, &missing)) << "missing: " << missing;
    }
    // Console lines from the last one equal to `first` to the newest, one a line.
    std::string ConsoleFrom(const std::string& first) const;
};
