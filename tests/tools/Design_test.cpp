#include "ChickenDesign.h"
#include "HenRig.h"
#include "LevelDesign.h"
#include "MeshBuilder.h"
#include "PropDesign.h"
#include "RouteWalker.h"
#include "SkinnedXWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

using namespace assetgen;

namespace
{
// Empty when every piece is a closed surface wound outward: each edge (by
// position) used once each way, a positive volume; else what is wrong.
std::string CheckClosed(const Mesh& mesh)
{
    using Key = std::tuple<long, long, long>;
    auto key = [&](const MeshTriangle& t, int k)
    {
        const Vec3& p = mesh.vertices[t.index[k % 3]].position;
        return Key{std::lround(p.x * 1000.0), std::lround(p.y * 1000.0), std::lround(p.z * 1000.0)};
    };
    std::string wrong;
    for (const MeshPiece& piece : mesh.pieces)
    {
        std::map<std::pair<Key, Key>, int> edges;
        // Volume about one of the piece's own corners, in doubles: far from
        // the origin it would otherwise drown in rounding.
        const Vec3 o = mesh.vertices[mesh.triangles[piece.firstTriangle].index[0]].position;
        double volume = 0.0, p[3][3];
        for (uint32_t t = piece.firstTriangle; t < piece.firstTriangle + piece.triangleCount; ++t)
        {
            for (int k = 0; k < 3; ++k)
            {
                ++edges[{key(mesh.triangles[t], k), key(mesh.triangles[t], k + 1)}];
                const Vec3& v = mesh.vertices[mesh.triangles[t].index[k]].position;
                p[k][0] = double(v.x) - o.x, p[k][1] = double(v.y) - o.y,
                p[k][2] = double(v.z) - o.z;
            }
            volume += p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                      p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                      p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
        }
        for (const auto& [edge, count] : edges)
            if (edge.first == edge.second || count != 1 || !edges.count({edge.second, edge.first}))
            {
                wrong += piece.name + ": a degenerate, doubled or unpartnered edge\n";
                break;
            }
        if (volume <= 0.0) wrong += piece.name + ": wound inward\n";
    }
    return wrong;
}

float SmallestAngle(const Mesh& mesh)
{
    float smallest = 180.0f;
    for (const MeshTriangle& t : mesh.triangles)
        for (int k = 0; k < 3; ++k)
        {
            const Vec3& p = mesh.vertices[t.index[k]].position;
            const float cos = Dot(Normalize(mesh.vertices[t.index[(k + 1) % 3]].position - p),
                                  Normalize(mesh.vertices[t.index[(k + 2) % 3]].position - p));
            smallest = std::min(smallest, std::acos(std::clamp(cos, -1.0f, 1.0f)) * 57.29578f);
        }
    return smallest;
}

Vec3 SubsetCentre(const Mesh& mesh, uint32_t subset)
{
    Vec3 sum;
    float count = 0.0f;
    for (const MeshTriangle& t : mesh.triangles)
        for (uint32_t i : t.index)
            if (t.material == subset) sum += mesh.vertices[i].position, count += 1.0f;
    return count > 0.0f ? sum * (1.0f / count) : Vec3(1e9f, 1e9f, 1e9f);
}

const Mesh& Level()
{
    static const Mesh level = LevelDesign::Build();
    return level;
}

void Quad(std::vector<Vec3>& out, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d)
{
    out.insert(out.end(), {a, c, b, b, c, d});
}

// A floor at height y from x0 to x1, z from -1000 to 1000.
void Floor(std::vector<Vec3>& out, float x0, float x1, float y)
{
    Quad(out, {x0, y, -1000}, {x1, y, -1000}, {x0, y, 1000}, {x1, y, 1000});
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
} // namespace

// Normals unit length on the outer side of every face using them; indices
// fit sixteen bits; the level has no slivers.
TEST(Designs, EverySolidIsClosedAndWoundOutwardWithItsNormalsOutside)
{
    const Mesh props[] = {ChickenDesign::Build(), PropDesign::Egg(), PropDesign::BloodDrop()};
    for (const Mesh* mesh : {&Level(), &props[0], &props[1], &props[2]})
    {
        EXPECT_EQ(CheckClosed(*mesh), "");
        EXPECT_LT(mesh->vertices.size(), 65536u);
        int wrong = 0;
        for (const MeshTriangle& t : mesh->triangles)
            for (uint32_t i : t.index)
                wrong += std::fabs(Length(mesh->vertices[i].normal) - 1.0f) > 0.01f ||
                         Dot(mesh->vertices[i].normal, mesh->FaceNormal(t)) <= 0.0f;
        EXPECT_EQ(wrong, 0) << mesh->vertices.size() << " vertices";
    }
    EXPECT_GE(SmallestAngle(Level()), 12.0f);
    EXPECT_GT(Level().triangles.size(), 3000u);
    EXPECT_LT(Level().triangles.size(), 60000u);
}

TEST(Designs, ChickenSubsetsSitWhereTheGameAnimatesThemAndPropsFitTheirSpheres)
{
    using C = ChickenDesign;
    const Mesh chicken = C::Build();
    ASSERT_EQ(chicken.materials.size(), 9u);
    const Vec3 body = SubsetCentre(chicken, C::Body), head = SubsetCentre(chicken, C::Head);
    const Vec3 left = SubsetCentre(chicken, C::LeftLeg), right = SubsetCentre(chicken, C::RightLeg);
    // Facing +z: beak before head before body, tail behind; comb on top;
    // a leg below on each side; pairs symmetric about the middle.
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
    // In its physics sphere, on its feet.
    EXPECT_LE(chicken.Radius({0, 0, 0}), 10.0f);
    EXPECT_GT(chicken.Radius({0, 0, 0}), 9.0f);
    EXPECT_LT(chicken.Bounds().min.y, -9.5f);

    // The egg stands ten below its centre, upright and round about its axis;
    // the blood drop at the game's scale fills the chicken's sphere.
    const Box3 egg = PropDesign::Egg().Bounds();
    EXPECT_FLOAT_EQ(egg.min.y, -10.0f);
    EXPECT_NEAR(egg.max.y - egg.min.y, 12.5f, 1e-3f);
    EXPECT_NEAR(egg.max.x - egg.min.x, egg.max.z - egg.min.z, 0.05f);
    const float reach = PropDesign::BloodDrop().Radius({0, 0, 0}) * PropDesign::DropScale;
    EXPECT_LE(reach, 10.0f);
    EXPECT_GT(reach, 9.5f);
}

TEST(LevelDesign, RouteWalksFromTheStartToTheEggAndNotWithoutItsJumps)
{
    std::vector<Vec3> corners;
    for (const MeshTriangle& t : Level().triangles)
        for (uint32_t i : t.index)
            corners.push_back(Level().vertices[i].position);
    const RouteWalker walker(corners);
    const Vec3 start = LevelDesign::Start, egg = LevelDesign::EggPosition;
    EXPECT_NEAR(walker.GroundBelow(start.x, start.y, start.z, 100.0f), LevelDesign::StartFloor,
                0.01f);
    EXPECT_NEAR(walker.GroundBelow(egg.x, egg.y, egg.z, 100.0f), LevelDesign::EggFloor, 0.01f);
    const RouteWalkResult walk = walker.Walk(start, LevelDesign::Route(), egg, 60.0f);
    EXPECT_TRUE(walk.reachedEgg) << walk.failure << " at (" << walk.position.x << ", "
                                 << walk.position.y << ", " << walk.position.z << ")";
    EXPECT_FALSE(walk.drowned);
    EXPECT_LT(walk.largestMove, 12.0f); // a walk step plus a frame's fall: no teleporting
    EXPECT_GE(walk.jumps, 8);
    // Every jump a walk instead: it fails at the first gap, the plaza's north edge.
    std::vector<LevelRouteStep> walkOnly = LevelDesign::Route();
    for (LevelRouteStep& step : walkOnly)
        step.kind = LevelRouteStep::Walk;
    const RouteWalkResult stuck = walker.Walk(start, walkOnly, egg, 30.0f);
    EXPECT_FALSE(stuck.reachedEgg);
    EXPECT_LT(stuck.stepsDone, 5u);
}

TEST(RouteWalker, WalksTwoHundredUnitsPerSecondFallsFromEdgesAndJumpsAboutEightHundred)
{
    std::vector<Vec3> flat;
    Floor(flat, -1000, 1000, 0);
    const RouteWalker walker(flat);
    const Vec3 far(0, 10, 5000);
    const RouteWalkResult walk = walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 0, 600}}, far, 60);
    EXPECT_EQ(walk.stepsDone, 1u);
    EXPECT_NEAR(walk.seconds, 600.0f / 200.0f, 0.1f); // facing +z at the start, as in the game
    EXPECT_NEAR(walk.position.y, 10.0f, 0.5f);
    EXPECT_LT(walk.largestMove, 200.0f / 60.0f + 0.5f);
    EXPECT_TRUE(walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 1500, 0}}, far, 60).drowned);
    for (float gap : {700.0f, 900.0f})
    {
        std::vector<Vec3> level;
        Floor(level, -400, 0, 0);
        Floor(level, gap, gap + 1000, 0);
        const RouteWalkResult jump = RouteWalker(level).Walk(
            {-20, 10, 0}, {{LevelRouteStep::Walk, -15, 0}, {LevelRouteStep::Jump, gap + 300, 0}},
            {gap + 300, 10, 0}, 60.0f);
        EXPECT_EQ(jump.reachedEgg, gap < 800.0f) << gap << ": " << jump.failure;
        EXPECT_EQ(jump.drowned, gap > 800.0f) << gap;
    }
}

