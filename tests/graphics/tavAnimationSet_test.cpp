#include "graphics/tavAnimationSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
// An AnimationKey record's bytes as the file reader hands them over.
struct KeyRecord
{
    std::vector<uint8_t> bytes;
    KeyRecord(uint32_t type, uint32_t count) { Word(type).Word(count); }
    KeyRecord& Word(uint32_t w)
    {
        for (int i = 0; i < 32; i += 8)
            bytes.push_back(uint8_t(w >> i));
        return *this;
    }
    KeyRecord& Key(uint32_t time, std::vector<float> values)
    {
        Word(time).Word(uint32_t(values.size()));
        for (float v : values)
            bytes.insert(bytes.end(), (uint8_t*)&v, (uint8_t*)&v + 4);
        return *this;
    }
    bool Into(tavAnimationSet::Track& track) const
    {
        std::string error;
        return tavAnimationSet::ReadKeys(bytes.data(), bytes.size(), track, error);
    }
};

// The track puts (1, 0, 0) at `want` at `time`.
::testing::AssertionResult Puts(const tavAnimationSet::Track& track, double time,
                                std::vector<float> want)
{
    const float x[3] = {1, 0, 0};
    float out[3];
    tavAnimationSet::Sample(track, time).TransformPoint(x, out);
    for (int i = 0; i < 3; ++i)
        if (std::fabs(out[i] - want[i]) > 1e-4f)
            return ::testing::AssertionFailure()
                   << "at " << time << ": (" << out[0] << ", " << out[1] << ", " << out[2] << ")";
    return ::testing::AssertionSuccess();
}

const float kHalf = std::sqrt(0.5f);
} // namespace

TEST(tavAnimationSet, KeysScaleRotateTranslateTakeTheShorterArcAndMatrixKeysWin)
{
    // Rotation keys out of order are sorted by time on reading; w comes first.
    tavAnimationSet::Track track;
    ASSERT_TRUE(KeyRecord(tavAnimationSet::ScaleKeys, 1).Key(0, {2, 2, 2}).Into(track));
    ASSERT_TRUE(KeyRecord(tavAnimationSet::RotationKeys, 2)
                    .Key(100, {kHalf, 0, kHalf, 0})
                    .Key(0, {1, 0, 0, 0})
                    .Into(track));
    ASSERT_TRUE(KeyRecord(tavAnimationSet::TranslationKeys, 2)
                    .Key(0, {0, 0, 0})
                    .Key(100, {0, 0, 10})
                    .Into(track));
    // Doubled, a quarter turn about y (x goes to -z), moved; halfway half; held at either end.
    EXPECT_TRUE(Puts(track, 100, {0, 0, 8}));
    EXPECT_TRUE(Puts(track, 50, {2 * kHalf, 0, 5 - 2 * kHalf}));
    EXPECT_TRUE(Puts(track, 900, {0, 0, 8}));
    EXPECT_TRUE(Puts(track, NAN, {2, 0, 0}));
    // The same quarter turn written as its negative: no detour the long way.
    tavAnimationSet::Track turn;
    ASSERT_TRUE(KeyRecord(tavAnimationSet::RotationKeys, 2)
                    .Key(0, {1, 0, 0, 0})
                    .Key(10, {-kHalf, 0, -kHalf, 0})
                    .Into(turn));
    EXPECT_TRUE(Puts(turn, 5, {kHalf, 0, -kHalf}));
    std::vector<float> a(16, 0.0f), b(16, 0.0f);
    for (int i = 0; i < 4; ++i)
        a[i * 5] = b[i * 5] = 1.0f;
    b[12] = 4.0f; // translation x
    ASSERT_TRUE(KeyRecord(tavAnimationSet::MatrixKeys, 2).Key(0, a).Key(10, b).Into(turn));
    EXPECT_TRUE(Puts(turn, 5, {3, 0, 0}));
}

TEST(tavAnimationSet, TimeRepeatsWithThePeriodOfTheLastKey)
{
    tavAnimationSet set("Walk");
    EXPECT_EQ(set.TicksAt(3.0), 0.0); // nothing to play
    ASSERT_TRUE(KeyRecord(tavAnimationSet::TranslationKeys, 2)
                    .Key(0, {0, 0, 0})
                    .Key(2400, {1, 0, 0})
                    .Into(set.TrackFor("LeftLeg")));
    ASSERT_TRUE(
        KeyRecord(tavAnimationSet::ScaleKeys, 1).Key(4800, {1, 1, 1}).Into(set.TrackFor("Body")));
    EXPECT_EQ(set.GetPeriod(), 4800u);
    EXPECT_DOUBLE_EQ(set.TicksAt(1.25), 1200.0);
    set.SetTicksPerSecond(9600.0);
    EXPECT_DOUBLE_EQ(set.TicksAt(0.25), 2400.0);
    EXPECT_DOUBLE_EQ(set.TicksAt(-0.25), 2400.0);
}
