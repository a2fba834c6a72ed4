#include "ChickenDesign.h"
#include "HenRig.h"
#include "LevelDesign.h"
#include "MeshBuilder.h"
#include "PropDesign.h"
#include "RouteWalker.h"
#include "ScreenPainter.h"
#include "SeaPainter.h"
#include "SkyPainter.h"
#include "SoundDesign.h"
#include "SurfacePainter.h"
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

// A floor at height y from x0 to x1, z from -1000 to 1000.
void Floor(std::vector<Vec3>& out, float x0, float x1, float y)
{
    const Vec3 a(x0, y, -1000), b(x1, y, -1000), c(x0, y, 1000), d(x1, y, 1000);
    out.insert(out.end(), {a, c, b, b, c, d});
}

float Difference(const Colour& a, const Colour& b)
{
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

float Luminance(const Colour& c)
{
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

float MeanDifference(const Image& a, const Image& b)
{
    float sum = 0.0f;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            sum += Difference(a.At(x, y), b.At(x, y));
    return sum / float(a.Width() * a.Height());
}

// The steps where the picture repeats (last column to the first, last row to
// the first) are no larger than twice the mean step between neighbours.
void ExpectTiles(const Image& image)
{
    float inside[2] = {}, wrap[2] = {};
    const int w = image.Width(), h = image.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            (x + 1 < w ? inside[0] : wrap[0]) +=
                Difference(image.At(x, y), image.At((x + 1) % w, y));
            (y + 1 < h ? inside[1] : wrap[1]) +=
                Difference(image.At(x, y), image.At(x, (y + 1) % h));
        }
    EXPECT_LT(wrap[0] / float(h), inside[0] / float((w - 1) * h) * 2.0f + 0.01f) << w << " wide";
    EXPECT_LT(wrap[1] / float(w), inside[1] / float((h - 1) * w) * 2.0f + 0.01f) << h << " high";
}
} // namespace

// Unit normals outside every face using them; 16-bit indices; no slivers.
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
    const Vec3 eyes = SubsetCentre(chicken, C::Eyes), wings = SubsetCentre(chicken, C::Wings);
    EXPECT_TRUE(SubsetCentre(chicken, C::Beak).z > head.z && head.z > body.z &&
                SubsetCentre(chicken, C::Tail).z < body.z - 3.0f &&
                SubsetCentre(chicken, C::Comb).y > head.y && eyes.y > body.y);
    EXPECT_TRUE(std::max(left.y, right.y) < -5.0f && right.x > 0.5f);
    EXPECT_TRUE(std::fabs(left.x + right.x) < 1e-3f && std::fabs(eyes.x) < 1e-3f &&
                std::fabs(wings.x) < 1e-3f);
    for (const MeshMaterial& m : chicken.materials)
        EXPECT_FALSE(m.texture.empty()) << m.name;
    const float radius = chicken.Radius({0, 0, 0}); // in its physics sphere, on its feet
    EXPECT_TRUE(radius <= 10.0f && radius > 9.0f && chicken.Bounds().min.y < -9.5f) << radius;

    // The egg stands ten below its centre, upright and round about its axis;
    // the blood drop at the game's scale fills the chicken's sphere.
    const Box3 egg = PropDesign::Egg().Bounds();
    EXPECT_FLOAT_EQ(egg.min.y, -10.0f);
    EXPECT_NEAR(egg.max.y - egg.min.y, 12.5f, 1e-3f);
    EXPECT_NEAR(egg.max.x - egg.min.x, egg.max.z - egg.min.z, 0.05f);
    const float reach = PropDesign::BloodDrop().Radius({0, 0, 0}) * PropDesign::DropScale;
    EXPECT_TRUE(reach <= 10.0f && reach > 9.5f) << reach;
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
    for (const MeshTriangle& t : mesh.triangles) // flat faces: normals as the faces'
        ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].normal), 0.99f);
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
    for (const Vec3& where : {Vec3(6254, 1264, 7081), Vec3(-9000, 300, 12000)})
    {
        Mesh ball;
        ball.AddMaterial(MeshMaterial());
        frame = Frame();
        frame.origin = where;
        MeshBuilder(ball).AddBall(
            "ball", frame, {60, 40, 60}, 2, 0, [](const Vec3&) { return 1.0f; }, 100.0f);
        EXPECT_GT(SmallestAngle(ball), 30.0f);
        EXPECT_EQ(CheckClosed(ball), "") << where.x;
    }
}