TEST(RouteWalker, ClimbsAGentleRampButNotAWallWhichAJumpFromARunUpClears)
{
    std::vector<Vec3> ramp, wall; // 200 up over 800 (14 degrees); a 100-unit step
    Floor(ramp, -400, 0, 0);
    Quad(ramp, {0, 0, -1000}, {800, 200, -1000}, {0, 0, 1000}, {800, 200, 1000});
    Floor(ramp, 800, 1200, 200);
    const RouteWalkResult up = RouteWalker(ramp).Walk(
        {-100, 10, 0}, {{LevelRouteStep::Walk, 1000, 0}}, {1000, 210, 0}, 60.0f);
    EXPECT_TRUE(up.reachedEgg) << up.failure;
    Floor(wall, -400, 0, 0);
    Floor(wall, 0, 400, 100);
    Quad(wall, {0, 0, -1000}, {0, 0, 1000}, {0, 100, -1000}, {0, 100, 1000});
    const RouteWalker blocked(wall);
    const Vec3 top(200, 110, 0);
    EXPECT_LT(blocked.Walk({-100, 10, 0}, {{LevelRouteStep::Walk, 200, 0}}, top, 5).position.x, 0);
    // Pressed against the step a jump sticks to it (friction 5 on the wall).
    const RouteWalkResult pressed = blocked.Walk(
        {-100, 10, 0}, {{LevelRouteStep::Walk, -12, 0}, {LevelRouteStep::Jump, 200, 0}}, top, 10);
    EXPECT_FALSE(pressed.reachedEgg);
    EXPECT_EQ(pressed.jumps, 1);
    const RouteWalkResult runUp = blocked.Walk(
        {-200, 10, 0}, {{LevelRouteStep::Walk, -100, 0}, {LevelRouteStep::Jump, 200, 0}}, top, 10);
    EXPECT_TRUE(runUp.reachedEgg) << runUp.failure;
}

