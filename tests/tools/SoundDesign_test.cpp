#include "SoundDesign.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

namespace
{
struct Measure
{
    float seconds, peak, rms, mean;
    float ends; // the louder of the first and the last sample
    float tail; // loudest sample of the last 10 ms
};

Measure Of(const std::vector<float>& s)
{
    Measure m = {float(s.size()) / float(SoundDesign::SampleRate), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (float v : s)
    {
        m.peak = std::max(m.peak, std::fabs(v));
        m.rms += v * v;
        m.mean += v;
    }
    m.rms = std::sqrt(m.rms / float(s.size()));
    m.mean /= float(s.size());
    m.ends = std::max(std::fabs(s.front()), std::fabs(s.back()));
    for (size_t i = 0; i < SoundDesign::SampleRate / 100; ++i)
        m.tail = std::max(m.tail, std::fabs(s[s.size() - 1 - i]));
    return m;
}

// Zero crossings per second: a rough measure of pitch and brightness.
float Crossings(const std::vector<float>& s)
{
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i)
        n += (s[i - 1] < 0.0f) != (s[i] < 0.0f);
    return float(n) / (float(s.size()) / float(SoundDesign::SampleRate));
}
} // namespace

TEST(SoundDesign, EverySoundIsLoudButUnclippedAndStartsAndEndsInSilence)
{
    std::vector<std::vector<float>> all = {SoundDesign::Splash(), SoundDesign::Jumped(),
                                           SoundDesign::Pop()};
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
        all.push_back(SoundDesign::Cluck(i));
    std::vector<Measure> m;
    for (size_t i = 0; i < all.size(); ++i)
    {
        m.push_back(Of(all[i]));
        EXPECT_GT(m[i].peak, 0.6f) << i;
        EXPECT_LE(m[i].peak, 0.81f) << i;
        EXPECT_GT(m[i].rms, 0.04f) << i; // not a lone click
        EXPECT_LT(std::fabs(m[i].mean), 0.01f) << i;
        EXPECT_LT(m[i].ends, 0.01f) << i; // no click where playback starts or stops
        EXPECT_LT(m[i].tail, 0.05f) << i; // it has died away, not been cut off
        EXPECT_GT(m[i].seconds, 0.25f) << i;
        EXPECT_LT(m[i].seconds, 1.5f) << i;
    }
    // The splash is the longest event and a noise (many crossings), the
    // jump a tone; the pop the shortest.
    EXPECT_GT(m[0].seconds, m[1].seconds);
    EXPECT_LT(m[2].seconds, m[1].seconds);
    EXPECT_GT(Crossings(all[0]), Crossings(all[1]));
}

TEST(SoundDesign, TheFiveCluckesAreDifferentCalls)
{
    std::vector<Measure> clucks;
    std::vector<float> crossings;
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
    {
        const std::vector<float> s = SoundDesign::Cluck(i);
        clucks.push_back(Of(s));
        crossings.push_back(Crossings(s));
    }
    for (int a = 0; a < SoundDesign::CluckCount; ++a)
        for (int b = a + 1; b < SoundDesign::CluckCount; ++b)
        {
            const bool length =
                std::fabs(clucks[size_t(a)].seconds - clucks[size_t(b)].seconds) > 0.05f;
            const bool pitch = std::fabs(crossings[size_t(a)] - crossings[size_t(b)]) > 100.0f;
            EXPECT_TRUE(length || pitch)
                << "idle" << a + 1 << " and idle" << b + 1 << " sound alike";
        }
    // A hen's call, not a whistle or a hiss.
    for (float c : crossings)
    {
        EXPECT_GT(c, 600.0f);
        EXPECT_LT(c, 4000.0f);
    }
}
