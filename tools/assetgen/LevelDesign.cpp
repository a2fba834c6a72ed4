#include "LevelDesign.h"

#include "MeshBuilder.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

const Vec3 LevelDesign::Start(0.0f, 60.0f, 0.0f);
const Vec3 LevelDesign::EggPosition(6254.0f, 1264.0f, 7081.0f);

namespace
{
const float Pi = 3.14159265f;
const float TwoPi = 6.28318530718f;
// Pillars, posts and sea stacks stand on this, well under the sea (y = 0).
const float SeaBed = -60.0f;
// Largest cell edge of a subdivided face.
const float MaxCell = 120.0f;

MeshMaterial Material(const char* name, const char* texture, float diffuse, float glow)
{
    MeshMaterial m;
    m.name = name;
    m.texture = texture;
    m.diffuse[0] = m.diffuse[1] = m.diffuse[2] = diffuse;
    // One sun and no ambient light in the game: the glow lights the shade.
    m.emissive[0] = m.emissive[1] = m.emissive[2] = glow;
    return m;
}

// Texture coordinates from world positions: tops by x and z, sides by their
// horizontal run and height. `scale` world units per texture repeat.
FaceUv WorldUv(float scale)
{
    return [scale](const Vec3& p, const Vec3& n, int, float& u, float& v)
    {
        if (std::fabs(n.y) > 0.6f)
        {
            u = p.x / scale;
            v = p.z / scale;
            return;
        }
        u = (std::fabs(n.x) > std::fabs(n.z) ? p.z : p.x) / scale;
        v = -p.y / scale;
    };
}

class LevelBuilder
{
public:
    explicit LevelBuilder(Mesh& target) : mesh(target), builder(target) {}

    void AddMaterials();
    void Island(const char* name, float cx, float cz, float radius, float top, float depth,
                uint32_t seed);
    void Slab(const char* name, float cx, float cz, float sizeX, float sizeZ, float top,
              float thickness, uint32_t topMaterial);
    void Pillar(const char* name, float cx, float cz, float sizeX, float sizeZ, float top);
    void Platform(const char* name, float cx, float cz, float sizeX, float sizeZ, float top,
                  float thickness, float pillar);
    void Ramp(const char* name, const Vec3& from, const Vec3& to, float width, float thickness,
              int posts);
    void Tree(float x, float z, float ground, float height, uint32_t seed);
    void Boulder(float x, float z, float ground, float size, uint32_t seed);
    void Bush(float x, float z, float ground, float size, uint32_t seed);
    void Column(float x, float z, float ground, float height);
    void GoalPlatform(float cx, float cz, float radius, float top);
    void SeaStack(float x, float z, float top, float radius, uint32_t seed);

private:
    void Post(float x, float z, float top);
    void AddRings(const char* name, const RingMesh& solid, uint32_t planarMaterials, float scale);

