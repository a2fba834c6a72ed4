#include "SoundDesign.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

namespace
{
struct Measure
{
    float seconds, peak = 0, rms = 0, mean = 0;
    float ends;      // the louder of the first and the last sample
    float tail = 0;  // loudest sample of the last 10 ms
    float crossings; // zero crossings per second: a rough measure of pitch and brightness
};

Measure Of(const std::vector<float>& s)
{
    Measure m;
    m.seconds = float(s.size()) / float(SoundDesign::SampleRate);
    int crossings = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        m.peak = std::max(m.peak, std::fabs(s[i]));
        m.rms += s[i] * s[i];
        m.mean += s[i];
        crossings += i > 0 && (s[i - 1] < 0.0f) != (s[i] < 0.0f);
        if (i + SoundDesign::SampleRate / 100 >= s.size())
            m.tail = std::max(m.tail, std::fabs(s[i]));
    }
    m.rms = std::sqrt(m.rms / float(s.size()));
    m.mean /= float(s.size());
    m.ends = std::max(std::fabs(s.front()), std::fabs(s.back()));
    m.crossings = float(crossings) / m.seconds;
    return m;
}
} // namespace

TEST(SoundDesign, EverySoundIsLoudButUnclippedStartsAndEndsInSilenceAndTheClucksDiffer)
{
    std::vector<Measure> m = {Of(SoundDesign::Splash()), Of(SoundDesign::Jumped()),
                              Of(SoundDesign::Pop())};
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
        m.push_back(Of(SoundDesign::Cluck(i)));
    for (size_t i = 0; i < m.size(); ++i)
    {
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
    EXPECT_GT(m[0].crossings, m[1].crossings);

    // The five clucks are different calls of a hen, not a whistle or a hiss.
    for (size_t a = 3; a < m.size(); ++a)
    {
        EXPECT_GT(m[a].crossings, 600.0f);
        EXPECT_LT(m[a].crossings, 4000.0f);
        for (size_t b = a + 1; b < m.size(); ++b)
            EXPECT_TRUE(std::fabs(m[a].seconds - m[b].seconds) > 0.05f ||
                        std::fabs(m[a].crossings - m[b].crossings) > 100.0f)
                << "idle" << a - 2 << " and idle" << b - 2 << " sound alike";
    }
}
