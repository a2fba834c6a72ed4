#include "HenRig.h"

#include "ChickenDesign.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace assetgen
{

namespace
{
// The neck blends from the body into the head over this height.
constexpr float NeckLow = 2.2f;
constexpr float NeckHigh = 4.2f;
constexpr uint32_t Quarter = 1200; // ticks: a quarter of the one-second cycle
} // namespace

Vec3 SkinnedModel::LocalOffset(size_t b) const
{
    const RigBone& bone = bones[b];
    if (bone.parent < 0)
        return bone.pivot;
    const Vec3& up = bones[size_t(bone.parent)].pivot;
    return {bone.pivot.x - up.x, bone.pivot.y - up.y, bone.pivot.z - up.z};
}

uint32_t SkinnedModel::MaxWeightsPerVertex() const
{
    std::vector<uint32_t> count(mesh.vertices.size(), 0);
    for (const RigBone& bone : bones)
        for (uint32_t v : bone.vertices)
            ++count[v];
    return count.empty() ? 0 : *std::max_element(count.begin(), count.end());
}

uint32_t SkinnedModel::MaxWeightsPerFace() const
{
    std::vector<std::set<uint32_t>> bonesOf(mesh.vertices.size());
    for (uint32_t b = 0; b < bones.size(); ++b)
        for (uint32_t v : bones[b].vertices)
            bonesOf[v].insert(b);
    size_t most = 0;
    for (const MeshTriangle& t : mesh.triangles) {
        std::set<uint32_t> face;
        for (uint32_t i : t.index)
            face.insert(bonesOf[i].begin(), bonesOf[i].end());
        most = std::max(most, face.size());
    }
    return uint32_t(most);
}

void HenRig::Weigh(SkinnedModel& model)
{
    const Mesh& mesh = model.mesh;
    // The subset of each vertex, and which vertices form the neck.
    std::vector<uint32_t> subset(mesh.vertices.size(), 0);
    for (const MeshTriangle& t : mesh.triangles)
        for (uint32_t i : t.index)
            subset[i] = t.material;
    std::vector<bool> neck(mesh.vertices.size(), false);
    for (const MeshPiece& piece : mesh.pieces)
        if (piece.name == "neck")
            for (uint32_t t = piece.firstTriangle; t < piece.firstTriangle + piece.triangleCount; ++t)
                for (uint32_t i : mesh.triangles[t].index)
                    neck[i] = true;

    auto add = [&](uint32_t bone, uint32_t v, float w) {
        model.bones[bone].vertices.push_back(v);
        model.bones[bone].weights.push_back(w);
    };
    for (uint32_t v = 0; v < mesh.vertices.size(); ++v) {
        switch (subset[v]) {
        case ChickenDesign::LeftLeg:
            add(LeftLeg, v, 1.0f);
            break;
        case ChickenDesign::RightLeg:
            add(RightLeg, v, 1.0f);
            break;
        case ChickenDesign::Head:
        case ChickenDesign::Beak:
        case ChickenDesign::Comb:
        case ChickenDesign::Eyes:
            add(Head, v, 1.0f);
            break;
        default:
            if (neck[v]) {
                const float y = mesh.vertices[v].position.y;
                const float h = std::clamp((y - NeckLow) / (NeckHigh - NeckLow), 0.0f, 1.0f);
                if (h < 1.0f)
                    add(Body, v, 1.0f - h);
                if (h > 0.0f)
                    add(Head, v, h);
            } else {
                add(Body, v, 1.0f);
            }
        }
    }
}

void HenRig::Animate(SkinnedModel& model)
{
    const Vec3 head = model.LocalOffset(Head);
    const Vec3 left = model.LocalOffset(LeftLeg);
    const Vec3 right = model.LocalOffset(RightLeg);
    const float swing = 0.45f, nod = 0.15f, bob = 0.35f;
    RigTrack body{"Body", {}}, headTrack{"Head", {}}, leftTrack{"LeftLeg", {}},
        rightTrack{"RightLeg", {}};
    for (uint32_t k = 0; k <= 4; ++k) {
        const uint32_t t = k * Quarter;
        // Swing forward, through, back, through, forward again.
        const float phase = (k % 2 == 1) ? 0.0f : (k % 4 == 0 ? 1.0f : -1.0f);
        body.keys.push_back({t, 0.0f, {0.0f, (k % 2 == 1) ? bob : 0.0f, 0.0f}});
        headTrack.keys.push_back({t, (k % 2 == 1) ? nod : -nod, head});
        leftTrack.keys.push_back({t, swing * phase, left});
        rightTrack.keys.push_back({t, -swing * phase, right});
    }
    model.walk = {body, headTrack, leftTrack, rightTrack};
}

SkinnedModel HenRig::Build()
{
    SkinnedModel model;
    model.mesh = ChickenDesign::Build();
    model.bones = {
        {"Body", -1, {0.0f, 0.0f, 0.0f}, {}, {}},
        {"Head", Body, {0.0f, 3.2f, 2.3f}, {}, {}},
        {"LeftLeg", Body, {-1.35f, 0.0f, 0.1f}, {}, {}},
        {"RightLeg", Body, {1.35f, 0.0f, 0.1f}, {}, {}},
    };
    Weigh(model);
    Animate(model);
    return model;
}

} // namespace assetgen
