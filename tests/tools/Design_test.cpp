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
using Key = std::tuple<long, long, long>;
Key KeyOf(const Vec3& p, double scale)
{
    return {std::lround(p.x * scale), std::lround(p.y * scale), std::lround(p.z * scale)};
}

// Empty when every piece is closed and wound outward: each edge (by position)
// used once each way, a positive volume (about a corner of its own, in doubles).
std::string CheckClosed(const Mesh& mesh)
{
    std::string wrong;
    for (const MeshPiece& piece : mesh.pieces)
    {
        std::map<std::pair<Key, Key>, int> edges;
        const Vec3 o = mesh.vertices[mesh.triangles[piece.firstTriangle].index[0]].position;
        double volume = 0.0, p[3][3];
        for (uint32_t t = piece.firstTriangle; t < piece.firstTriangle + piece.triangleCount; ++t)
        {
            const uint32_t* index = mesh.triangles[t].index;
            for (int k = 0; k < 3; ++k)
            {
                const Vec3 &v = mesh.vertices[index[k]].position,
                           &next = mesh.vertices[index[(k + 1) % 3]].position;
                ++edges[{KeyOf(v, 1000), KeyOf(next, 1000)}];
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

const Mesh& Level()
{
    static const Mesh level = LevelDesign::Build();
    return level;
}

float Difference(const Colour& a, const Colour& b)
{
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

float Luminance(const Colour& c)
{
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

// Where the picture repeats (last column to first, last row to first) the
// step is at most twice the mean step between neighbours.
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
    EXPECT_TRUE(Level().triangles.size() > 3000u && Level().triangles.size() < 60000u);
}

TEST(Designs, ChickenSubsetsSitWhereTheGameAnimatesThemAndPropsFitTheirSpheres)
{
    using C = ChickenDesign;
    const Mesh chicken = C::Build();
    ASSERT_EQ(chicken.materials.size(), 9u);
    Vec3 c[9]; // the centre of each subset
    float count[9] = {};
    for (const MeshTriangle& t : chicken.triangles)
        for (uint32_t i : t.index)
            c[t.material] += chicken.vertices[i].position, count[t.material] += 1.0f;
    for (int s = 0; s < 9; ++s)
        c[s] = c[s] * (1.0f / count[s]);
    // Facing +z: beak before head before body, tail behind; comb on top; a leg
    // below on each side; pairs symmetric about the middle.
    EXPECT_TRUE(c[C::Beak].z > c[C::Head].z && c[C::Head].z > c[C::Body].z &&
                c[C::Tail].z < c[C::Body].z - 3.0f && c[C::Comb].y > c[C::Head].y &&
                c[C::Eyes].y > c[C::Body].y);
    EXPECT_TRUE(std::max(c[C::LeftLeg].y, c[C::RightLeg].y) < -5.0f && c[C::RightLeg].x > 0.5f &&
                std::fabs(c[C::LeftLeg].x + c[C::RightLeg].x) < 1e-3f &&
                std::fabs(c[C::Eyes].x) < 1e-3f && std::fabs(c[C::Wings].x) < 1e-3f);
    for (const MeshMaterial& m : chicken.materials)
        EXPECT_FALSE(m.texture.empty()) << m.name;
    const float radius = chicken.Radius({0, 0, 0}); // in its physics sphere, on its feet
    EXPECT_TRUE(radius <= 10.0f && radius > 9.0f && chicken.Bounds().min.y < -9.5f) << radius;
    // The egg stands ten below its centre, upright and round about its axis;
    // the blood drop at the game's scale fills the chicken's sphere.
    const Box3 egg = PropDesign::Egg().Bounds();
    EXPECT_TRUE(egg.min.y == -10.0f && std::fabs(egg.max.y - egg.min.y - 12.5f) < 1e-3f &&
                std::fabs(egg.max.x - egg.min.x - (egg.max.z - egg.min.z)) < 0.05f);
    const float reach = PropDesign::BloodDrop().Radius({0, 0, 0}) * PropDesign::DropScale;
    EXPECT_TRUE(reach <= 10.0f && reach > 9.5f) << reach;
}

// The route reaches the egg; with every jump a walk it stops at the first gap.
TEST(LevelDesign, RouteWalksFromTheStartToTheEggAndNotWithoutItsJumps)
{
    std::vector<Vec3> corners;
    for (const MeshTriangle& t : Level().triangles)
        for (uint32_t i : t.index)
            corners.push_back(Level().vertices[i].position);
    const RouteWalker walker(corners);
    const Vec3 start = LevelDesign::Start, egg = LevelDesign::EggPosition;
    EXPECT_NEAR(walker.GroundBelow(start.x, start.y, start.z, 100), LevelDesign::StartFloor, 0.01f);
    EXPECT_NEAR(walker.GroundBelow(egg.x, egg.y, egg.z, 100.0f), LevelDesign::EggFloor, 0.01f);
    const RouteWalkResult walk = walker.Walk(start, LevelDesign::Route(), egg, 60.0f);
    EXPECT_TRUE(walk.reachedEgg && !walk.drowned)
        << walk.failure << " at " << walk.position.x << ", " << walk.position.z;
    EXPECT_LT(walk.largestMove, 12.0f); // a walk step plus a frame's fall: no teleporting
    EXPECT_GE(walk.jumps, 8);
    std::vector<LevelRouteStep> walkOnly = LevelDesign::Route();
    for (LevelRouteStep& step : walkOnly)
        step.kind = LevelRouteStep::Walk;
    const RouteWalkResult stuck = walker.Walk(start, walkOnly, egg, 30.0f);
    EXPECT_TRUE(!stuck.reachedEgg && stuck.stepsDone < 5u);
}

TEST(RouteWalker, WalksTwoHundredUnitsPerSecondFallsFromEdgesAndJumpsAboutEightHundred)
{
    auto floor = [](std::vector<Vec3>& out, float x0, float x1) // at y 0, z from -1000 to 1000
    {
        const Vec3 a(x0, 0, -1000), b(x1, 0, -1000), c(x0, 0, 1000), d(x1, 0, 1000);
        out.insert(out.end(), {a, c, b, b, c, d});
    };
    std::vector<Vec3> flat;
    floor(flat, -1000, 1000);
    const RouteWalker walker(flat);
    const Vec3 far(0, 10, 5000);
    const RouteWalkResult walk = walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 0, 600}}, far, 60);
    EXPECT_TRUE(walk.stepsDone == 1u && std::fabs(walk.seconds - 3.0f) < 0.1f) // facing +z
        << walk.seconds;
    EXPECT_TRUE(walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 1500, 0}}, far, 60).drowned);
    for (float gap : {700.0f, 900.0f})
    {
        std::vector<Vec3> level;
        floor(level, -400, 0), floor(level, gap, gap + 1000);
        const RouteWalkResult jump = RouteWalker(level).Walk(
            {-20, 10, 0}, {{LevelRouteStep::Walk, -15, 0}, {LevelRouteStep::Jump, gap + 300, 0}},
            {gap + 300, 10, 0}, 60.0f);
        EXPECT_TRUE(jump.reachedEgg == (gap < 800) && jump.drowned == (gap > 800))
            << gap << ": " << jump.failure;
    }
}

