#pragma once
// Skinning on the processor: each vertex of a mesh in its bind pose moved by
// the bones that influence it, v' = sum of weight x (v x offset x bone),
// with the normals turned the same way and made unit length again. The
// influences are what a skinned .x mesh's SkinWeights give: per bone the
// vertices it moves, their weights and the bone's offset matrix. Portable:
// the Windows side copies the skin information in and the vertex buffers
// through.

#include "graphics/tavMatrix4.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class tavSoftwareSkin
{
public:
    struct Bone
    {
        std::string name;
        std::vector<uint32_t> vertices;
        std::vector<float> weights;
        tavMatrix4 offset = tavMatrix4::Identity();
    };

    // No bones, no vertices.
    tavSoftwareSkin();

    // The mesh's vertex count and its bones. False (and an empty skin) when
    // a bone's vertex and weight lists differ in length or name a vertex
    // past the count.
    bool Init(uint32_t vertexCount, std::vector<Bone> bones);

    // Writes the skinned positions (and normals when `normalOffset` is not
    // negative, as three floats at that byte offset) of every vertex from
    // `source` to `target`; both hold GetVertexCount vertices of `stride`
    // bytes, the position first. Everything else of a vertex is copied
    // through; a vertex no bone moves keeps its bind pose. `boneMatrices`
    // holds one combined matrix per bone, in bone order.
    void Apply(const void* source, void* target, size_t stride, int normalOffset,
               const tavMatrix4* boneMatrices) const;

    // The largest number of bones that move any one vertex.
    uint32_t GetMaxVertexInfluences() const;
    // The largest number of different bones that move the three corners of
    // any one face; `indices` holds three per face. Corners past the vertex
    // count are ignored.
    uint32_t GetMaxFaceInfluences(const std::vector<uint32_t>& indices) const;
    uint32_t GetVertexCount() const { return vertexCount; }
    const std::vector<Bone>& GetBones() const { return bones; }

private:
    uint32_t vertexCount;
    std::vector<Bone> bones;
};
