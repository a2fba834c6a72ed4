#include "MeshChecks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

using namespace assetgen;

namespace
{
using Key = std::tuple<long, long, long>;

Key Quantise(const Vec3& p)
{
    return {std::lround(p.x * 1000.0), std::lround(p.y * 1000.0), std::lround(p.z * 1000.0)};
}
} // namespace

std::string CheckClosedAndOutward(const Mesh& mesh, const MeshPiece& piece)
{
    std::map<std::pair<Key, Key>, int> edges;
    double volume = 0.0;
    // Volume about one of the piece's own corners, in doubles: large world
    // coordinates would otherwise drown it in rounding.
    const MeshTriangle& first = mesh.triangles[piece.firstTriangle];
    const Vec3& o = mesh.vertices[first.index[0]].position;
    for (uint32_t t = piece.firstTriangle; t < piece.firstTriangle + piece.triangleCount; ++t)
    {
        const MeshTriangle& tri = mesh.triangles[t];
        for (int k = 0; k < 3; ++k)
        {
            const Key a = Quantise(mesh.vertices[tri.index[k]].position);
            const Key b = Quantise(mesh.vertices[tri.index[(k + 1) % 3]].position);
            if (a == b) return "degenerate edge in triangle " + std::to_string(t);
            ++edges[{a, b}];
        }
        double p[3][3];
        for (int k = 0; k < 3; ++k)
        {
            const Vec3& v = mesh.vertices[tri.index[k]].position;
            p[k][0] = double(v.x) - o.x;
            p[k][1] = double(v.y) - o.y;
            p[k][2] = double(v.z) - o.z;
        }
        volume += (p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                   p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                   p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0])) /
                  6.0;
    }
    for (const auto& [edge, count] : edges)
    {
        if (count != 1)
            return "an edge is used " + std::to_string(count) + " times in one direction";
        if (!edges.count({edge.second, edge.first}))
            return "an edge has no partner (an open seam or a T-junction)";
    }
    if (volume <= 0.0) return "wound inward (volume " + std::to_string(volume) + ")";
    return "";
}

float SmallestAngle(const Mesh& mesh, size_t* which)
{
    float smallest = 180.0f;
    for (size_t t = 0; t < mesh.triangles.size(); ++t)
        for (int k = 0; k < 3; ++k)
        {
            const MeshTriangle& tri = mesh.triangles[t];
            const Vec3& p = mesh.vertices[tri.index[k]].position;
            const Vec3 e1 = Normalize(mesh.vertices[tri.index[(k + 1) % 3]].position - p);
            const Vec3 e2 = Normalize(mesh.vertices[tri.index[(k + 2) % 3]].position - p);
            const float angle = std::acos(std::clamp(Dot(e1, e2), -1.0f, 1.0f)) * 57.29578f;
            if (angle < smallest)
            {
                smallest = angle;
                if (which) *which = t;
            }
        }
    return smallest;
}

std::vector<Vec3> TriangleCorners(const Mesh& mesh)
{
    std::vector<Vec3> corners;
    corners.reserve(mesh.triangles.size() * 3);
    for (const MeshTriangle& t : mesh.triangles)
        for (uint32_t i : t.index)
            corners.push_back(mesh.vertices[i].position);
    return corners;
}
