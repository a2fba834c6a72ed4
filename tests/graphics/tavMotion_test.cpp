// Oscillators, frame animators, key tracks, software skins and bounding spheres.
#include "graphics/tavAnimationSet.h"
#include "graphics/tavBoundingSphere.h"
#include "graphics/tavFrameAnimator.h"
#include "graphics/tavOscillator.h"
#include "graphics/tavSoftwareSkin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>

TEST(tavOscillator, BoundsClampAndTurnOnlyWhenPassedAndEmptyRangesWiden)
{
    tavOscillator o;
    auto state = [&] { return std::make_pair(o.Value(), o.IsRising()); };
    // Init start, rising: value, rising after (on or past a bound it heads back).
    const std::tuple<float, bool, float, bool> starts[] = {{2, true, 2, false},
                                                           {5, true, 2, false},
                                                           {-2, false, -2, true},
                                                           {0.5f, false, 0.5f, false}};
    for (const auto& [start, rising, value, after] : starts)
    {
        o.Init(-2, 2, start, 1, rising);
        EXPECT_EQ(state(), std::make_pair(value, after)) << "start " << start;
    }
    // SetValue clamps and turns on either bound.
    o.Init(-1, 1, 0, 1, true);
    const std::tuple<float, float, bool> set[] = {
        {0.25f, 0.25f, true}, {9, 1, false}, {0, 0, false}, {-1, -1, true}};
    for (const auto& [asked, value, rising] : set)
    {
        o.SetValue(asked);
        EXPECT_EQ(state(), std::make_pair(value, rising)) << "set " << asked;
    }
    // Steps past a bound clamp and turn at once; one ending on it turns on the next step.
    o.Init(-0.75f, 0.75f, 0, 6, true);
    const std::tuple<float, float, bool> steps[] = {
        {0.1f, 0.6f, true}, {10.0f, 0.75f, false}, {0.1f, 0.15f, false}, {1000.0f, -0.75f, true}};
    for (const auto& [step, value, rising] : steps)
    {
        o.Update(step);
        EXPECT_FLOAT_EQ(o.Value(), value) << "step " << step;
        EXPECT_EQ(o.IsRising(), rising) << "step " << step;
    }
    o.Init(0, 1, 0.5f, 1, true);
    o.Update(0.5f);
    EXPECT_EQ(state(), std::make_pair(1.0f, true));
    o.Update(0.25f);
    EXPECT_EQ(state(), std::make_pair(1.0f, false));
    // An empty or reversed range becomes one unit below the maximum.
    o.Init(3, 3, 0, 1, true);
    EXPECT_EQ(std::make_tuple(o.GetMinimum(), o.GetMaximum(), o.Value()),
              std::make_tuple(2.f, 3.f, 2.f));
    o.Init(5, -5, -5.5f, 1, true);
    EXPECT_EQ(std::make_pair(o.GetMinimum(), o.Value()), std::make_pair(-6.f, -5.5f));
}

TEST(tavFrameAnimator, StartIsClampedFramesStepWhenDueAndWrapAtBothEnds)
{
    tavFrameAnimator a;
    a.Init(10, 41, 1, 50, 0, 33);
    EXPECT_EQ(a.Current(), 41u);
    a.Init(10, 41, 1, 0, 1000, 33); // the game's caustics: start 0 is below the range
    EXPECT_EQ(a.Current(), 10u);
    // Now: frame, next time. Late updates step once and schedule from now.
    const std::tuple<uint32_t, uint32_t, uint32_t> steps[] = {
        {1032, 10, 1033}, {1033, 11, 1066}, {5000, 12, 5033}};
    for (auto [now, frame, next] : steps)
    {
        a.Update(now);
        EXPECT_EQ(std::make_pair(a.Current(), a.GetNextTime()), std::make_pair(frame, next)) << now;
    }
    // First, last, step, start: after one update.
    const std::tuple<uint32_t, uint32_t, int, uint32_t, uint32_t> wraps[] = {
        {10, 12, 1, 11, 12}, // the last frame is shown before wrapping
        {10, 12, 1, 12, 10}, {10, 12, -1, 10, 12},
        {10, 12, 5, 11, 10}, // a step larger than the range lands on the far end
        {0, 5, -1, 0, 0},    // unsigned: below 0 lies above `last`, which wraps to first
    };
    for (auto [first, last, step, start, after] : wraps)
    {
        a.Init(first, last, step, start, 0, 10);
        a.Update(10);
        EXPECT_EQ(a.Current(), after)
            << first << ".." << last << " by " << step << " from " << start;
    }
    a.Init(10, 12, -1, 10, 0, 10);
    a.Update(10);
    a.Update(20);
    EXPECT_EQ(a.Current(), 11u);
}

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