// A slab with flat normals and no slivers, a lathe whose seam repeats each
// full ring's positions with u 0 and u 1: both closed.
TEST(MeshBuilder, HexahedraAndLathesAreClosedWithoutSliversAndTheSeamRepeatsPositions)
{
    Mesh mesh;
    mesh.AddMaterial(MeshMaterial()), mesh.AddMaterial(MeshMaterial());
    const FaceUv noUv = [](const Vec3&, const Vec3&, int, float& u, float& v) { u = v = 0.0f; };
    Hexahedron slab = Hexahedron::Box({100, 50, -30}, {400, 0, 0}, {0, 6, 0}, {0, 0, 85});
    slab.Subdivide(120.0f); // 800 x 12 x 170: cells no longer than 3 x 12
    MeshBuilder(mesh).AddHexahedron("slab", slab, noUv);
    EXPECT_GT(SmallestAngle(mesh), 15.0f);
    for (const MeshTriangle& t : mesh.triangles)
        ASSERT_GT(Dot(mesh.FaceNormal(t), mesh.vertices[t.index[0]].normal), 0.99f);

    Frame frame;
    frame.origin = {3, 4, 5};
    frame.pitch = 0.7f;
    const RingMesh solid = Lathe(
        [](float t) {
            return ProfilePoint{std::sin(3.14159265f * t), -std::cos(3.14159265f * t)};
        },
        8, 10, frame, 2.0f, 1.0f, 1);
    ASSERT_EQ(solid.rings.size(), 9u); // seven full rings between the poles
    const size_t first = mesh.vertices.size();
    MeshBuilder(mesh).AddRingMesh("lathe", solid,
                                  [](int, float around, const Vec3&, float& u, float& v)
                                  { u = around, v = 0.0f; });
    std::set<Key> seams;
    for (size_t a = first; a < mesh.vertices.size(); ++a)
        for (size_t b = first; b < mesh.vertices.size(); ++b)
            if (mesh.vertices[a].u == 0 && mesh.vertices[b].u == 1 &&
                mesh.vertices[a].position == mesh.vertices[b].position)
                seams.insert(KeyOf(mesh.vertices[a].position, 1e4));
    EXPECT_EQ(seams.size(), 7u);
    EXPECT_EQ(CheckClosed(mesh), "");
}

