#pragma once
// Triangle soup builder for the physics tests and benchmark: flat grids,
// boxes, ramps and a generated level, turned into a triangle-mesh record.

#include "physics/rigid/tavTriangleMesh.h"
#include "physics/rigid/tavRigidMath.h"

#include <cstdint>
#include <vector>

class tavTestMesh
{
public:
    // A grid of nu x nv quads spanning the parallelogram corner + [0,1]u + [0,1]v,
    // facing u x v.
    void AddGrid(const tavVec3& corner, const tavVec3& u, const tavVec3& v, int nu, int nv);
    // Closed box between two corners, each face cut into n x n quads.
    void AddBox(const tavVec3& min, const tavVec3& max, int n);
    void AddTriangle(const tavVec3& a, const tavVec3& b, const tavVec3& c);

    // The stand-in for the game's level: platforms up to 1300 units high on a
    // 9 x 9 grid 900 units apart, ramps of at most 30 degrees between
    // neighbours, and walls; about thirty thousand triangles. Deterministic.
    void AddLevel();
    // Top centre of platform (i, j) of the level (0..8 each).
    static tavVec3 PlatformTop(int i, int j);

    // A record owning a copy (release it with tavTriangleMesh::Release).
    tavTriangleMesh Record() const;
    uint32_t TriangleCount() const { return (uint32_t)indices.size() / 3; }

private:
    uint32_t Vertex(const tavVec3& p);

    std::vector<tavVec3> positions;
    std::vector<uint32_t> indices;
};
