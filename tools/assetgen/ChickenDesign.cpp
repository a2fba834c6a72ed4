#include "ChickenDesign.h"

#include "MeshBuilder.h"

#include <cmath>

namespace assetgen
{

namespace
{
const float Pi = 3.14159265f;

// Ellipsoid outline: a sphere of radius 1 from the bottom pole to the top.
ProfilePoint Round(float t)
{
    return {std::sin(Pi * t), -std::cos(Pi * t)};
}

// An egg-like outline, fuller towards t = 0; rings crowd towards the ends
// so they stay round.
ProfilePoint Plump(float t)
{
    const float s = -std::cos(Pi * t);
    return {std::sin(Pi * t) * (1.0f - 0.18f * s), s};
}

// A cone with a rounded base, tip at t = 1.
ProfilePoint Cone(float t)
{
    const float base = std::min(1.0f, t / 0.2f);
    return {std::sqrt(base) * (1.0f - t), t};
}

// Adds a lathe part scaled by (rx, ry, rz) around its frame.
void AddPart(Mesh& mesh, const std::string& name, ProfilePoint (*outline)(float),
             const Frame& frame, float rx, float ry, float rz, uint32_t subset, int rings,
             int segments, float textureRepeat)
{
    auto scaled = [outline, ry](float t)
    {
        ProfilePoint p = outline(t);
        p.height *= ry;
        return p;
    };
    const RingMesh solid = Lathe(scaled, rings, segments, frame, rx, rz, subset);
    MeshBuilder(mesh).AddRingMesh(name, solid,
                                  [&](int ring, float around, const Vec3&, float& u, float& v)
                                  {
                                      u = around * textureRepeat;
                                      v = float(ring) / float(rings) * textureRepeat;
                                  });
}

MeshMaterial Material(const char* name, const char* texture, float r, float g, float b, float glow)
{
    MeshMaterial m;
    m.name = name;
    m.texture = texture;
    m.diffuse[0] = r;
    m.diffuse[1] = g;
    m.diffuse[2] = b;
    // The game lights with one sun and no ambient light: the glow keeps the
    // shaded side from going black.
    m.emissive[0] = r * glow;
    m.emissive[1] = g * glow;
    m.emissive[2] = b * glow;
    return m;
}
} // namespace

void ChickenDesign::AddMaterials(Mesh& mesh)
{
    mesh.AddMaterial(Material("Body", "feather.tex", 0.85f, 0.85f, 0.83f, 0.5f));
    mesh.AddMaterial(Material("LeftLeg", "skin.tex", 0.85f, 0.8f, 0.75f, 0.4f));
    mesh.AddMaterial(Material("Head", "feather.tex", 0.86f, 0.86f, 0.84f, 0.52f));
    mesh.AddMaterial(Material("Beak", "skin.tex", 0.9f, 0.85f, 0.7f, 0.45f));
    mesh.AddMaterial(Material("Comb", "comb.tex", 0.9f, 0.85f, 0.85f, 0.45f));
    mesh.AddMaterial(Material("Wings", "feather.tex", 0.8f, 0.78f, 0.74f, 0.46f));
    MeshMaterial eyes = Material("Eyes", "eye.tex", 0.9f, 0.9f, 0.9f, 0.3f);
    eyes.power = 30.0f;
    eyes.specular[0] = eyes.specular[1] = eyes.specular[2] = 0.6f;
    mesh.AddMaterial(eyes);
    mesh.AddMaterial(Material("Tail", "feather.tex", 0.72f, 0.7f, 0.66f, 0.42f));
    mesh.AddMaterial(Material("RightLeg", "skin.tex", 0.85f, 0.8f, 0.75f, 0.4f));
}

void ChickenDesign::AddBody(Mesh& mesh)
{
    // A plump body, its breast raised towards the head, and the neck.
    Frame body;
    body.origin = {0.0f, 0.2f, -0.8f};
    body.pitch = Pi * 0.5f - 0.3f; // long axis along z, front tipped up
    AddPart(mesh, "body", Plump, body, 4.3f, 5.6f, 4.4f, Body, 14, 16, 2.0f);
    Frame neck;
    neck.origin = {0.0f, 2.9f, 2.4f};
    neck.pitch = 0.45f;
    AddPart(mesh, "neck", Round, neck, 2.1f, 2.9f, 2.2f, Body, 10, 14, 1.0f);
}

void ChickenDesign::AddHead(Mesh& mesh)
{
    Frame head;
    head.origin = {0.0f, 5.2f, 3.7f};
    AddPart(mesh, "head", Round, head, 2.35f, 2.3f, 2.5f, Head, 12, 16, 1.0f);

    Frame beak;
    beak.origin = {0.0f, 4.9f, 5.6f};
    beak.pitch = Pi * 0.5f + 0.18f; // pointing forward, a little down
    AddPart(mesh, "beak", Cone, beak, 0.85f, 2.1f, 0.6f, Beak, 6, 10, 1.0f);

    // Three lobes of comb along the crown and a wattle under the beak.
    const float lobes[3][4] = {
        {2.7f, 7.5f, 0.85f, 0.0f}, {3.7f, 7.9f, 1.05f, 0.0f}, {4.7f, 7.55f, 0.9f, 0.0f}};
    for (const float* l : lobes)
    {
        Frame lobe;
        lobe.origin = {0.0f, l[1], l[0]};
        AddPart(mesh, "comb", Round, lobe, 0.42f, l[2], l[2] * 0.75f, Comb, 8, 10, 1.0f);
    }
    Frame wattle;
    wattle.origin = {0.0f, 3.5f, 5.4f};
    wattle.pitch = 0.3f;
    AddPart(mesh, "wattle", Round, wattle, 0.45f, 0.95f, 0.55f, Comb, 8, 10, 1.0f);

    // Eyes look sideways: the pupil sits on the outer pole.
    for (float side : {-1.0f, 1.0f})
    {
        Frame eye;
        eye.origin = {side * 2.05f, 5.75f, 4.75f};
        eye.roll = side * Pi * 0.5f;
        eye.yaw = -side * 0.45f; // and a little forward
        AddPart(mesh, "eye", Round, eye, 0.55f, 0.55f, 0.55f, Eyes, 8, 10, 1.0f);
    }
}

void ChickenDesign::AddWingsAndTail(Mesh& mesh)
{
    // Folded wings along the flanks, full at the shoulder, tips raised.
    for (float side : {-1.0f, 1.0f})
    {
        Frame wing;
        wing.origin = {side * 3.7f, 1.0f, -1.0f};
        wing.pitch = -Pi * 0.5f + 0.28f; // pointing back and up
        wing.yaw = side * 0.1f;
        AddPart(mesh, "wing", Plump, wing, 0.85f, 4.3f, 2.7f, Wings, 12, 12, 1.5f);
    }
    // Five tail feathers fanning up and back.
    for (int i = -2; i <= 2; ++i)
    {
        const float f = float(i);
        Frame feather;
        feather.origin = {f * 0.55f, 3.0f - std::fabs(f) * 0.25f, -6.0f};
        feather.pitch = -0.5f;
        feather.roll = -f * 0.22f;
        AddPart(mesh, "tail", Round, feather, 0.35f, 3.0f - std::fabs(f) * 0.3f, 1.0f, Tail, 10, 10,
                1.0f);
    }
}

void ChickenDesign::AddLeg(Mesh& mesh, uint32_t subset, float side)
{
    const float x = side * 1.35f;
    // Thigh feathers tuck into the body; the shank runs down to the foot.
    Frame shank;
    shank.origin = {x, -6.2f, 0.1f};
    AddPart(mesh, "shank", Round, shank, 0.42f, 3.4f, 0.42f, subset, 8, 8, 1.0f);
    // Three toes forward, one back, flat on the ground at y = -9.6.
    const float toes[4][2] = {{-0.5f, 1.9f}, {0.0f, 2.2f}, {0.5f, 1.9f}, {Pi, 1.3f}};
    for (const float* t : toes)
    {
        Frame toe;
        toe.origin = {x, -9.45f, 0.1f};
        toe.pitch = Pi * 0.5f;
        toe.yaw = t[0] * side;
        AddPart(mesh, "toe", Cone, toe, 0.3f, t[1], 0.22f, subset, 5, 6, 1.0f);
    }
}

Mesh ChickenDesign::Build()
{
    Mesh mesh;
    AddMaterials(mesh);
    AddBody(mesh);
    AddLeg(mesh, LeftLeg, -1.0f);
    AddHead(mesh);
    AddWingsAndTail(mesh);
    AddLeg(mesh, RightLeg, 1.0f);
    return mesh;
}

} // namespace assetgen
