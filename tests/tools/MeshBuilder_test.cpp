#include "MeshChecks.h"
#include "MeshBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

namespace
{
FaceUv NoUv()
{
    return [](const Vec3&, const Vec3&, int, float& u, float& v) { u = v = 0.0f; };
}

Mesh OneMaterial()
{
    Mesh mesh;
    mesh.AddMaterial(MeshMaterial());
    mesh.AddMaterial(MeshMaterial());
    return mesh;
}
} // namespace

TEST(MeshBuilder, SubdividedBoxIsClosedWithSharedEdgesAndNoSlivers)
{
    Mesh mesh = OneMaterial();
    // A long thin slab: 800 x 12 x 170.
    Hexahedron slab = Hexahedron::Box({100, 50, -30}, {400, 0, 0}, {0, 6, 0}, {0, 0, 85});
    slab.Subdivide(120.0f);
    EXPECT_EQ((std::vector<int>{slab.cells[0], slab.cells[1], slab.cells[2]}),
              (std::vector<int>{23, 1, 5})); // cells no longer than 3 x 12
    MeshBuilder(mesh).AddHexahedron("slab", slab, NoUv());
    ASSERT_EQ(mesh.pieces.size(), 1u);
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
    EXPECT_GT(SmallestAngle(mesh), 15.0f);
    // Face normals point out of the box.
    for (const MeshTriangle& t : mesh.triangles)
    {
        const Vec3 out = mesh.vertices[t.index[0]].position - Vec3(100, 50, -30);
        ASSERT_GT(Dot(mesh.FaceNormal(t), out), 0.0f);
        ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].normal), 0.99f);
    }
}

TEST(MeshBuilder, RampTopTakesTheTopMaterialWhateverTheCornerOrder)
{
    Hexahedron ramp;
    const Vec3 from(0, 50, 0), to(0, 260, 840);
    for (int n = 0; n < 8; ++n)
    {
        // Corners listed top first (k = 0 is the top here).
        const Vec3 end = (n & 1) ? to : from;
        ramp.corner[n] = end + Vec3((n & 2) ? 85.0f : -85.0f, (n & 4) ? -14.0f : 0.0f, 0.0f);
    }
    ramp.SetMaterials(1, 0);
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(ramp.material[f], f == 4 ? 1u : 0u) << "face " << f;
    Mesh mesh = OneMaterial();
    ramp.Subdivide(120.0f);
    MeshBuilder(mesh).AddHexahedron("ramp", ramp, NoUv());
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
}

TEST(MeshBuilder, LatheIsClosedAndItsSeamRepeatsPositionsWithUOne)
{
    Mesh mesh = OneMaterial();
    Frame frame;
    frame.origin = {3, 4, 5};
    frame.pitch = 0.7f;
    const RingMesh solid = Lathe(
        [](float t) {
            return ProfilePoint{std::sin(3.14159265f * t), -std::cos(3.14159265f * t)};
        },
        8, 10, frame, 2.0f, 1.0f, 1);
    ASSERT_EQ(solid.rings.size(), 9u);
    EXPECT_EQ(solid.rings.front().size(), 1u); // the poles are single points
    MeshBuilder(mesh).AddRingMesh("ball", solid,
                                  [](int, float around, const Vec3&, float& u, float& v)
                                  {
                                      u = around;
                                      v = 0.0f;
                                  });
    EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
    // Each full ring has a first and a last column at the same place, with
    // u 0 and u 1: seven full rings, seven such places.
    std::vector<Vec3> seams;
    for (const MeshVertex& a : mesh.vertices)
        for (const MeshVertex& b : mesh.vertices)
            if (a.u == 0.0f && b.u == 1.0f && a.position == b.position &&
                std::find(seams.begin(), seams.end(), a.position) == seams.end())
                seams.push_back(a.position);
    EXPECT_EQ(seams.size(), 7u);
    for (const MeshVertex& v : mesh.vertices)
        ASSERT_NEAR(Length(v.normal), 1.0f, 1e-4f);
}

TEST(MeshBuilder, BallFarFromTheOriginStillWindsOutward)
{
    // Far out, float products of world coordinates are too coarse to tell
    // the inside from the outside; the builder must not be fooled.
    for (const Vec3& where : {Vec3(0, 0, 0), Vec3(6254, 1264, 7081), Vec3(-9000, 300, 12000)})
    {
        Mesh mesh = OneMaterial();
        Frame frame;
        frame.origin = where;
        MeshBuilder(mesh).AddBall(
            "ball", frame, {60, 40, 60}, 2, 0, [](const Vec3&) { return 1.0f; }, 100.0f);
        EXPECT_EQ(CheckClosedAndOutward(mesh, mesh.pieces[0]), "");
        EXPECT_GT(SmallestAngle(mesh), 30.0f);
        for (const MeshTriangle& t : mesh.triangles)
            ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].position - where), 0.0f);
    }
}
