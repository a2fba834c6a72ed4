#include "graphics/tavMeshData.h"

#include <algorithm>
#include <cmath>

uint32_t tavCountBones(const tavBoneData& bone)
{
    uint32_t count = 1;
    for (const tavBoneData& child : bone.children)
        count += tavCountBones(child);
    return count;
}

tavMeshBounds tavComputeBounds(const std::vector<tavMeshVertex>& vertices)
{
    tavMeshBounds b;
    if (vertices.empty()) return b;
    for (int a = 0; a < 3; ++a)
        b.boxMin[a] = b.boxMax[a] = vertices[0].position[a];
    for (const tavMeshVertex& v : vertices)
        for (int a = 0; a < 3; ++a)
        {
            b.boxMin[a] = std::min(b.boxMin[a], v.position[a]);
            b.boxMax[a] = std::max(b.boxMax[a], v.position[a]);
        }
    for (int a = 0; a < 3; ++a)
    {
        b.centroid[a] = (b.boxMin[a] + b.boxMax[a]) * 0.5f;
        b.halfExtents[a] = b.boxMax[a] - b.centroid[a];
    }
    float farthest = 0;
    for (const tavMeshVertex& v : vertices)
    {
        const float dx = v.position[0] - b.centroid[0], dy = v.position[1] - b.centroid[1],
                    dz = v.position[2] - b.centroid[2];
        farthest = std::max(farthest, dx * dx + dy * dy + dz * dz);
    }
    b.radius = std::sqrt(farthest);
    return b;
}

bool tavPartFits(const tavMeshPart& part, const std::vector<tavMeshVertex>& vertices,
                 const std::vector<uint16_t>& indices)
{
    const uint64_t first = uint64_t(part.faceStart) * 3, end = first + uint64_t(part.faceCount) * 3;
    if (end > indices.size() || part.vertexStart >= vertices.size()) return part.faceCount == 0;
    const uint64_t room = vertices.size() - part.vertexStart;
    for (uint64_t i = first; i < end; ++i)
        if (indices[i] >= room) return false;
    return true;
}

uint16_t tavLowestIndex(const tavMeshPart& part, const std::vector<uint16_t>& indices)
{
    const uint64_t first = uint64_t(part.faceStart) * 3, end = first + uint64_t(part.faceCount) * 3;
    if (end > indices.size() || first == end) return 0;
    return *std::min_element(indices.begin() + first, indices.begin() + end);
}