// Every vertex fully weighted, a one-second walk that loops, legs in opposition.
TEST(HenRig, EveryVertexIsFullyWeightedAndTheWalkLoops)
{
    const SkinnedModel hen = HenRig::Build();
    ASSERT_EQ(hen.bones.size(), size_t(HenRig::BoneCount));
    std::vector<float> total(hen.mesh.vertices.size(), 0.0f);
    for (const RigBone& bone : hen.bones)
    {
        ASSERT_TRUE(bone.vertices.size() == bone.weights.size() && !bone.vertices.empty())
            << bone.name;
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            total[bone.vertices[i]] += bone.weights[i];
    }
    for (size_t v = 0; v < total.size(); ++v)
        ASSERT_NEAR(total[v], 1.0f, 1e-5f) << "vertex " << v;
    EXPECT_TRUE(hen.MaxWeightsPerVertex() == 2u && hen.MaxWeightsPerFace() == 2u); // the neck
    ASSERT_EQ(hen.walk.size(), hen.bones.size());
    for (const RigTrack& track : hen.walk)
        EXPECT_TRUE(track.keys.size() == 5u && track.keys.back().time == hen.ticksPerSecond &&
                    track.keys.front().pitch == track.keys.back().pitch)
            << track.bone;
    EXPECT_EQ(hen.walk[HenRig::LeftLeg].keys[0].pitch, -hen.walk[HenRig::RightLeg].keys[0].pitch);
    EXPECT_EQ(SkinnedXWriter::ToText(hen, "HenMesh", "Walk").rfind("xof 0303txt 0032\n", 0), 0u);
}

// Surfaces, water and caustics tile; the caustics loop smoothly (31 to 0 as 0
// to 1) as dim lines on black, since the game adds them times the water colour.
TEST(Painters, SurfacesWaterAndCausticsTileAndTheCausticsLoopDim)
{
    for (Image (*paint)(int) :
         {SurfacePainter::Grass, SurfacePainter::Rock, SurfacePainter::Planks,
          SurfacePainter::Flagstones, SurfacePainter::Wall, SurfacePainter::GoldTiles,
          SurfacePainter::Bark, SurfacePainter::Leaves, SurfacePainter::Skin, SurfacePainter::Comb,
          SurfacePainter::EggShell, SurfacePainter::Blood, SeaPainter::Water})
        for (int size : {64, 128})
            ExpectTiles(paint(size));
    const int size = 64;
    const Image first = SeaPainter::Caustic(0, 32, size), frame = SeaPainter::Caustic(5, 32, size);
    auto MeanDifference = [&](const Image& a, const Image& b)
    {
        float sum = 0.0f;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                sum += Difference(a.At(x, y), b.At(x, y));
        return sum / float(size * size);
    };
    ExpectTiles(first);
    const float step = MeanDifference(first, SeaPainter::Caustic(1, 32, size));
    EXPECT_GT(step, 0.0f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(31, 32, size), first), step * 1.5f);
    EXPECT_LT(MeanDifference(SeaPainter::Caustic(32, 32, size), first), 0.01f);
    float sum = 0.0f, brightest = 0.0f;
    int dark = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float l = Luminance(frame.At(x, y));
            sum += l, brightest = std::max(brightest, l), dark += l < 0.05f;
        }
    EXPECT_TRUE(sum / float(size * size) < 0.2f && brightest > 0.3f && dark > size * size / 3);
}

