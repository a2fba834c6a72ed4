#include "MeshChecks.h"
#include "tavMeshBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
tavFaceUv NoUv()
{
    return [](const tavVec3&, const tavVec3&, int, float& u, float& v) { u = v = 0.0f; };
}

tavMesh OneMaterial()
{
    tavMesh mesh;
    mesh.AddMaterial(tavMeshMaterial());
    mesh.AddMaterial(tavMeshMaterial());
    return mesh;
}
} // namespace

TEST(tavMeshBuilder, SubdividedBoxIsClosedWithSharedEdgesAndNoSlivers)
{
    tavMesh mesh = OneMaterial();
    // A long thin slab: 800 x 12 x 170.
    tavHexahedron slab = tavHexahedron::Box({100, 50, -30}, {400, 0, 0}, {0, 6, 0}, {0, 0, 85});
    slab.Subdivide(120.0f);
    EXPECT_EQ(slab.cells[0], 23); // cells no longer than 3 x 12
    EXPECT_EQ(slab.cells[1], 1);
    EXPECT_EQ(slab.cells[2], 5);
    tavMeshBuilder(mesh).AddHexahedron("slab", slab, NoUv());
    ASSERT_EQ(mesh.pieces.size(), 1u);
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
    EXPECT_GT(SmallestAngle(mesh), 15.0f);
    // Face normals point out of the box.
    for (const tavMeshTriangle& t : mesh.triangles)
    {
        const tavVec3 out = mesh.vertices[t.index[0]].position - tavVec3(100, 50, -30);
        ASSERT_GT(Dot(mesh.FaceNormal(t), out), 0.0f);
        ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].normal), 0.99f);
    }
}

TEST(tavMeshBuilder, RampTopTakesTheTopMaterialWhateverTheCornerOrder)
{
    tavHexahedron ramp;
    const tavVec3 from(0, 50, 0), to(0, 260, 840);
    for (int n = 0; n < 8; ++n)
    {
        // Corners listed top first (k = 0 is the top here).
        const tavVec3 end = (n & 1) ? to : from;
        ramp.corner[n] = end + tavVec3((n & 2) ? 85.0f : -85.0f, (n & 4) ? -14.0f : 0.0f, 0.0f);
    }
    ramp.SetMaterials(1, 0);
    EXPECT_EQ(ramp.material[4], 1u);
    for (int f : {0, 1, 2, 3, 5})
        EXPECT_EQ(ramp.material[f], 0u);
    tavMesh mesh = OneMaterial();
    ramp.Subdivide(120.0f);
    tavMeshBuilder(mesh).AddHexahedron("ramp", ramp, NoUv());
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
}

TEST(tavMeshBuilder, LatheIsClosedAndItsSeamRepeatsPositionsWithUOne)
{
    tavMesh mesh = OneMaterial();
    tavFrame frame;
    frame.origin = {3, 4, 5};
    frame.pitch = 0.7f;
    const tavRingMesh solid = Lathe(
        [](float t) {
            return tavProfilePoint{std::sin(3.14159265f * t), -std::cos(3.14159265f * t)};
        },
        8, 10, frame, 2.0f, 1.0f, 1);
    ASSERT_EQ(solid.rings.size(), 9u);
    EXPECT_EQ(solid.rings.front().size(), 1u);
    EXPECT_EQ(solid.rings[4].size(), 10u);
    tavMeshBuilder(mesh).AddRingMesh("ball", solid,
                                     [](int, float around, const tavVec3&, float& u, float& v)
                                     {
                                         u = around;
                                         v = 0.0f;
                                     });
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
    // Each full ring has a first and a last column at the same place, with
    // u 0 and u 1: seven full rings, seven such places.
    std::vector<tavVec3> seams;
    for (const tavMeshVertex& a : mesh.vertices)
        for (const tavMeshVertex& b : mesh.vertices)
            if (a.u == 0.0f && b.u == 1.0f && a.position == b.position &&
                std::find(seams.begin(), seams.end(), a.position) == seams.end())
                seams.push_back(a.position);
    EXPECT_EQ(seams.size(), 7u);
    for (const tavMeshVertex& v : mesh.vertices)
        ASSERT_NEAR(Length(v.normal), 1.0f, 1e-4f);
}

TEST(tavMeshBuilder, BallFarFromTheOriginStillWindsOutward)
{
    // Far out, float products of world coordinates are too coarse to tell
    // the inside from the outside; the builder must not be fooled.
    for (const tavVec3& where :
         {tavVec3(0, 0, 0), tavVec3(6254, 1264, 7081), tavVec3(-9000, 300, 12000)})
    {
        tavMesh mesh = OneMaterial();
        tavFrame frame;
        frame.origin = where;
        tavMeshBuilder(mesh).AddBall(
            "ball", frame, {60, 40, 60}, 2, 0, [](const tavVec3&) { return 1.0f; }, 100.0f);
        EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
        EXPECT_GT(SmallestAngle(mesh), 30.0f);
        for (const tavMeshTriangle& t : mesh.triangles)
            ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].position - where), 0.0f);
    }
}