TEST(HenRig, EveryVertexIsFullyWeightedAndTheWalkLoops)
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
    size_t lowest = 0; // the feet belong to a leg
    for (size_t v = 0; v < hen.mesh.vertices.size(); ++v)
        if (hen.mesh.vertices[v].position.y < hen.mesh.vertices[lowest].position.y) lowest = v;
    std::vector<uint32_t> legs = hen.bones[HenRig::LeftLeg].vertices;
    legs.insert(legs.end(), hen.bones[HenRig::RightLeg].vertices.begin(),
                hen.bones[HenRig::RightLeg].vertices.end());
    EXPECT_EQ(std::count(legs.begin(), legs.end(), lowest), 1);
    ASSERT_EQ(hen.walk.size(), hen.bones.size());
    for (const RigTrack& track : hen.walk) // one second, ending where it starts
    {
        ASSERT_EQ(track.keys.size(), 5u) << track.bone;
        EXPECT_EQ(track.keys.back().time, hen.ticksPerSecond) << track.bone;
        EXPECT_EQ(track.keys.front().pitch, track.keys.back().pitch) << track.bone;
    }
    EXPECT_EQ(hen.walk[HenRig::LeftLeg].keys[0].pitch, -hen.walk[HenRig::RightLeg].keys[0].pitch);

    // The file's header (the graphics test loads it with every bone linked).
    EXPECT_EQ(SkinnedXWriter::ToText(hen, "HenMesh", "Walk").rfind("xof 0303txt 0032\n", 0), 0u);
}

// Every surface tiles either way (not the eye's bands, nor the feather rows).
TEST(SurfacePainter, EverySurfaceTiles)
{
    for (Image (*paint)(int) :
         {SurfacePainter::Grass, SurfacePainter::Rock, SurfacePainter::Planks,
          SurfacePainter::Flagstones, SurfacePainter::Wall, SurfacePainter::GoldTiles,
          SurfacePainter::Bark, SurfacePainter::Leaves, SurfacePainter::Skin, SurfacePainter::Comb,
          SurfacePainter::EggShell, SurfacePainter::Blood})
        for (int size : {64, 128})
            ExpectTiles(paint(size));
}

// Texels (0, 0), (1, 0), (0, 1), (1, 1) of each face look at the sky box's
// corners in its texture order (face 1 the bottom); border texels of faces
// that look the same way match.
TEST(SkyPainter, FaceCornersAreTheSkyBoxCornersAndNeighbouringFacesAgreeAlongEveryEdge)
{
    const float corners[6][4][3] = {{{-2, 2, 2}, {2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},
                                    {{-2, -2, 2}, {2, -2, 2}, {-2, -2, -2}, {2, -2, -2}},
                                    {{2, 2, -2}, {-2, 2, -2}, {2, -2, -2}, {-2, -2, -2}},
                                    {{-2, 2, -2}, {2, 2, -2}, {-2, 2, 2}, {2, 2, 2}},
                                    {{-2, 2, -2}, {-2, 2, 2}, {-2, -2, -2}, {-2, -2, 2}},
                                    {{2, 2, 2}, {2, 2, -2}, {2, -2, 2}, {2, -2, -2}}};
    const int size = 48;
    std::map<std::tuple<long, long, long>, Colour> seen;
    int shared = 0;
    for (int f = 0; f < 6; ++f)
    {
        for (int n = 0; n < 4; ++n)
        {
            const Vec3 d = SkyPainter::Direction(f, n % 2 * (size - 1), n / 2 * (size - 1), size);
            const float* c = corners[f][n];
            EXPECT_NEAR(Length(d - Normalize({c[0], c[1], c[2]})), 0.0f, 1e-5f) << f << " " << n;
        }
        const Image face = SkyPainter::Face(f, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; x += (y == 0 || y == size - 1) ? 1 : size - 1)
            {
                const Vec3 d = SkyPainter::Direction(f, x, y, size);
                const auto key = std::make_tuple(std::lround(d.x * 1e4), std::lround(d.y * 1e4),
                                                 std::lround(d.z * 1e4));
                const auto [at, fresh] = seen.emplace(key, face.At(x, y));
                shared += !fresh;
                ASSERT_LT(Difference(at->second, face.At(x, y)), 3.0f / 255.0f)
                    << "face " << f << " texel " << x << ", " << y;
            }
    }
    EXPECT_EQ(shared, 12 * (size - 2) + 8 * 2); // twelve edges seen twice, eight corners thrice

    // Blue overhead, pale at the horizon, the sea's haze below, the sun bright.
    const Colour up = SkyPainter::SkyAt({0, 1, 0}), below = SkyPainter::SkyAt({0, -1, 0});
    const float horizon = Luminance(SkyPainter::SkyAt(Normalize({-1, 0.01f, -1})));
    EXPECT_TRUE(up.b > up.r + 0.3f && horizon > Luminance(up) && Luminance(below) < horizon - 0.3f);
    EXPECT_GT(Luminance(SkyPainter::SkyAt(SkyPainter::SunDirection())), 0.97f);
}

TEST(SeaPainter, WaterAndCausticsTileAndTheCausticsLoopAsDimLinesOnBlack)
{
    const int size = 64;
    const Image first = SeaPainter::Caustic(0, 32, size), frame = SeaPainter::Caustic(5, 32, size);
    ExpectTiles(SeaPainter::Water(size));
    ExpectTiles(first);
    // Frame 31 leads into frame 0 as smoothly as frame 0 into frame 1.
    const float step = MeanDifference(first, SeaPainter::Caustic(1, 32, size));
    EXPECT_GT(step, 0.0f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(31, 32, size), first), step * 1.5f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(32, 32, size), first), 0.01f);
    // The game adds the frame times the water colour: bright would wash it out.
    float sum = 0.0f, brightest = 0.0f;
    int dark = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float l = Luminance(frame.At(x, y));
            sum += l;
            brightest = std::max(brightest, l);
            dark += l < 0.05f;
        }
    EXPECT_LT(sum / float(size * size), 0.2f);
    EXPECT_GT(brightest, 0.3f);
    EXPECT_GT(dark, size * size / 3);
}

