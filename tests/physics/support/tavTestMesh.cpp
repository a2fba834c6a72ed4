#include "tavTestMesh.h"

#include <cmath>

namespace
{
const float Spacing = 900.0f, PlatformHalf = 300.0f;
} // namespace

void tavTestMesh::AddGrid(const tavVec3& corner, const tavVec3& u, const tavVec3& v, int nu, int nv)
{
    const uint32_t base = (uint32_t)positions.size(), row = (uint32_t)nu + 1;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i)
            positions.push_back(corner + u * ((float)i / (float)nu) + v * ((float)j / (float)nv));
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i)
        {
            const uint32_t p = base + (uint32_t)j * row + (uint32_t)i;
            indices.insert(indices.end(), {p, p + 1, p + row + 1, p, p + row + 1, p + row});
        }
}

void tavTestMesh::AddBox(const tavVec3& lo, const tavVec3& hi, int n)
{
    const tavVec3 d = hi - lo, x(d.x, 0, 0), y(0, d.y, 0), z(0, 0, d.z);
    AddGrid(tavVec3(lo.x, hi.y, lo.z), z, x, n, n); // top, facing +y
    AddGrid(lo, x, z, n, n);                        // bottom
    AddGrid(lo, y, x, n, n);                        // z = lo
    AddGrid(tavVec3(lo.x, lo.y, hi.z), x, y, n, n); // z = hi
    AddGrid(lo, z, y, n, n);                        // x = lo
    AddGrid(tavVec3(hi.x, lo.y, lo.z), y, z, n, n); // x = hi
}

// A fixed scramble of heights; platform (7, 8) carries the egg at 1264.
tavVec3 tavTestMesh::PlatformTop(int i, int j)
{
    uint32_t h = (uint32_t)(i * 73856093) ^ (uint32_t)(j * 19349663);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    const float y = i == 0 && j == 0 ? 0.0f : i == 7 && j == 8 ? 1254.0f : (float)(h % 1300u);
    return tavVec3((float)i * Spacing, y, (float)j * Spacing);
}

void tavTestMesh::AddLevel()
{
    const float gap = Spacing - 2 * PlatformHalf;
    for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j)
        {
            const tavVec3 top = PlatformTop(i, j), half(PlatformHalf, 0, PlatformHalf);
            AddBox(top - half - tavVec3(0, 100, 0), top + half, 5);
            if ((i + j) % 2 == 0) // a wall across one side of every other platform
                AddBox(top + tavVec3(-150, 0, 200), top + tavVec3(150, 80, 220), 2);
            const tavVec3 b = PlatformTop(i + 1, j); // a ramp to a neighbour close enough
            if (i + 1 < 9 && std::fabs(b.y - top.y) <= gap * 0.57f)
                AddGrid(top + tavVec3(PlatformHalf, 0, -100), tavVec3(0, 0, 200),
                        tavVec3(gap, b.y - top.y, 0), 4, 8);
        }
}

tavTriangleMesh tavTestMesh::Record() const
{
    tavTriangleMesh r;
    r.Allocate((int32_t)positions.size(), (int32_t)indices.size() / 3);
    for (size_t i = 0; i < positions.size(); ++i)
        r.vertices[i].x = positions[i].x, r.vertices[i].y = positions[i].y,
        r.vertices[i].z = positions[i].z;
    for (size_t i = 0; i < indices.size(); ++i)
        r.triangles[i / 3].index[i % 3] = indices[i];
    return r;
}