struct Vertex
{
    float position[3], normal[3], u, v;
};

// A bone with its pivot at (0, py): the offset moves the pivot to the origin.
const auto BoneAt = [](float py, std::vector<uint32_t> vertices, std::vector<float> weights) {
    return tavSoftwareSkin::Bone{"Leg", vertices, weights, tavMatrix4::Translation(0, -py, 0)};
};
} // namespace

TEST(tavAnimationSet, KeysScaleRotateTranslateTakeTheShorterArcMatrixKeysWinAndTimeRepeats)
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
    // Time repeats with the period of the last key.
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

TEST(tavSoftwareSkin, VerticesFollowTheirWeightedBonesInsideTheirBoundingSpheres)
{
    // Vertex 0 on the leg only, vertex 1 half and half with the body, vertex 2 on no bone.
    std::vector<Vertex> bind = {{{0, -2, 0}, {1, 0, 0}, 0.25f, 0.5f},
                                {{0, 0, 0}, {0, 0, 1}, 0.5f, 0.5f},
                                {{5, 5, 5}, {0, 1, 0}, 0.75f, 0.5f}};
    tavSoftwareSkin skin;
    ASSERT_TRUE(skin.Init(3, {BoneAt(0, {1}, {0.5f}), BoneAt(0, {0, 1}, {1.0f, 0.5f})}));
    EXPECT_EQ(skin.GetMaxVertexInfluences(), 2u);
    EXPECT_EQ(skin.GetMaxFaceInfluences({0, 1, 2, 0, 2, 2}), 2u);
    // The body stays; the leg turns a quarter about z at the hip and moves up 1:
    // (0, -2, 0) goes to (2, 0, 0), then up.
    const float s = std::sqrt(0.5f);
    const tavMatrix4 turn = tavMatrix4::Rotation(0, 0, s, s);
    const tavMatrix4 bones[2] = {tavMatrix4::Identity(), turn * tavMatrix4::Translation(0, 1, 0)};
    std::vector<Vertex> posed(3);
    skin.Apply(bind.data(), posed.data(), sizeof(Vertex), 12, bones);
    const float got[] = {posed[0].position[0], posed[0].position[1], posed[0].normal[1],
                         posed[1].position[1], posed[0].u,           posed[2].position[0]};
    const float want[] = {2, 1, 1 /* x turned to y */, 0.5f /* half the lift */, 0.25f, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5f) << i;
    // A bone pivoted at y = -1 turns about that point; without a normal offset normals stay.
    ASSERT_TRUE(skin.Init(3, {BoneAt(-1, {0}, {1.0f})}));
    const tavMatrix4 pivoted = turn * tavMatrix4::Translation(0, -1, 0);
    skin.Apply(bind.data(), posed.data(), sizeof(Vertex), -1, &pivoted);
    EXPECT_NEAR(posed[0].position[0], 1.0f, 1e-5f);
    EXPECT_NEAR(posed[0].position[1], -1.0f, 1e-5f);
    EXPECT_EQ(posed[0].normal[0], 1.0f);
    // Inconsistent influences leave an empty skin.
    EXPECT_FALSE(skin.Init(2, {BoneAt(0, {0, 1}, {1.0f})}));
    EXPECT_FALSE(skin.Init(2, {BoneAt(0, {2}, {1.0f})}));
    EXPECT_EQ(skin.GetVertexCount() + skin.GetBones().size(), 0u);
    // Bounding spheres of points, transformed and merged.
    const float points[4][3] = {{-1, 0, 0}, {1, 0, 0}, {0, 3, 0}, {0, -3, 0}};
    tavBoundingSphere a = tavBoundingSphere::OfPoints(points, 4, sizeof points[0]);
    EXPECT_TRUE(!a.empty && a.radius == 3.0f);
    EXPECT_TRUE(tavBoundingSphere::OfPoints(points, 0, 12).empty);
    const tavBoundingSphere moved =
        a.Transformed(tavMatrix4::Scaling(2, 1, 1) * tavMatrix4::Translation(10, 0, 0));
    EXPECT_FLOAT_EQ(moved.centre[0], 10.0f);
    EXPECT_FLOAT_EQ(moved.radius, 6.0f);
    tavBoundingSphere all, inside = a;
    inside.radius = 1.0f;
    all.Merge(a);
    all.Merge(inside); // already held
    EXPECT_FLOAT_EQ(all.radius, 3.0f);
    all.Merge(moved); // from x = -3 to x = 16
    EXPECT_FLOAT_EQ(all.radius, 9.5f);
    EXPECT_FLOAT_EQ(all.centre[0], 6.5f);
    tavBoundingSphere big = all;
    big.radius = 100.0f;
    all.Merge(big);
    EXPECT_FLOAT_EQ(all.radius, 100.0f);
}
