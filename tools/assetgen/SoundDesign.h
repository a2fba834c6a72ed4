#pragma once
// The game's sound effects, synthesised: mono samples in -1..1 at
// SoundDesign::SampleRate, peak-normalised, starting and ending in silence.

#include <cstdint>
#include <vector>

namespace assetgen
{

class SoundDesign
{
public:
    static const uint32_t SampleRate = 22050;

    // The chicken lands in the sea: a noisy impact with a falling filter,
    // a low thump, then bubbles and a few drops.
    static std::vector<float> Splash();
    // A spring "boing" with a rising whoosh.
    static std::vector<float> Jumped();
    // Idle clucks 0 to 4: different pitches, vowels and rhythms.
    static std::vector<float> Cluck(int variant);
    // The chicken bursts: a pitched pop with a wet squelch.
    static std::vector<float> Pop();
    // Number of cluck variants.
    static const int CluckCount = 5;

private:
    static void Finish(std::vector<float>& samples, float peak);
};

} // namespace assetgen
