#include "graphics/tavBoundingSphere.h"
#include "graphics/tavSoftwareSkin.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Vertex
{
    float position[3], normal[3], u, v;
};

// A bone with its pivot at (0, py): the offset moves the pivot to the origin.
const auto BoneAt = [](float py, std::vector<uint32_t> vertices, std::vector<float> weights) {
    return tavSoftwareSkin::Bone{"Leg", vertices, weights, tavMatrix4::Translation(0, -py, 0)};
};
} // namespace

TEST(tavSoftwareSkin, VerticesFollowTheirWeightedBones)
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
}

TEST(tavBoundingSphere, PointsTransformsAndMerges)
{
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