TEST(MeshBuilder, BoxesAndRampsAreClosedWithoutSliversWhateverTheCornerOrder)
{
    Mesh mesh;
    mesh.AddMaterial(MeshMaterial());
    mesh.AddMaterial(MeshMaterial());
    const FaceUv noUv = [](const Vec3&, const Vec3&, int, float& u, float& v) { u = v = 0.0f; };
    Hexahedron slab = Hexahedron::Box({100, 50, -30}, {400, 0, 0}, {0, 6, 0}, {0, 0, 85});
    slab.Subdivide(120.0f); // 800 x 12 x 170: cells no longer than 3 x 12
    EXPECT_EQ((std::vector<int>{slab.cells[0], slab.cells[1], slab.cells[2]}),
              (std::vector<int>{23, 1, 5}));
    MeshBuilder(mesh).AddHexahedron("slab", slab, noUv);
    EXPECT_GT(SmallestAngle(mesh), 15.0f);
    for (const MeshTriangle& t : mesh.triangles)
    {
        const Vec3 out = mesh.vertices[t.index[0]].position - Vec3(100, 50, -30);
        ASSERT_GT(Dot(mesh.FaceNormal(t), out), 0.0f);
        ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].normal), 0.99f);
    }
    Hexahedron ramp; // corners listed top first (k = 0 is the top here)
    for (int n = 0; n < 8; ++n)
        ramp.corner[n] = ((n & 1) ? Vec3(0, 260, 840) : Vec3(0, 50, 0)) +
                         Vec3((n & 2) ? 85.0f : -85.0f, (n & 4) ? -14.0f : 0.0f, 0.0f);
    ramp.SetMaterials(1, 0);
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(ramp.material[f], f == 4 ? 1u : 0u) << "face " << f;
    ramp.Subdivide(120.0f);
    MeshBuilder(mesh).AddHexahedron("ramp", ramp, noUv);
    EXPECT_EQ(CheckClosed(mesh), "");
}

