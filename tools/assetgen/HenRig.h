#pragma once
// The hen as a skinned, animated character: the chicken's mesh with a small
// skeleton (Body, with Head, LeftLeg and RightLeg under it), each vertex
// weighted to the bones that move it (the neck blends Body into Head), and
// a one-second walk cycle: the legs swing in turn, the head nods, the body
// bobs. Written as a text .x file by SkinnedXWriter.

#include "Mesh.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

struct RigBone
{
    std::string name;
    int parent;               // index into the bones, -1 for the root's child
    Vec3 pivot;               // where the bone sits in the bind pose, model space
    std::vector<uint32_t> vertices;
    std::vector<float> weights;
};

// One key of a frame: rotation about x (radians) and a translation.
struct RigKey
{
    uint32_t time;
    float pitch;
    Vec3 translation;
};

struct RigTrack
{
    std::string bone;
    std::vector<RigKey> keys;
};

struct SkinnedModel
{
    Mesh mesh;
    std::vector<RigBone> bones;
    std::vector<RigTrack> walk;
    uint32_t ticksPerSecond = 4800;

    // Local translation of bone `b` in the bind pose (its pivot less its
    // parent's).
    Vec3 LocalOffset(size_t b) const;
    // The most bones on one vertex and on the corners of one face.
    uint32_t MaxWeightsPerVertex() const;
    uint32_t MaxWeightsPerFace() const;
};

class HenRig
{
public:
    static SkinnedModel Build();

    enum Bone : uint32_t
    {
        Body = 0,
        Head = 1,
        LeftLeg = 2,
        RightLeg = 3,
        BoneCount = 4
    };

private:
    static void Weigh(SkinnedModel& model);
    static void Animate(SkinnedModel& model);
};

} // namespace assetgen
