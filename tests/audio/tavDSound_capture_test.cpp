// What the sound card really plays, read back from the session's recording
// of it. These tests listen, so they run alone (SERIAL).
#include "audio/AudioCapture.h"
#include "audio/SoundTest.h"

#include <gtest/gtest.h>

namespace
{
class SoundCaptureTest : public SoundTest
{
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        if (!capture.Open())
            GTEST_SKIP() << "this session records no sound card (TAV_AUDIO_CAPTURE)";
    }
    // Records `seconds` from the mark, running frames meanwhile.
    StereoSignal Listen(double seconds)
    {
        StereoSignal signal;
        EXPECT_TRUE(capture.Read(seconds, signal, [this] { Frames(1); }))
            << "the recording did not grow";
        return signal;
    }
    StereoSignal PlayAndListen(int handle, double seconds)
    {
        capture.Mark();
        Sound().PlaySound(handle, false);
        return Listen(seconds);
    }

    AudioCapture capture;
};

// Tolerance for where and how long a tone is found: the windows are 20 ms,
// the card mixes in periods of about 10 ms, and on a busy machine the mixer
// now and then falls behind, which leaves a gap or a repeated period.
constexpr double Slack = 0.12;
} // namespace

TEST_F(SoundCaptureTest, EffectsAreHeardAtTheirTimesWithTheirTonesOnTheirSidesAndAnMp3UntilItsEnd)
{
    {
        ASSERT_EQ(StartSound(), S_OK);
        const int low = Sound().LoadSound(WriteEffect("low.sfx", 440, 0.3).c_str(), false, 4);
        WaveLayout stereo;
        stereo.channels = 2;
        stereo.sampleRate = 44100;
        const int high =
            Sound().LoadSound(WriteEffect("high.sfx", 1250, 0.2, stereo).c_str(), false, 4);
        Frames(5);

        capture.Mark();
        const double markTime = Now();
        Sound().PlaySound(low, false);
        const double lowTime = Now();
        while (Now() < lowTime + 0.6)
            Frames(1);
        const double highTime = Now();
        Sound().PlaySound(high, false);
        const StereoSignal heard = Listen(1.8);
        const ToneRun a = FindTone(heard.Mix(), heard.rate, 440);
        const ToneRun b = FindTone(heard.Mix(), heard.rate, 1250);
        ASSERT_TRUE(a.found);
        ASSERT_TRUE(b.found);
        EXPECT_LT(a.start, lowTime - markTime + 0.5) << "more than half a second late";
        EXPECT_NEAR(b.start - a.start, highTime - lowTime, Slack);
        // Each tone as long as its effect (counted window by window, so that a
        // late period does not stretch it).
        EXPECT_NEAR(a.seconds, 0.3, Slack);
        EXPECT_NEAR(b.seconds, 0.2, Slack);
    }

    {
        const int h = Sound().LoadSound(WriteEffect("side.sfx", 700, 0.3).c_str(), true, 4);
        Frames(5); // the camera puts the listener at (0, 0, -1), facing +z
        double leftOverRight[2];
        for (int i = 0; i < 2; ++i)
        {
            Sound().SetSoundPosition(h, {i ? 6.0f : -6.0f, 0.0f, -1.0f});
            const StereoSignal heard = PlayAndListen(h, 0.8);
            const ToneRun run = FindTone(heard.Mix(), heard.rate, 700);
            ASSERT_TRUE(run.found);
            const size_t first = size_t(run.start * heard.rate);
            const size_t count = size_t(run.Length() * heard.rate);
            leftOverRight[i] = Rms(heard.left, first, count) / Rms(heard.right, first, count);
        }
        EXPECT_GT(leftOverRight[0], 1.5) << "placed on the left";
        EXPECT_LT(leftOverRight[1], 1.0 / 1.5) << "placed on the right";
    }

    {
        const int tune = Sound().LoadMp3(CopyMp3("tune.mp3").c_str());
        ASSERT_EQ(tune, 0);
        capture.Mark();
        ASSERT_TRUE(SUCCEEDED(Sound().PlayMp3(tune)));
        EXPECT_TRUE(Sound().IsMp3Playing(tune));
        const StereoSignal heard = Listen(1.8);
        // The decoder runs on the same two busy cores as everything else and
        // may stutter, so ask for most of the tune rather than all of it.
        const ToneRun run = FindTone(heard.Mix(), heard.rate, TAV_TEST_MP3_HZ);
        ASSERT_TRUE(run.found);
        EXPECT_LT(run.start, 1.0);
        EXPECT_GT(run.seconds, 0.6 * TAV_TEST_MP3_SECONDS);

        for (const double until = Now() + 3.0; Sound().IsMp3Playing(tune) && Now() < until;)
            Frames(1);
        EXPECT_FALSE(Sound().IsMp3Playing(tune));
    }
}

TEST_F(SoundCaptureTest, WithSoundOffNothingIsHeard)
{
    ASSERT_EQ(StartSound("Sound=0"), S_OK);
    const int h =
        Sound().LoadSound(WriteEffect("loud.sfx", 440, 0.3, WaveLayout(), 0.9).c_str(), false, 4);
    Frames(5);
    const StereoSignal heard = PlayAndListen(h, 0.8);
    EXPECT_LT(Peak(heard.left), 0.001);
    EXPECT_LT(Peak(heard.right), 0.001);

    // The same effect with sound on, for comparison.
    Sound().SetSoundEnabled(true);
    const StereoSignal control = PlayAndListen(h, 0.8);
    EXPECT_TRUE(FindTone(control.Mix(), control.rate, 440).found);
}
