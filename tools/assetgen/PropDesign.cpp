#include "PropDesign.h"

#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
const float Pi = 3.14159265f;

void AddLathe(Mesh& mesh, const std::string& name,
              const std::function<ProfilePoint(float)>& outline, int rings, int segments)
{
    Frame frame;
    const RingMesh solid = Lathe(outline, rings, segments, frame, 1.0f, 1.0f, 0);
    MeshBuilder(mesh).AddRingMesh(name, solid,
                                  [rings](int ring, float around, const Vec3&, float& u, float& v)
                                  {
                                      u = around * 2.0f;
                                      v = float(ring) / float(rings);
                                  });
}
} // namespace

Mesh PropDesign::Egg()
{
    Mesh mesh;
    MeshMaterial gold;
    gold.name = "GoldenEgg";
    gold.texture = "eggshell.tex";
    gold.diffuse[0] = 1.0f;
    gold.diffuse[1] = 0.95f;
    gold.diffuse[2] = 0.8f;
    // It glows, so it can be seen from far away.
    gold.emissive[0] = 0.75f;
    gold.emissive[1] = 0.62f;
    gold.emissive[2] = 0.38f;
    gold.power = 40.0f;
    gold.specular[0] = gold.specular[1] = gold.specular[2] = 0.8f;
    mesh.AddMaterial(gold);
    const float radius = EggHeight * 0.36f;
    AddLathe(
        mesh, "egg",
        [radius](float t)
        {
            // Round in section, fuller below; rings crowd towards the poles.
            const float s = -std::cos(Pi * t); // -1 at the bottom, 1 at the top
            const float r = std::sin(Pi * t) * (1.0f - 0.16f * s);
            return ProfilePoint{r * radius, EggBottom + (s + 1.0f) * 0.5f * EggHeight};
        },
        16, 20);
    return mesh;
}

Mesh PropDesign::BloodDrop()
{
    Mesh mesh;
    MeshMaterial blood;
    blood.name = "Blood";
    blood.texture = "blood.tex";
    blood.diffuse[0] = 0.9f;
    blood.diffuse[1] = 0.2f;
    blood.diffuse[2] = 0.2f;
    blood.emissive[0] = 0.35f;
    blood.emissive[1] = 0.02f;
    blood.emissive[2] = 0.02f;
    blood.power = 20.0f;
    blood.specular[0] = blood.specular[1] = blood.specular[2] = 0.5f;
    mesh.AddMaterial(blood);
    // Drawn at DropScale the drop reaches 10 units from its centre at most.
    const float reach = 10.0f / DropScale;
    AddLathe(
        mesh, "drop",
        [reach](float t)
        {
            // A ball below drawn out into a point above, then centred so that
            // the ball's bottom and the tip are equally far from the origin.
            const float r = std::sin(Pi * t) * (1.0f - 0.45f * t * t);
            const float h = -std::cos(Pi * t) + 0.95f * t * t * t * t;
            return ProfilePoint{r * reach * 0.62f, (h - 0.475f) * reach * 0.67f};
        },
        12, 12);
    return mesh;
}

} // namespace assetgen