    Mesh& mesh;
    MeshBuilder builder;
};

void LevelBuilder::AddMaterials()
{
    mesh.AddMaterial(Material("Grass", "grass.tex", 0.72f, 0.34f));
    mesh.AddMaterial(Material("Rock", "rock.tex", 0.7f, 0.34f));
    mesh.AddMaterial(Material("Planks", "planks.tex", 0.75f, 0.36f));
    mesh.AddMaterial(Material("Flagstone", "flagstone.tex", 0.68f, 0.4f));
    mesh.AddMaterial(Material("Wall", "wall.tex", 0.66f, 0.44f));
    MeshMaterial gold = Material("GoldTile", "goldtile.tex", 0.8f, 0.48f);
    gold.power = 25.0f;
    gold.specular[0] = gold.specular[1] = 0.6f;
    gold.specular[2] = 0.4f;
    mesh.AddMaterial(gold);
    mesh.AddMaterial(Material("Bark", "bark.tex", 0.7f, 0.32f));
    mesh.AddMaterial(Material("Leaves", "leaves.tex", 0.72f, 0.34f));
}

// Bands whose material is in `planarMaterials` (a bit set) get top-down
// coordinates; the others wrap round the solid and run down its height.
void LevelBuilder::AddRings(const char* name, const RingMesh& solid, uint32_t planarMaterials,
                            float scale)
{
    float radius = 0.0f;
    Vec3 centre = solid.rings.front().front();
    for (const std::vector<Vec3>& ring : solid.rings)
        for (const Vec3& p : ring)
            radius = std::max(radius, std::hypot(p.x - centre.x, p.z - centre.z));
    const float around = std::max(1.0f, std::round(TwoPi * radius / scale));
    builder.AddRingMesh(name, solid,
                        [&](int ring, float a, const Vec3& p, float& u, float& v)
                        {
                            const size_t band =
                                size_t(std::min(ring, int(solid.bandMaterial.size()) - 1));
                            if (planarMaterials & (1u << solid.bandMaterial[band]))
                            {
                                u = p.x / scale;
                                v = p.z / scale;
                                return;
                            }
                            u = a * around;
                            v = -p.y / scale;
                        });
}

// Rings of a craggy underside narrowing from `radius` at height `from` to a
// point `depth` below; spaced so that no band is much taller than it is
// wide around.
void AddUnderside(RingMesh& solid, float cx, float cz, float radius, float from, float depth,
                  int segments, float rough, uint32_t seed)
{
    const float steps[] = {0.25f, 0.45f, 0.62f, 0.76f, 0.87f, 0.95f};
    uint32_t salt = 2;
    for (float s : steps)
    {
        std::vector<Vec3> points;
        const float r = radius * std::pow(1.0f - s, 0.55f);
        for (int i = 0; i < segments; ++i)
        {
            const float a = TwoPi * float(i) / float(segments);
            const float k = 1.0f + rough * Noise::Gradient(float(i) / float(segments) * 5.0f,
                                                           0.37f + float(salt), 5, 64, seed);
            points.push_back(
                {cx + std::cos(a) * r * k, from - depth * s, cz + std::sin(a) * r * k});
        }
        solid.rings.push_back(points);
        ++salt;
    }
    solid.rings.push_back({{cx, from - depth, cz}});
}

// A floating island: a flat grassy top rounding off at the edge, a band of
// rock, and a craggy underside narrowing to a point `depth` below.
void LevelBuilder::Island(const char* name, float cx, float cz, float radius, float top,
                          float depth, uint32_t seed)
{
    const int segments = radius >= 350.0f ? 22 : 20;
    struct Ring
    {
        float scale, drop;
    };
    const float rim = 60.0f;
    const Ring rings[] = {{0.42f, 0.0f}, {0.78f, 0.0f}, {0.9f, 4.0f}, {1.0f, 14.0f}, {1.02f, rim}};
    // One wobble of the outline for all the top rings, so the edge stays
    // parallel to itself.
    auto outline = [&](int s)
    {
        const float a = float(s) / float(segments) * 5.0f;
        return 1.0f + 0.07f * Noise::Gradient(a, 0.37f, 5, 64, seed);
    };
    RingMesh solid;
    solid.rings.push_back({{cx, top, cz}});
    for (const Ring& r : rings)
    {
        std::vector<Vec3> points;
        for (int s = 0; s < segments; ++s)
        {
            const float a = TwoPi * float(s) / float(segments);
            const float d = radius * r.scale * outline(s);
            points.push_back({cx + std::cos(a) * d, top - r.drop, cz + std::sin(a) * d});
        }
        solid.rings.push_back(points);
    }
    AddUnderside(solid, cx, cz, radius, top - rim, depth, segments, 0.1f, seed);
    solid.bandMaterial.assign(solid.rings.size() - 1, LevelDesign::Rock);
    for (size_t band = 0; band < 4; ++band)
        solid.bandMaterial[band] = LevelDesign::Grass;
    AddRings(name, solid, 1u << LevelDesign::Grass, 256.0f);
}

void LevelBuilder::Slab(const char* name, float cx, float cz, float sizeX, float sizeZ, float top,
                        float thickness, uint32_t topMaterial)
{
    Hexahedron box = Hexahedron::Box({cx, top - thickness * 0.5f, cz}, {sizeX * 0.5f, 0, 0},
                                     {0, thickness * 0.5f, 0}, {0, 0, sizeZ * 0.5f});
    box.Subdivide(MaxCell);
    box.SetMaterials(topMaterial, LevelDesign::Wall);
    builder.AddHexahedron(name, box, WorldUv(256.0f));
}

void LevelBuilder::Pillar(const char* name, float cx, float cz, float sizeX, float sizeZ, float top)
{
    Slab(name, cx, cz, sizeX, sizeZ, top, top - SeaBed, LevelDesign::Wall);
}

// A flagstone platform on a stone pillar that stands in the sea.
void LevelBuilder::Platform(const char* name, float cx, float cz, float sizeX, float sizeZ,
                            float top, float thickness, float pillar)
{
    Slab(name, cx, cz, sizeX, sizeZ, top, thickness, LevelDesign::Flagstone);
    if (pillar > 0.0f)
        Pillar(name, cx, cz, std::min(pillar, sizeX - 40.0f), std::min(pillar, sizeZ - 40.0f),
               top - thickness + 10.0f);
}

void LevelBuilder::Post(float x, float z, float top)
{
    Hexahedron post = Hexahedron::Box({x, (top + SeaBed) * 0.5f, z}, {12, 0, 0},
                                      {0, (top - SeaBed) * 0.5f, 0}, {0, 0, 12});
    post.Subdivide(MaxCell);
    post.SetMaterials(LevelDesign::Bark, LevelDesign::Bark);
    builder.AddHexahedron("post", post, WorldUv(64.0f));
}

// A plank walk from `from` to `to` (its top surface), `posts` wooden posts
// under it down into the sea. Boards run across the walk.
void LevelBuilder::Ramp(const char* name, const Vec3& from, const Vec3& to, float width,
                        float thickness, int posts)
{
    const Vec3 along = Normalize(Vec3(to.x - from.x, 0.0f, to.z - from.z));
    const Vec3 across(along.z, 0.0f, -along.x);
    const Vec3 half = across * (width * 0.5f);
    const Vec3 down(0.0f, -thickness, 0.0f);
    Hexahedron slab;
    for (int n = 0; n < 8; ++n)
    {
        const Vec3& end = (n & 1) ? to : from;
        const Vec3 side = (n & 2) ? half : -half;
        slab.corner[n] = end + side + ((n & 4) ? Vec3() : down);
    }
    slab.Subdivide(MaxCell);
    slab.SetMaterials(LevelDesign::Planks, LevelDesign::Planks);
    const float scale = 192.0f;
    builder.AddHexahedron(
        name, slab,
        [=](const Vec3& p, const Vec3& n, int, float& u, float& v)
        {
            if (std::fabs(n.y) > 0.6f)
            {
                u = Dot(p, across) / scale;
                v = Dot(p, along) / scale;
                return;
            }
            u = (std::fabs(Dot(n, along)) > 0.7f ? Dot(p, across) : Dot(p, along)) / scale;
            v = -p.y / scale;
        });
    for (int i = 1; i <= posts; ++i)
    {
        const float t = float(i) / float(posts + 1);
        const Vec3 at = Lerp(from, to, t);
        for (float side : {-1.0f, 1.0f})
        {
            const Vec3 p = at + half * (side * 0.8f);
            Post(p.x, p.z, p.y - thickness + 6.0f);
        }
    }
}

void LevelBuilder::Tree(float x, float z, float ground, float height, uint32_t seed)
{
    // The trunk: rings close enough together that no face is a sliver.
    const float trunk = 11.0f;
    const int rings = 2 + int(std::ceil(height / 16.0f));
    Frame base;
    base.origin = {x, ground - 10.0f, z};
    const float tall = height + 10.0f;
    RingMesh stem = Lathe(
        [=](float t)
        {
            const float k = std::clamp((t * float(rings) - 1.0f) / float(rings - 2), 0.0f, 1.0f);
            return ProfilePoint{trunk * (1.0f - 0.35f * k), k * tall};
        },
        rings, 8, base, 1.0f, 1.0f, LevelDesign::Bark);
    AddRings("trunk", stem, 0, 64.0f);
    // Two rounded masses of leaves.
    const float blobs[2][3] = {{0.0f, 0.0f, 62.0f}, {20.0f, -14.0f, 46.0f}};
    uint32_t lumps = seed * 7u;
    for (const float* b : blobs)
    {
        Frame crown;
        crown.origin = {x + b[0], ground + height + b[2] * 0.35f + b[1], z - b[0] * 0.5f};
        const uint32_t lumpSeed = lumps++;
        builder.AddBall(
            "crown", crown, {b[2], b[2] * 0.72f, b[2]}, 2, LevelDesign::Leaves,
            [lumpSeed](const Vec3& d) {
                return 1.0f + 0.14f * Noise::Gradient(d.x * 1.7f, d.y * 1.7f, d.z * 1.7f, lumpSeed);
            },
            96.0f);
    }
}

void LevelBuilder::Boulder(float x, float z, float ground, float size, uint32_t seed)
{
    Frame frame;
    frame.origin = {x, ground + size * 0.2f, z};
    frame.yaw = float(seed);
    builder.AddBall(
        "boulder", frame, {size, size * 0.6f, size * 0.85f}, 1, LevelDesign::Rock,
        [seed](const Vec3& d)
        { return 1.0f + 0.22f * Noise::Gradient(d.x * 1.3f, d.y * 1.3f, d.z * 1.3f, seed); },
        128.0f);
}

void LevelBuilder::Bush(float x, float z, float ground, float size, uint32_t seed)
{
    Frame frame;
    frame.origin = {x, ground + size * 0.3f, z};
    frame.yaw = float(seed);
    builder.AddBall(
        "bush", frame, {size, size * 0.7f, size}, 1, LevelDesign::Leaves,
        [seed](const Vec3& d)
        { return 1.0f + 0.18f * Noise::Gradient(d.x * 2.1f, d.y * 2.1f, d.z * 2.1f, seed); },
        64.0f);
}

void LevelBuilder::Column(float x, float z, float ground, float height)
{
    const float radius = 20.0f;
    const int rings = 2 + int(std::ceil(height / 36.0f));
    Frame base;
    base.origin = {x, ground - 10.0f, z};
    const float tall = height + 10.0f;
    RingMesh column = Lathe(
        [=](float t)
        {
            const float k = std::clamp((t * float(rings) - 1.0f) / float(rings - 2), 0.0f, 1.0f);
            // Wider at the foot and at the capital.
            const float flare = 1.0f + 0.3f * std::max(0.0f, 1.0f - k * 8.0f) +
                                0.3f * std::max(0.0f, k * 8.0f - 7.0f);
            return ProfilePoint{radius * flare, k * tall};
        },
        rings, 10, base, 1.0f, 1.0f, LevelDesign::Wall);
    AddRings("column", column, 0, 128.0f);
}

// The egg's round terrace: golden tiles inside a flagstone border, on a
// stone drum that narrows into rock below.
void LevelBuilder::GoalPlatform(float cx, float cz, float radius, float top)
{
    const int segments = 20;
    struct Ring
    {
        float scale, drop;
    };
    const Ring rings[] = {{0.45f, 0.0f}, {0.8f, 0.0f}, {1.0f, 0.0f}, {1.0f, 36.0f}, {0.94f, 72.0f}};
    RingMesh solid;
    solid.rings.push_back({{cx, top, cz}});
    for (const Ring& r : rings)
    {
        std::vector<Vec3> points;
        for (int s = 0; s < segments; ++s)
        {
            const float a = TwoPi * float(s) / float(segments);
            points.push_back({cx + std::cos(a) * radius * r.scale, top - r.drop,
                              cz + std::sin(a) * radius * r.scale});
        }
        solid.rings.push_back(points);
    }
    AddUnderside(solid, cx, cz, radius * 0.94f, top - 72.0f, 340.0f, segments, 0.06f, 31u);
    solid.bandMaterial.assign(solid.rings.size() - 1, LevelDesign::Rock);
    const uint32_t upper[] = {LevelDesign::GoldTile, LevelDesign::GoldTile, LevelDesign::Flagstone,
                              LevelDesign::Wall, LevelDesign::Wall};
    for (size_t band = 0; band < 5; ++band)
        solid.bandMaterial[band] = upper[band];
    AddRings("goal", solid, (1u << LevelDesign::GoldTile) | (1u << LevelDesign::Flagstone), 256.0f);
}

// A rock needle rising out of the sea: scenery on the horizon.
void LevelBuilder::SeaStack(float x, float z, float top, float radius, uint32_t seed)
{
    const int rings = 2 + int(std::ceil((top - SeaBed) / 70.0f));
    Frame base;
    base.origin = {x, SeaBed, z};
    const float tall = top - SeaBed;
    RingMesh stack = Lathe(
        [=](float t)
        {
            const float k = std::clamp((t * float(rings) - 1.0f) / float(rings - 2), 0.0f, 1.0f);
            return ProfilePoint{radius * (1.0f - 0.55f * k * k), k * tall};
        },
        rings, 12, base, 1.0f, 1.0f, LevelDesign::Rock);
    for (std::vector<Vec3>& ring : stack.rings)
        for (Vec3& p : ring)
        {
            const float n = Noise::Gradient(p.x * 0.01f, p.y * 0.01f, p.z * 0.01f, seed);
            p.x = x + (p.x - x) * (1.0f + 0.2f * n);
            p.z = z + (p.z - z) * (1.0f + 0.2f * n);
        }
    AddRings("stack", stack, 0, 256.0f);
}
} // namespace

