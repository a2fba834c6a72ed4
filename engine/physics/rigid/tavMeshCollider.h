#pragma once
// Static triangle geometry of the world: the triangles of one added mesh,
// welded by position, with a bounding-volume tree for region queries.
//
// Each triangle knows which of its edges and corners are "active". An edge
// shared by two triangles lying in one plane is inactive, and so is a
// corner whose every edge is: a sphere whose nearest point on a triangle is
// such a feature is handled by the neighbour it lies over, so a ball rolls
// across a finely cut floor without catching on the seams.

#include "tavRigidMath.h"
#include "tavTriangleMesh.h"

#include <cstdint>
#include <vector>

class tavMeshCollider
{
public:
    struct Triangle
    {
        tavVec3 v[3];
        tavVec3 normal; // unit, (v1 - v0) x (v2 - v0)
        uint32_t index; // position in the record the mesh came from
        uint8_t material;
        uint8_t activeEdges;   // bit i: edge v[i] -> v[(i + 1) % 3]
        uint8_t activeCorners; // bit i: corner v[i]
    };
    struct Stats
    {
        int32_t badIndex, notFinite, degenerate;
    };

    // Builds from a record; `stats` counts what was skipped. Empty when
    // nothing usable was given.
    bool Build(const tavTriangleMesh& mesh, Stats& stats);

    uint32_t GetTriangleCount() const { return (uint32_t)triangles.size(); }
    const Triangle& GetTriangle(uint32_t i) const { return triangles[i]; }
    // Appends to `out` the numbers (into this collider) of the triangles whose
    // bounds overlap the box, in ascending order.
    void Query(const tavVec3& min, const tavVec3& max, std::vector<uint32_t>& out) const;

private:
    struct Node
    {
        float min[3];
        float max[3];
        uint32_t first; // leaf: first triangle; inner: left child (right = first + 1)
        uint32_t count; // triangles of a leaf; 0 for an inner node
    };

    void FindActiveFeatures(const std::vector<uint32_t>& welded);
    void BuildTree();
    uint32_t Split(uint32_t node, uint32_t first, uint32_t count, std::vector<tavVec3>& centres);
    void Bound(uint32_t node, uint32_t first, uint32_t count);

    std::vector<Triangle> triangles;
    std::vector<Node> nodes;
};