TEST(ScreenPainter, GuiCellsHoldTheirShapesAndTheConsoleIsDarkAboveTheLightInputLine)
{
    const int size = 256;
    const Image gui = ScreenPainter::Gui(size);
    auto alphaAt = [&](float u, float v) { return gui.At(int(u * size), int(v * size)).a; };
    // Radio and check boxes: opaque in their middles, clear at their corners,
    // ticked unlike unticked.
    for (float u : {0.165f, 0.495f})
        for (float v : {0.165f, 0.495f})
        {
            EXPECT_GT(alphaAt(u, v), 0.99f) << u << ", " << v;
            EXPECT_LT(alphaAt(u - 0.15f, v - 0.15f), 0.01f) << u << ", " << v;
        }
    const int cell = int(0.33f * size);
    for (int row = 0; row < 2; ++row)
    {
        float sum = 0.0f;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                sum += Difference(gui.At(x, row * cell + y), gui.At(x + cell + 1, row * cell + y));
        EXPECT_GT(sum / float(cell * cell), 0.05f) << row;
    }
    // The edit box fills its cell; the cursor's tip is its cell's top-left
    // corner; the bottom row is free.
    EXPECT_GT(alphaAt(0.99f, 0.32f), 0.99f);
    EXPECT_GT(alphaAt(0.67f, 0.34f), 0.5f);
    EXPECT_LT(alphaAt(0.99f, 0.34f), 0.01f);
    for (int y = int(0.67f * size); y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(gui.At(x, y).a, 0.0f);

    // Console lines are light, the input line black: each needs its ground.
    const Image console = ScreenPainter::Console(512, 256);
    float top = 0.0f, band = 0.0f;
    for (int x = 0; x < 512; ++x)
        top += Luminance(console.At(x, 100)), band += Luminance(console.At(x, 252));
    EXPECT_LT(top / 512.0f, 0.2f);
    EXPECT_GT(band / 512.0f, 0.6f);
    // The input row is one line (37.5 units) high and one above the panel's
    // lower edge: the band reaches above 75 of its 512 units.
    EXPECT_GE(ScreenPainter::InputBand, 75.0f / 512.0f);
}

// Loud, unclipped, no click at either end, died away; the splash the longest,
// a noise, the jump a tone, the pop the shortest; five different clucks.
TEST(SoundDesign, EverySoundIsLoudButUnclippedStartsAndEndsInSilenceAndTheClucksDiffer)
{
    std::vector<std::vector<float>> sounds = {SoundDesign::Splash(), SoundDesign::Jumped(),
                                              SoundDesign::Pop()};
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
        sounds.push_back(SoundDesign::Cluck(i));
    std::vector<float> seconds, crossings;
    for (const std::vector<float>& s : sounds)
    {
        float peak = 0, rms = 0, mean = 0, tail = 0;
        int crossed = 0;
        for (size_t i = 0; i < s.size(); ++i)
        {
            peak = std::max(peak, std::fabs(s[i]));
            rms += s[i] * s[i];
            mean += s[i];
            crossed += i > 0 && (s[i - 1] < 0.0f) != (s[i] < 0.0f);
            if (i + SoundDesign::SampleRate / 100 >= s.size())
                tail = std::max(tail, std::fabs(s[i]));
        }
        seconds.push_back(float(s.size()) / float(SoundDesign::SampleRate));
        crossings.push_back(float(crossed) / seconds.back());
        SCOPED_TRACE(testing::Message() << "sound " << seconds.size() - 1);
        rms = std::sqrt(rms / float(s.size())), mean /= float(s.size()); // rms: no lone click
        EXPECT_TRUE(peak > 0.6f && peak <= 0.81f && rms > 0.04f && std::fabs(mean) < 0.01f)
            << peak << " " << rms << " " << mean;
        EXPECT_TRUE(std::fabs(s.front()) < 0.01f && std::fabs(s.back()) < 0.01f && tail < 0.05f);
        EXPECT_TRUE(seconds.back() > 0.25f && seconds.back() < 1.5f) << seconds.back();
    }
    EXPECT_GT(seconds[0], seconds[1]);
    EXPECT_LT(seconds[2], seconds[1]);
    EXPECT_GT(crossings[0], crossings[1]);
    for (size_t a = 3; a < sounds.size(); ++a)
    {
        EXPECT_TRUE(crossings[a] > 600.0f && crossings[a] < 4000.0f) << crossings[a];
        for (size_t b = a + 1; b < sounds.size(); ++b)
            EXPECT_TRUE(std::fabs(seconds[a] - seconds[b]) > 0.05f ||
                        std::fabs(crossings[a] - crossings[b]) > 100.0f)
                << "idle" << a - 2 << " and idle" << b - 2 << " sound alike";
    }
}
