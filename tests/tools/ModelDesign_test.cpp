#include "ChickenDesign.h"
#include "MeshChecks.h"
#include "PropDesign.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

namespace
{
// Centre of the vertices used by subset `subset`.
Vec3 SubsetCentre(const Mesh& mesh, uint32_t subset)
{
    Vec3 sum;
    float count = 0.0f;
    for (const MeshTriangle& t : mesh.triangles)
        if (t.material == subset)
            for (uint32_t i : t.index)
            {
                sum += mesh.vertices[i].position;
                count += 1.0f;
            }
    return count > 0.0f ? sum * (1.0f / count) : Vec3(1e9f, 1e9f, 1e9f);
}

void ExpectClosedPieces(const Mesh& mesh)
{
    for (const MeshPiece& piece : mesh.pieces)
        EXPECT_EQ(CheckClosedAndOutward(mesh, piece), "") << piece.name;
}
} // namespace

TEST(ChickenDesign, SubsetsSitWhereTheGameAnimatesThemInsideItsPhysicsSphere)
{
    const Mesh chicken = ChickenDesign::Build();
    ASSERT_EQ(chicken.materials.size(), 9u);
    using C = ChickenDesign;
    const Vec3 body = SubsetCentre(chicken, C::Body), head = SubsetCentre(chicken, C::Head);
    const Vec3 left = SubsetCentre(chicken, C::LeftLeg), right = SubsetCentre(chicken, C::RightLeg);
    // Facing +z: beak in front of the head, head in front of the body,
    // tail behind; comb on top; legs below, one each side; pairs sit
    // symmetrically about the middle.
    EXPECT_GT(SubsetCentre(chicken, C::Beak).z, head.z);
    EXPECT_GT(head.z, body.z);
    EXPECT_LT(SubsetCentre(chicken, C::Tail).z, body.z - 3.0f);
    EXPECT_GT(SubsetCentre(chicken, C::Comb).y, head.y);
    EXPECT_LT(std::max(left.y, right.y), -5.0f);
    EXPECT_GT(right.x, 0.5f);
    EXPECT_NEAR(left.x, -right.x, 1e-3f);
    EXPECT_NEAR(SubsetCentre(chicken, C::Eyes).x, 0.0f, 1e-3f);
    EXPECT_NEAR(SubsetCentre(chicken, C::Wings).x, 0.0f, 1e-3f);
    EXPECT_GT(SubsetCentre(chicken, C::Eyes).y, body.y);
    for (const MeshMaterial& m : chicken.materials)
        EXPECT_FALSE(m.texture.empty()) << m.name;

    // Fits its physics sphere and stands on its feet.
    EXPECT_LE(chicken.Radius({0, 0, 0}), 10.0f);
    EXPECT_GT(chicken.Radius({0, 0, 0}), 9.0f);
    EXPECT_LT(chicken.Bounds().min.y, -9.5f);
    ExpectClosedPieces(chicken);
}

TEST(PropDesign, EggStandsTenUnitsBelowItsCentreAndTheDropFillsItsSphere)
{
    const Mesh egg = PropDesign::Egg();
    const Box3 box = egg.Bounds();
    EXPECT_FLOAT_EQ(box.min.y, -10.0f);
    EXPECT_NEAR(box.max.y - box.min.y, 12.5f, 1e-3f);
    // Upright and round about its axis: as wide as deep, narrower than tall.
    EXPECT_NEAR(box.max.x - box.min.x, box.max.z - box.min.z, 0.05f);
    ExpectClosedPieces(egg);

    // The blood drop at the game's scale.
    const Mesh drop = PropDesign::BloodDrop();
    const float reach = drop.Radius({0, 0, 0}) * PropDesign::DropScale;
    EXPECT_LE(reach, 10.0f);
    EXPECT_GT(reach, 9.5f);
    ExpectClosedPieces(drop);
}
