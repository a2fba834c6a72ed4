#include "graphics/tavAnimationSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{

// The bytes of an AnimationKey record as the file reader hands them over.
struct KeyRecord
{
    std::vector<uint8_t> bytes;

    KeyRecord(uint32_t type, uint32_t count) { Word(type), Word(count); }
    KeyRecord& Word(uint32_t w)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(w >> (8 * i)));
        return *this;
    }
    KeyRecord& Key(uint32_t time, std::vector<float> values)
    {
        Word(time).Word(uint32_t(values.size()));
        for (float v : values)
        {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            Word(bits);
        }
        return *this;
    }
};

bool Read(const KeyRecord& record, tavAnimationSet::Track& track)
{
    std::string error; // damaged records: the key record fuzz harness
    return tavAnimationSet::ReadKeys(record.bytes.data(), record.bytes.size(), track, error);
}

tavAnimationSet::Track Read(const KeyRecord& record)
{
    tavAnimationSet::Track track;
    EXPECT_TRUE(Read(record, track));
    return track;
}

void ExpectPoint(const tavMatrix4& m, const float in[3], float x, float y, float z)
{
    float out[3];
    m.TransformPoint(in, out);
    EXPECT_NEAR(out[0], x, 1e-4f);
    EXPECT_NEAR(out[1], y, 1e-4f);
    EXPECT_NEAR(out[2], z, 1e-4f);
}

const float kHalf = std::sqrt(0.5f);

} // namespace

TEST(tavAnimationSet, ScaleThenRotationThenTranslationBetweenKeys)
{
    tavAnimationSet::Track track = Read(KeyRecord(tavAnimationSet::ScaleKeys, 1).Key(0, {2, 2, 2}));
    // Rotation keys out of order: sorted by time on reading. w comes first.
    ASSERT_TRUE(Read(KeyRecord(tavAnimationSet::RotationKeys, 2)
                         .Key(100, {kHalf, 0, kHalf, 0})
                         .Key(0, {1, 0, 0, 0}),
                     track));
    ASSERT_TRUE(
        Read(KeyRecord(tavAnimationSet::TranslationKeys, 2).Key(0, {0, 0, 0}).Key(100, {0, 0, 10}),
             track));
    ASSERT_EQ(track.rotations.front().time, 0u);

    const float x[3] = {1, 0, 0};
    // At the last key: doubled, a quarter turn about y (x goes to -z), moved.
    ExpectPoint(tavAnimationSet::Sample(track, 100), x, 0, 0, 8);
    // Halfway: an eighth of a turn, half the way.
    ExpectPoint(tavAnimationSet::Sample(track, 50), x, 2 * kHalf, 0, 5 - 2 * kHalf);
    // Held at either end.
    ExpectPoint(tavAnimationSet::Sample(track, 900), x, 0, 0, 8);
    ExpectPoint(tavAnimationSet::Sample(track, NAN), x, 2, 0, 0);
}

TEST(tavAnimationSet, RotationsTakeTheShorterArcAndMatrixKeysWin)
{
    // The same quarter turn written as its negative: no detour the long way.
    tavAnimationSet::Track track = Read(KeyRecord(tavAnimationSet::RotationKeys, 2)
                                            .Key(0, {1, 0, 0, 0})
                                            .Key(10, {-kHalf, 0, -kHalf, 0}));
    const float x[3] = {1, 0, 0};
    ExpectPoint(tavAnimationSet::Sample(track, 5), x, kHalf, 0, -kHalf);

    std::vector<float> a(16, 0.0f), b(16, 0.0f);
    for (int i = 0; i < 4; ++i)
        a[i * 5] = b[i * 5] = 1.0f;
    b[12] = 4.0f; // translation x
    tavAnimationSet::Track matrices =
        Read(KeyRecord(tavAnimationSet::MatrixKeys, 2).Key(0, a).Key(10, b));
    matrices.rotations = track.rotations;
    ExpectPoint(tavAnimationSet::Sample(matrices, 5), x, 3, 0, 0);
}

TEST(tavAnimationSet, TimeRepeatsWithThePeriodOfTheLastKey)
{
    tavAnimationSet set("Walk");
    EXPECT_EQ(set.TicksAt(3.0), 0.0); // nothing to play
    const KeyRecord leg =
        KeyRecord(tavAnimationSet::TranslationKeys, 2).Key(0, {0, 0, 0}).Key(2400, {1, 0, 0});
    const KeyRecord body = KeyRecord(tavAnimationSet::ScaleKeys, 1).Key(4800, {1, 1, 1});
    ASSERT_TRUE(Read(leg, set.TrackFor("LeftLeg")));
    ASSERT_TRUE(Read(body, set.TrackFor("Body")));
    EXPECT_EQ(&set.TrackFor("LeftLeg"), &set.GetTracks()[0]);
    EXPECT_EQ(set.GetPeriod(), 4800u);

    EXPECT_DOUBLE_EQ(set.TicksAt(1.25), 1200.0);
    set.SetTicksPerSecond(-1.0);
    set.SetTicksPerSecond(INFINITY);
    EXPECT_EQ(set.GetTicksPerSecond(), tavAnimationSet::DefaultTicksPerSecond);
    set.SetTicksPerSecond(9600.0);
    EXPECT_DOUBLE_EQ(set.TicksAt(0.25), 2400.0);
    EXPECT_DOUBLE_EQ(set.TicksAt(-0.25), 2400.0);
}