TEST(MeshBuilder, LathesAndBallsAreClosedTheSeamRepeatsPositionsWithUOneFarOutToo)
{
    Mesh mesh;
    mesh.AddMaterial(MeshMaterial());
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
    MeshBuilder(mesh).AddRingMesh("lathe", solid,
                                  [](int, float around, const Vec3&, float& u, float& v)
                                  { u = around, v = 0.0f; });
    // Each of the seven full rings has a first and a last column at one
    // place, with u 0 and u 1.
    std::set<std::tuple<float, float, float>> seams;
    for (const MeshVertex& a : mesh.vertices)
        for (const MeshVertex& b : mesh.vertices)
            if (a.u == 0.0f && b.u == 1.0f && a.position == b.position)
                seams.insert({a.position.x, a.position.y, a.position.z});
    EXPECT_EQ(seams.size(), 7u);
    EXPECT_EQ(CheckClosed(mesh), "");
    // Far out, float products of world coordinates cannot tell inside from
    // outside; the builder must not be fooled.
    for (const Vec3& where : {Vec3(0, 0, 0), Vec3(6254, 1264, 7081), Vec3(-9000, 300, 12000)})
    {
        Mesh ball;
        ball.AddMaterial(MeshMaterial());
        frame = Frame();
        frame.origin = where;
        MeshBuilder(ball).AddBall(
            "ball", frame, {60, 40, 60}, 2, 0, [](const Vec3&) { return 1.0f; }, 100.0f);
        EXPECT_GT(SmallestAngle(ball), 30.0f);
        for (const MeshTriangle& t : ball.triangles)
            ASSERT_GT(Dot(ball.FaceNormal(t), ball.vertices[t.index[0]].position - where), 0.0f);
        EXPECT_EQ(CheckClosed(ball), "");
    }
    for (const MeshVertex& v : mesh.vertices)
        ASSERT_NEAR(Length(v.normal), 1.0f, 1e-4f);
}

TEST(HenRig, EveryVertexIsFullyWeightedTheWalkLoopsAndTheFileCarriesIt)
{
    const SkinnedModel hen = HenRig::Build();
    ASSERT_EQ(hen.bones.size(), size_t(HenRig::BoneCount));
    std::vector<float> total(hen.mesh.vertices.size(), 0.0f);
    for (const RigBone& bone : hen.bones)
    {
        ASSERT_EQ(bone.vertices.size(), bone.weights.size()) << bone.name;
        EXPECT_FALSE(bone.vertices.empty()) << bone.name;
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            total[bone.vertices[i]] += bone.weights[i];
    }
    for (size_t v = 0; v < total.size(); ++v)
        ASSERT_NEAR(total[v], 1.0f, 1e-5f) << "vertex " << v;
    EXPECT_EQ(hen.MaxWeightsPerVertex(), 2u); // the neck blends
    EXPECT_EQ(hen.MaxWeightsPerFace(), 2u);
    size_t lowest = 0; // the feet belong to the legs
    for (size_t v = 0; v < hen.mesh.vertices.size(); ++v)
        if (hen.mesh.vertices[v].position.y < hen.mesh.vertices[lowest].position.y) lowest = v;
    const auto& left = hen.bones[HenRig::LeftLeg].vertices;
    const auto& right = hen.bones[HenRig::RightLeg].vertices;
    EXPECT_EQ(std::count(left.begin(), left.end(), lowest) +
                  std::count(right.begin(), right.end(), lowest),
              1);
    ASSERT_EQ(hen.walk.size(), hen.bones.size());
    for (const RigTrack& track : hen.walk) // one second, ending where it starts
    {
        ASSERT_EQ(track.keys.size(), 5u) << track.bone;
        EXPECT_EQ(track.keys.back().time, hen.ticksPerSecond) << track.bone;
        EXPECT_EQ(track.keys.front().pitch, track.keys.back().pitch) << track.bone;
    }
    EXPECT_EQ(hen.walk[HenRig::LeftLeg].keys[0].pitch, -hen.walk[HenRig::RightLeg].keys[0].pitch);

    // Templates before the data; a weights block per bone, three key records
    // per animated bone; braces balance.
    const std::string text = SkinnedXWriter::ToText(hen, "HenMesh", "Walk");
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    EXPECT_LT(text.find("template SkinWeights"), text.find("\n SkinWeights {"));
    EXPECT_EQ(Count(text, "\n SkinWeights {"), hen.bones.size());
    EXPECT_EQ(Count(text, "AnimationKey {"), hen.walk.size() * 3);
    EXPECT_EQ(Count(text, "{LeftLeg}"), 1u);
    EXPECT_EQ(Count(text, "{"), Count(text, "}"));
}