Mesh LevelDesign::Build()
{
    Mesh mesh;
    LevelBuilder b(mesh);
    b.AddMaterials();

    // Home: the start island, and the bridge north to the fork.
    b.Island("home", 0.0f, 0.0f, 380.0f, StartFloor, 320.0f, 11u);
    b.Tree(-210.0f, -150.0f, StartFloor, 110.0f, 1u);
    b.Boulder(190.0f, -210.0f, StartFloor, 45.0f, 2u);
    b.Boulder(-120.0f, 230.0f, StartFloor, 28.0f, 3u);
    b.Bush(250.0f, 120.0f, StartFloor, 26.0f, 31u);
    b.Bush(-270.0f, 70.0f, StartFloor, 22.0f, 32u);
    b.Bush(-40.0f, -300.0f, StartFloor, 30.0f, 33u);
    b.Ramp("bridge1", {0.0f, 51.0f, 300.0f}, {0.0f, 51.0f, 1090.0f}, 140.0f, 14.0f, 1);

    // The fork: west to a lookout (a dead end), east up the first ramp.
    b.Island("fork", 0.0f, 1380.0f, 330.0f, StartFloor, 280.0f, 12u);
    b.Tree(90.0f, 1600.0f, StartFloor, 105.0f, 14u);
    b.Bush(-160.0f, 1560.0f, StartFloor, 24.0f, 34u);
    b.Ramp("lookoutbridge", {-270.0f, 51.0f, 1380.0f}, {-960.0f, 51.0f, 1380.0f}, 120.0f, 14.0f, 1);
    b.Island("lookout", -1230.0f, 1380.0f, 300.0f, StartFloor, 260.0f, 13u);
    b.Tree(-1300.0f, 1480.0f, StartFloor, 120.0f, 4u);
    b.Tree(-1150.0f, 1250.0f, StartFloor, 90.0f, 5u);
    b.Boulder(-1380.0f, 1300.0f, StartFloor, 40.0f, 6u);
    b.Ramp("ramp1", {260.0f, 51.0f, 1380.0f}, {1100.0f, 261.0f, 1380.0f}, 170.0f, 14.0f, 1);

    // The plaza, and three stepping stones north to the orchard.
    b.Platform("plaza", 1350.0f, 1380.0f, 500.0f, 500.0f, 261.0f, 60.0f, 300.0f);
    b.Platform("stone1", 1350.0f, 2010.0f, 240.0f, 240.0f, 291.0f, 40.0f, 150.0f);
    b.Platform("stone2", 1350.0f, 2500.0f, 240.0f, 240.0f, 321.0f, 40.0f, 150.0f);
    b.Platform("stone3", 1560.0f, 2980.0f, 260.0f, 260.0f, 351.0f, 40.0f, 160.0f);
    b.Island("orchard", 1700.0f, 3560.0f, 420.0f, 395.0f, 340.0f, 14u);
    b.Tree(1420.0f, 3660.0f, 395.0f, 100.0f, 7u);
    b.Tree(1620.0f, 3840.0f, 395.0f, 125.0f, 8u);
    b.Tree(1880.0f, 3800.0f, 395.0f, 95.0f, 9u);
    b.Bush(1440.0f, 3440.0f, 395.0f, 25.0f, 35u);
    b.Bush(1980.0f, 3330.0f, 395.0f, 20.0f, 36u);

    // Wrong turn: a ramp north to a watchtower with a view and no way on.
    b.Ramp("towerramp", {1700.0f, 398.0f, 3950.0f}, {1700.0f, 600.0f, 4750.0f}, 150.0f, 14.0f, 1);
    b.Platform("watchtower", 1700.0f, 4900.0f, 300.0f, 300.0f, 600.0f, 50.0f, 200.0f);

    // East up the long ramp to the tower plaza, then four high steps.
    b.Ramp("ramp2", {2050.0f, 398.0f, 3560.0f}, {3100.0f, 648.0f, 3560.0f}, 170.0f, 14.0f, 2);
    b.Platform("towerplaza", 3350.0f, 3560.0f, 500.0f, 500.0f, 648.0f, 60.0f, 320.0f);
    // The steps reach down into the pillar under them.
    for (int i = 0; i < 4; ++i)
    {
        const float top = 712.0f + 64.0f * float(i);
        b.Platform("step", 3350.0f, 3935.0f + 250.0f * float(i), 300.0f, 250.0f, top, top - 600.0f,
                   0.0f);
    }
    b.Pillar("stairpillar", 3350.0f, 4310.0f, 240.0f, 1000.0f, 620.0f);

    // The high island; stepping stones east that stop short of the egg.
    b.Island("highisland", 3350.0f, 5160.0f, 400.0f, 906.0f, 360.0f, 15u);
    b.Tree(3120.0f, 5330.0f, 906.0f, 115.0f, 10u);
    b.Tree(3600.0f, 5330.0f, 906.0f, 90.0f, 13u);
    b.Boulder(3580.0f, 4980.0f, 906.0f, 35.0f, 11u);
    b.Platform("falsestone1", 4060.0f, 5160.0f, 220.0f, 220.0f, 946.0f, 40.0f, 140.0f);
    b.Platform("falsestone2", 4480.0f, 5060.0f, 200.0f, 200.0f, 986.0f, 40.0f, 130.0f);

    // North up the third ramp to the gate, east over the high bridge.
    b.Ramp("ramp3", {3350.0f, 909.0f, 5480.0f}, {3350.0f, 1109.0f, 6330.0f}, 170.0f, 14.0f, 2);
    b.Platform("gate", 3350.0f, 6530.0f, 400.0f, 400.0f, 1109.0f, 60.0f, 280.0f);
    b.Column(3190.0f, 6690.0f, 1109.0f, 170.0f);
    b.Column(3510.0f, 6690.0f, 1109.0f, 170.0f);
    b.Ramp("bridge2", {3550.0f, 1109.0f, 6530.0f}, {4360.0f, 1109.0f, 6530.0f}, 140.0f, 14.0f, 1);
    b.Island("lastisland", 4650.0f, 6530.0f, 340.0f, 1106.0f, 300.0f, 16u);
    b.Tree(4700.0f, 6350.0f, 1106.0f, 100.0f, 12u);
    b.Bush(4560.0f, 6720.0f, 1106.0f, 24.0f, 37u);
    b.Bush(4820.0f, 6700.0f, 1106.0f, 20.0f, 38u);

    // The last ramp to the ledge, and the jump to the egg's terrace.
    b.Ramp("ramp4", {4900.0f, 1109.0f, 6530.0f}, {5600.0f, 1189.0f, 6530.0f}, 170.0f, 14.0f, 1);
    b.Platform("ledge", 5725.0f, 6530.0f, 250.0f, 300.0f, 1189.0f, 50.0f, 170.0f);
    b.GoalPlatform(EggPosition.x, EggPosition.z, 240.0f, EggFloor);
    b.Column(EggPosition.x + 170.0f, EggPosition.z + 120.0f, EggFloor, 150.0f);
    b.Column(EggPosition.x - 150.0f, EggPosition.z + 150.0f, EggFloor, 150.0f);
    b.Column(EggPosition.x + 150.0f, EggPosition.z - 150.0f, EggFloor, 150.0f);

    // Islets out of reach, and sea stacks on the skyline.
    b.Island("islet", -1800.0f, 4200.0f, 200.0f, 500.0f, 220.0f, 17u);
    b.Tree(-1810.0f, 4190.0f, 500.0f, 110.0f, 15u);
    b.Island("islet", 5300.0f, 2500.0f, 220.0f, 720.0f, 240.0f, 18u);
    b.Tree(5320.0f, 2480.0f, 720.0f, 120.0f, 16u);
    b.Bush(5220.0f, 2580.0f, 720.0f, 24.0f, 39u);
    b.Island("islet", 1400.0f, 7300.0f, 240.0f, 1300.0f, 260.0f, 19u);
    b.Tree(1380.0f, 7320.0f, 1300.0f, 130.0f, 17u);
    b.Island("islet", 7700.0f, 5300.0f, 180.0f, 950.0f, 200.0f, 20u);
    b.Bush(7700.0f, 5300.0f, 950.0f, 30.0f, 40u);

    // Sea stacks on the skyline.
    b.SeaStack(-900.0f, -1300.0f, 520.0f, 150.0f, 21u);
    b.SeaStack(2600.0f, 900.0f, 380.0f, 120.0f, 22u);
    b.SeaStack(-700.0f, 3300.0f, 700.0f, 170.0f, 23u);
    b.SeaStack(5200.0f, 4200.0f, 850.0f, 190.0f, 24u);
    b.SeaStack(7800.0f, 7600.0f, 600.0f, 160.0f, 25u);
    b.SeaStack(4600.0f, 8600.0f, 900.0f, 200.0f, 26u);
    return mesh;
}

