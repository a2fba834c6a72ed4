#include "tavTestMesh.h"

#include <cmath>

namespace
{
const int LevelSize = 9;
const float Spacing = 900.0f;
const float PlatformHalf = 300.0f;

// Height of the top of platform (i, j): a fixed scramble, so every build
// makes the same level. Platform (7, 8) carries the egg at 1264.
float PlatformHeight(int i, int j)
{
    if (i == 0 && j == 0)
        return 0.0f;
    if (i == 7 && j == 8)
        return 1254.0f;
    uint32_t h = (uint32_t)(i * 73856093) ^ (uint32_t)(j * 19349663);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (float)(h % 1300u);
}
} // namespace

uint32_t tavTestMesh::Vertex(const tavVec3& p)
{
    positions.push_back(p);
    return (uint32_t)positions.size() - 1;
}

void tavTestMesh::AddTriangle(const tavVec3& a, const tavVec3& b, const tavVec3& c)
{
    indices.push_back(Vertex(a));
    indices.push_back(Vertex(b));
    indices.push_back(Vertex(c));
}

void tavTestMesh::AddGrid(const tavVec3& corner, const tavVec3& u, const tavVec3& v, int nu, int nv)
{
    const uint32_t base = (uint32_t)positions.size();
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i)
            positions.push_back(corner + u * ((float)i / (float)nu) + v * ((float)j / (float)nv));
    const uint32_t row = (uint32_t)nu + 1;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i)
        {
            const uint32_t p = base + (uint32_t)j * row + (uint32_t)i;
            indices.insert(indices.end(), {p, p + 1, p + row + 1, p, p + row + 1, p + row});
        }
}

void tavTestMesh::AddBox(const tavVec3& lo, const tavVec3& hi, int n)
{
    const tavVec3 d = hi - lo;
    const tavVec3 x(d.x, 0, 0), y(0, d.y, 0), z(0, 0, d.z);
    AddGrid(tavVec3(lo.x, hi.y, lo.z), z, x, n, n); // top, facing +y
    AddGrid(lo, x, z, n, n);                        // bottom, facing -y
    AddGrid(lo, y, x, n, n);                        // front (z = lo), facing -z
    AddGrid(tavVec3(lo.x, lo.y, hi.z), x, y, n, n); // back, facing +z
    AddGrid(lo, z, y, n, n);                        // left (x = lo), facing -x
    AddGrid(tavVec3(hi.x, lo.y, lo.z), y, z, n, n); // right, facing +x
}

tavVec3 tavTestMesh::PlatformTop(int i, int j)
{
    return tavVec3((float)i * Spacing, PlatformHeight(i, j), (float)j * Spacing);
}

void tavTestMesh::AddLevel()
{
    for (int i = 0; i < LevelSize; ++i)
        for (int j = 0; j < LevelSize; ++j)
        {
            const tavVec3 top = PlatformTop(i, j);
            AddBox(tavVec3(top.x - PlatformHalf, top.y - 100.0f, top.z - PlatformHalf),
                   tavVec3(top.x + PlatformHalf, top.y, top.z + PlatformHalf), 5);
            // A wall across one side of every other platform.
            if ((i + j) % 2 == 0)
                AddBox(tavVec3(top.x - 150.0f, top.y, top.z + 200.0f),
                       tavVec3(top.x + 150.0f, top.y + 80.0f, top.z + 220.0f), 2);
        }
    // Ramps along x between neighbours close enough in height for 30 degrees.
    const float gap = Spacing - 2 * PlatformHalf;
    for (int i = 0; i + 1 < LevelSize; ++i)
        for (int j = 0; j < LevelSize; ++j)
        {
            const tavVec3 a = PlatformTop(i, j), b = PlatformTop(i + 1, j);
            if (std::fabs(b.y - a.y) > gap * 0.57f)
                continue;
            const tavVec3 start(a.x + PlatformHalf, a.y, a.z - 100.0f);
            AddGrid(start, tavVec3(0, 0, 200.0f), tavVec3(gap, b.y - a.y, 0), 4, 8);
        }
}

tavTriangleMesh tavTestMesh::Record() const
{
    tavTriangleMesh r;
    r.Allocate((int32_t)positions.size(), (int32_t)TriangleCount());
    for (size_t i = 0; i < positions.size(); ++i)
    {
        r.vertices[i].x = positions[i].x;
        r.vertices[i].y = positions[i].y;
        r.vertices[i].z = positions[i].z;
    }
    for (uint32_t t = 0; t < TriangleCount(); ++t)
        for (int k = 0; k < 3; ++k)
            r.triangles[t].index[k] = indices[t * 3 + k];
    return r;
}
