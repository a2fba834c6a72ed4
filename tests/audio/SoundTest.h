#pragma once
// A test engine with sound: effects written by the test into ./base/ of
// its private folder, frames that also run the sound update (TAV::Step
// leaves it to the host), and the console's lines for reading reports.

#include "audio/WaveImage.h"
#include "support/TestEngine.h"

#include <string>
#include <vector>

class SoundTest : public EngineTest
{
protected:
    void SetUp() override;

    // Starts the engine (see EngineTest::StartEngine) with music if asked.
    HRESULT StartSound(const std::string& extraKeys = "", bool music = false);
    // Stops the engine and starts a new one in the same folder. The engine
    // leaves its window behind at release (a process normally ends there),
    // and a window with our caption would make the new one a second copy.
    HRESULT RestartSound(const std::string& extraKeys = "", bool music = false);
    tavDSound& Sound() { return *engine; }

    // Writes ./base/<name> holding a tone; returns the path as the game
    // would pass it ("./base/<name>").
    std::string WriteEffect(const std::string& name, double hz, double seconds,
                            const WaveLayout& layout = WaveLayout(), double amplitude = 0.5);
    // Loop passes with the sound update, as TAV::Run makes them.
    void Frames(int count);
    // Loop passes for about `seconds`.
    void RunFor(double seconds);

    // Console lines from the first one equal to `first` to the newest.
    std::vector<std::string> ConsoleFrom(const std::string& first) const;
    bool ConsoleHas(const std::string& text) const;
    std::vector<int32_t> PlayingPriorities();
};

// Seconds on the performance counter.
double Now();
