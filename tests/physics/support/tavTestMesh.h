#pragma once
// Triangle soup for the physics tests and benchmark, as a triangle-mesh record.
#include "physics/rigid/tavRigidMath.h"
#include "physics/rigid/tavTriangleMesh.h"

#include <cstdint>
#include <vector>

class tavTestMesh
{
public:
    // nu x nv quads over corner + [0,1]u + [0,1]v, facing u x v.
    void AddGrid(const tavVec3& corner, const tavVec3& u, const tavVec3& v, int nu, int nv);
    // A closed box between two corners, each face cut into n x n quads.
    void AddBox(const tavVec3& min, const tavVec3& max, int n);
    // The game's level as it might be: 9 x 9 platforms, 900 apart and up to
    // 1300 high, with walls and ramps of at most 30 degrees.
    void AddLevel();
    static tavVec3 PlatformTop(int i, int j); // top centre of platform (i, j)
    // A record owning a copy (release it with tavTriangleMesh::Release).
    tavTriangleMesh Record() const;

private:
    std::vector<tavVec3> positions;
    std::vector<uint32_t> indices;
};