// Texels (0, 0), (1, 0), (0, 1), (1, 1) of each face look at the sky box's
// corners in its texture order (face 1 the bottom); faces agree where they meet.
TEST(SkyPainter, FaceCornersAreTheSkyBoxCornersAndNeighbouringFacesAgreeAlongEveryEdge)
{
    const float corners[6][4][3] = {{{-2, 2, 2}, {2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},
                                    {{-2, -2, 2}, {2, -2, 2}, {-2, -2, -2}, {2, -2, -2}},
                                    {{2, 2, -2}, {-2, 2, -2}, {2, -2, -2}, {-2, -2, -2}},
                                    {{-2, 2, -2}, {2, 2, -2}, {-2, 2, 2}, {2, 2, 2}},
                                    {{-2, 2, -2}, {-2, 2, 2}, {-2, -2, -2}, {-2, -2, 2}},
                                    {{2, 2, 2}, {2, 2, -2}, {2, -2, 2}, {2, -2, -2}}};
    const int size = 48;
    std::map<Key, Colour> seen;
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
                const auto [at, fresh] =
                    seen.emplace(KeyOf(SkyPainter::Direction(f, x, y, size), 1e4), face.At(x, y));
                shared += !fresh;
                ASSERT_LT(Difference(at->second, face.At(x, y)), 3.0f / 255.0f)
                    << "face " << f << " texel " << x << ", " << y;
            }
    }
    EXPECT_EQ(shared, 12 * (size - 2) + 8 * 2); // twelve edges seen twice, eight corners thrice
}

TEST(ScreenPainter, GuiCellsHoldTheirShapesAndTheConsoleIsDarkAboveTheLightInputLine)
{
    const int size = 256;
    const Image gui = ScreenPainter::Gui(size);
    auto alphaAt = [&](float u, float v) { return gui.At(int(u * size), int(v * size)).a; };
    // Radio and check boxes opaque in their middles, clear at their corners.
    for (float u : {0.165f, 0.495f})
        for (float v : {0.165f, 0.495f})
            EXPECT_TRUE(alphaAt(u, v) > 0.99f && alphaAt(u - 0.15f, v - 0.15f) < 0.01f)
                << u << ", " << v;
    // The edit box fills its cell, the cursor's tip is its cell's top-left
    // corner, the bottom row is free.
    EXPECT_TRUE(alphaAt(0.99f, 0.32f) > 0.99f && alphaAt(0.67f, 0.34f) > 0.5f &&
                alphaAt(0.99f, 0.34f) < 0.01f);
    for (int y = int(0.67f * size); y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(gui.At(x, y).a, 0.0f);
    // Light console lines on a dark ground, over a light band for the black
    // input line, one line (37.5 of 512 units) above the panel's lower edge.
    const Image console = ScreenPainter::Console(512, 256);
    float top = 0.0f, band = 0.0f;
    for (int x = 0; x < 512; ++x)
        top += Luminance(console.At(x, 100)), band += Luminance(console.At(x, 252));
    EXPECT_TRUE(top / 512.0f < 0.2f && band / 512.0f > 0.6f);
    EXPECT_GE(ScreenPainter::InputBand, 75.0f / 512.0f);
}

// Loud, unclipped, no click at either end, died away; the splash the longest,
// a noise, the jump a tone, the pop the shortest; clucks in a hen's range.
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
            rms += s[i] * s[i], mean += s[i];
            crossed += i > 0 && (s[i - 1] < 0.0f) != (s[i] < 0.0f);
            if (i + SoundDesign::SampleRate / 100 >= s.size())
                tail = std::max(tail, std::fabs(s[i]));
        }
        seconds.push_back(float(s.size()) / float(SoundDesign::SampleRate));
        crossings.push_back(float(crossed) / seconds.back());
        rms = std::sqrt(rms / float(s.size())), mean /= float(s.size()); // rms: no lone click
        EXPECT_TRUE(peak > 0.6f && peak <= 0.81f && rms > 0.04f && std::fabs(mean) < 0.01f &&
                    std::fabs(s.front()) < 0.01f && std::fabs(s.back()) < 0.01f && tail < 0.05f &&
                    seconds.back() > 0.25f && seconds.back() < 1.5f)
            << "sound " << seconds.size() - 1 << ": " << peak << " " << rms << " " << mean << " "
            << tail << " " << seconds.back();
    }
    EXPECT_TRUE(seconds[0] > seconds[1] && seconds[2] < seconds[1] && crossings[0] > crossings[1]);
    for (size_t a = 3; a < sounds.size(); ++a)
        EXPECT_TRUE(crossings[a] > 600.0f && crossings[a] < 4000.0f) << crossings[a];
}
