#pragma once
// A test engine with sound: effects written by the test into ./base/ of
// its private folder, frames that also run the sound update (TAV::Step
// leaves it to the host), and the log and the console read back.

#include "audio/WaveImage.h"
#include "support/TestEngine.h"

#include <string>
#include <vector>

inline std::string Li(const std::string& text)
{
    return "<li>" + text + "</li>";
}

class SoundTest : public EngineTest
{
protected:
    void SetUp() override;

    // Starts the engine (see EngineTest::StartEngine) with music if asked;
    // an engine already running is stopped first, in the same folder.
    HRESULT StartSound(const std::string& extraKeys = "", bool music = false);
    tavDSound& Sound() { return *engine; }

    // Writes ./base/<name> holding a tone; returns the path as the game
    // would pass it ("./base/<name>").
    std::string WriteEffect(const std::string& name, double hz, double seconds,
                            const WaveLayout& layout = WaveLayout(), double amplitude = 0.5);
    // Copies the MP3 made at build time (see CMakeLists.txt) to ./base/<name>.
    std::string CopyMp3(const std::string& name);
    // Loop passes with the sound update, as TAV::Run makes them.
    void Frames(int count);

    // The log holds `lines` in this order / does not hold `text`.
    void ExpectLog(const std::vector<std::string>& lines);
    void ExpectNotInLog(const std::string& text);
    // Console lines from the first one equal to `first` to the newest.
    std::vector<std::string> ConsoleFrom(const std::string& first) const;
    bool ConsoleHas(const std::string& text) const;
    std::vector<int32_t> PlayingPriorities();
};

// Seconds on the performance counter.
double Now();