std::vector<LevelRouteStep> LevelDesign::Route()
{
    using S = LevelRouteStep;
    return {
        {S::Walk, 0.0f, 1380.0f},    // over the bridge to the fork
        {S::Walk, 1250.0f, 1380.0f}, // east up the first ramp onto the plaza
        {S::Walk, 1350.0f, 1600.0f}, // to the plaza's north edge
        {S::Jump, 1350.0f, 2010.0f}, // stepping stones
        {S::Walk, 1350.0f, 2110.0f},
        {S::Jump, 1350.0f, 2500.0f},
        {S::Walk, 1380.0f, 2600.0f},
        {S::Jump, 1560.0f, 2980.0f},
        {S::Walk, 1580.0f, 3090.0f},
        {S::Jump, 1640.0f, 3300.0f}, // up onto the orchard
        {S::Walk, 1900.0f, 3560.0f},
        {S::Walk, 3250.0f, 3560.0f}, // up the long ramp to the tower plaza
        {S::Walk, 3350.0f, 3700.0f}, // a run-up: a jump against a step sticks to it
        {S::Jump, 3350.0f, 3935.0f}, // four high steps
        {S::Jump, 3350.0f, 4185.0f},
        {S::Jump, 3350.0f, 4435.0f},
        {S::Jump, 3350.0f, 4685.0f},
        {S::Walk, 3350.0f, 5160.0f}, // across the high island
        {S::Walk, 3350.0f, 6530.0f}, // up the third ramp to the gate
        {S::Walk, 4650.0f, 6530.0f}, // over the high bridge
        {S::Walk, 5800.0f, 6530.0f}, // up the last ramp to the ledge
        {S::Walk, 5830.0f, 6660.0f},
        {S::Jump, 6150.0f, 6950.0f}, // the jump to the egg's terrace
        {S::Walk, EggPosition.x, EggPosition.z},
    };
}

} // namespace assetgen
