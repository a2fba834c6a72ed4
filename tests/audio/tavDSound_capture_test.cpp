// What the sound card really plays, read back from the session's recording of
// it (TAV_AUDIO_CAPTURE: s16le, 48 kHz, stereo, the card's whole output in real
// time). These tests listen, so they run alone (SERIAL).
#include "audio/SoundTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace
{
const int Rate = 48000;
// Where and how long a tone is found: 20 ms windows, a card that mixes in periods
// of about 10 ms and on a busy machine now and then leaves a gap or repeats one.
constexpr double Slack = 0.12;

// Where a tone holds most of the energy of 20 ms windows that are not silent:
// start of the first such window and their total length.
struct ToneRun
{
    bool found = false;
    double start = 0, seconds = 0;
};

ToneRun FindTone(const std::vector<float>& x, double hz)
{
    ToneRun run;
    const size_t size = size_t(0.02 * Rate);
    const double coeff = 2.0 * std::cos(2.0 * 3.14159265358979323846 * hz / Rate);
    for (size_t first = 0; first + size <= x.size(); first += size)
    {
        double s1 = 0, s2 = 0, energy = 0; // Goertzel
        for (size_t i = first; i < first + size; ++i)
        {
            const double s0 = x[i] + coeff * s1 - s2;
            s2 = s1;
            s1 = s0;
            energy += double(x[i]) * x[i];
        }
        const double share = 2.0 * (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (double(size) * energy);
        if (std::sqrt(energy / double(size)) < 0.005 || share < 0.3) continue; // silent or not it
        if (!run.found) run.start = double(first) / Rate;
        run.found = true;
        run.seconds += double(size) / Rate;
    }
    return run;
}

class SoundCaptureTest : public SoundTest
{
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        char unixPath[MAX_PATH] = {};
        if (!GetEnvironmentVariableA("TAV_AUDIO_CAPTURE", unixPath, MAX_PATH) || unixPath[0] != '/')
            GTEST_SKIP() << "this session records no sound card (TAV_AUDIO_CAPTURE)";
        path = std::string("Z:") + unixPath; // Wine's drive Z: is the Unix root
        std::replace(path.begin(), path.end(), '/', '\\');
        ASSERT_GE(Size(), 0);
    }
    int64_t Size() const { return std::ifstream(path, std::ios::binary | std::ios::ate).tellg(); }
    // Later listens start at what is recorded by now.
    void Mark() { mark = Size() - Size() % 4; }
    // `seconds` of sound from the mark, running frames until they are recorded.
    std::vector<float> Listen(double seconds)
    {
        const int64_t wanted = int64_t(seconds * Rate) * 4;
        for (const double until = Now() + seconds + 10.0; Size() < mark + wanted && Now() < until;
             Sleep(5))
            Frames(1);
        std::vector<char> raw(static_cast<size_t>(wanted));
        std::ifstream file(path, std::ios::binary);
        EXPECT_TRUE(file.seekg(mark).read(raw.data(), wanted)) << "the recording did not grow";
        std::vector<float> mix(size_t(file.gcount()) / 4); // left and right together
        for (size_t i = 0; i < mix.size() * 4; i += 2)
            mix[i / 4] += float(int16_t(uint8_t(raw[i]) | (uint8_t(raw[i + 1]) << 8))) / 65536.0f;
        return mix;
    }
    std::string path;
    int64_t mark = 0;
};
} // namespace

TEST_F(SoundCaptureTest, EffectsAreHeardAtTheirTimesWithTheirTonesAndAnMp3UntilItsEnd)
{
    ASSERT_EQ(StartSound(), S_OK);
    const int low = Sound().LoadSound(WriteEffect("low.sfx", 440, 0.3).c_str(), false, 4);
    const int high =
        Sound().LoadSound(WriteEffect("high.sfx", 1250, 0.2, {2, 44100}).c_str(), false, 4);
    Frames(5);
    Mark();
    const double markTime = Now();
    Sound().PlaySound(low, false);
    const double lowTime = Now();
    while (Now() < lowTime + 0.6)
        Frames(1);
    const double highTime = Now();
    Sound().PlaySound(high, false);
    std::vector<float> heard = Listen(1.8);
    const ToneRun a = FindTone(heard, 440), b = FindTone(heard, 1250);
    ASSERT_TRUE(a.found);
    ASSERT_TRUE(b.found);
    EXPECT_LT(a.start, lowTime - markTime + 0.5) << "more than half a second late";
    EXPECT_NEAR(b.start - a.start, highTime - lowTime, Slack);
    // Each tone as long as its effect, counted window by window (a late period does not count).
    EXPECT_NEAR(a.seconds, 0.3, Slack);
    EXPECT_NEAR(b.seconds, 0.2, Slack);
    const int tune = Sound().LoadMp3(CopyMp3("tune.mp3").c_str());
    ASSERT_EQ(tune, 0);
    Mark();
    ASSERT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
    EXPECT_TRUE(Sound().IsMp3Playing(tune));
    heard = Listen(1.8);
    // The decoder shares two busy cores and may stutter: most of the tune, not all.
    const ToneRun run = FindTone(heard, TAV_TEST_MP3_HZ);
    ASSERT_TRUE(run.found);
    EXPECT_LT(run.start, 1.0);
    EXPECT_GT(run.seconds, 0.6 * TAV_TEST_MP3_SECONDS);
    for (const double until = Now() + 3.0; Sound().IsMp3Playing(tune) && Now() < until;)
        Frames(1);
    EXPECT_FALSE(Sound().IsMp3Playing(tune));
}
