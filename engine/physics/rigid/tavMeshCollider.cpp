#include "tavMeshCollider.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace
{
const uint32_t LeafSize = 4;
// Sine of the largest angle at which two triangles still count as one plane.
const float FlatTolerance = 0.0175f;

struct WeldKey
{
    float p[3];
    uint32_t vertex;
};

bool WeldLess(const WeldKey& a, const WeldKey& b)
{
    for (int i = 0; i < 3; ++i)
        if (a.p[i] != b.p[i])
            return a.p[i] < b.p[i];
    return a.vertex < b.vertex;
}

bool SamePosition(const WeldKey& a, const WeldKey& b)
{
    return a.p[0] == b.p[0] && a.p[1] == b.p[1] && a.p[2] == b.p[2];
}

// Vertex number -> number of the first vertex at the same position
// (UINT32_MAX for a position that is not finite).
std::vector<uint32_t> Weld(const tavTriangleMesh& mesh)
{
    const uint32_t n = (uint32_t)mesh.vertexCount;
    std::vector<WeldKey> keys;
    keys.reserve(n);
    std::vector<uint32_t> welded(n, UINT32_MAX);
    for (uint32_t i = 0; i < n; ++i)
    {
        const tavTriangleMesh::Vertex& v = mesh.vertices[i];
        if (!IsFinite(tavVec3(v.x, v.y, v.z)))
            continue;
        // +0 and -0 are one position.
        keys.push_back({{v.x + 0.0f, v.y + 0.0f, v.z + 0.0f}, i});
    }
    std::sort(keys.begin(), keys.end(), WeldLess);
    for (size_t i = 0; i < keys.size(); ++i)
    {
        const bool first = i == 0 || !SamePosition(keys[i], keys[i - 1]);
        welded[keys[i].vertex] = first ? keys[i].vertex : welded[keys[i - 1].vertex];
    }
    return welded;
}

struct EdgeUse
{
    uint32_t a, b;     // welded vertices, a < b
    uint32_t triangle; // kept triangle
    uint32_t edge;     // 0..2
};

bool EdgeLess(const EdgeUse& x, const EdgeUse& y)
{
    if (x.a != y.a)
        return x.a < y.a;
    if (x.b != y.b)
        return x.b < y.b;
    return x.triangle < y.triangle;
}

// True when the two triangles on either side of edge (a, b) lie in one plane.
bool IsFlat(const tavMeshCollider::Triangle& t1, uint32_t e1, const tavMeshCollider::Triangle& t2,
            uint32_t e2)
{
    const tavVec3 a = t1.v[e1];
    const tavVec3 b = t1.v[(e1 + 1) % 3];
    const tavVec3 o1 = t1.v[(e1 + 2) % 3];
    const tavVec3 o2 = t2.v[(e2 + 2) % 3];
    const tavVec3 toO2 = o2 - a;
    if (std::fabs(Dot(t1.normal, toO2)) > FlatTolerance * Length(toO2))
        return false;
    const tavVec3 edge = b - a;
    return Dot(Cross(edge, o1 - a), Cross(edge, toO2)) < 0.0f;
}
} // namespace

bool tavMeshCollider::Build(const tavTriangleMesh& mesh, Stats& stats)
{
    stats = Stats{0, 0, 0};
    triangles.clear();
    nodes.clear();
    if (mesh.vertexCount < 0 || mesh.triangleCount <= 0 || !mesh.triangles ||
        (mesh.vertexCount > 0 && !mesh.vertices))
        return false;

    const std::vector<uint32_t> welded = Weld(mesh);
    std::vector<uint32_t> weldedOf; // three welded vertices per kept triangle
    for (int32_t t = 0; t < mesh.triangleCount; ++t)
    {
        const tavTriangleMesh::Triangle& in = mesh.triangles[t];
        uint32_t w[3];
        bool badIndex = false, notFinite = false;
        for (int i = 0; i < 3; ++i)
        {
            badIndex |= in.index[i] >= (uint32_t)mesh.vertexCount;
            w[i] = badIndex ? UINT32_MAX : welded[in.index[i]];
            notFinite |= !badIndex && w[i] == UINT32_MAX;
        }
        if (badIndex || notFinite)
        {
            ++(badIndex ? stats.badIndex : stats.notFinite);
            continue;
        }
        Triangle tri;
        for (int i = 0; i < 3; ++i)
        {
            const tavTriangleMesh::Vertex& v = mesh.vertices[in.index[i]];
            tri.v[i] = tavVec3(v.x, v.y, v.z);
        }
        const tavVec3 n = Cross(tri.v[1] - tri.v[0], tri.v[2] - tri.v[0]);
        const float longest = std::fmax(LengthSquared(tri.v[1] - tri.v[0]),
                                        std::fmax(LengthSquared(tri.v[2] - tri.v[1]),
                                                  LengthSquared(tri.v[0] - tri.v[2])));
        const float area2 = Length(n);
        if (w[0] == w[1] || w[1] == w[2] || w[2] == w[0] || !(area2 > 1e-6f * longest) ||
            !std::isfinite(area2))
        {
            ++stats.degenerate;
            continue;
        }
        tri.normal = n * (1.0f / area2);
        tri.index = (uint32_t)t;
        tri.material = in.material < 256 ? (uint8_t)in.material : 0;
        tri.activeEdges = 7;
        tri.activeCorners = 7;
        triangles.push_back(tri);
        weldedOf.insert(weldedOf.end(), w, w + 3);
    }
    if (triangles.empty())
        return false;
    FindActiveFeatures(weldedOf);
    BuildTree();
    return true;
}

void tavMeshCollider::FindActiveFeatures(const std::vector<uint32_t>& welded)
{
    std::vector<EdgeUse> edges;
    edges.reserve(welded.size());
    for (uint32_t t = 0; t < triangles.size(); ++t)
        for (uint32_t e = 0; e < 3; ++e)
        {
            const uint32_t a = welded[t * 3 + e], b = welded[t * 3 + (e + 1) % 3];
            edges.push_back({std::min(a, b), std::max(a, b), t, e});
        }
    std::sort(edges.begin(), edges.end(), EdgeLess);

    // A corner stays active while any edge that meets it is.
    std::vector<uint32_t> activeVertices;
    for (size_t i = 0; i < edges.size();)
    {
        size_t j = i + 1;
        while (j < edges.size() && edges[j].a == edges[i].a && edges[j].b == edges[i].b)
            ++j;
        const bool active = j - i != 2 || !IsFlat(triangles[edges[i].triangle], edges[i].edge,
                                                  triangles[edges[i + 1].triangle],
                                                  edges[i + 1].edge);
        for (size_t k = i; k < j; ++k)
        {
            if (!active)
                triangles[edges[k].triangle].activeEdges &= (uint8_t) ~(1u << edges[k].edge);
            else
            {
                activeVertices.push_back(edges[k].a);
                activeVertices.push_back(edges[k].b);
            }
        }
        i = j;
    }
    std::sort(activeVertices.begin(), activeVertices.end());
    for (uint32_t t = 0; t < triangles.size(); ++t)
    {
        uint8_t corners = 0;
        for (uint32_t c = 0; c < 3; ++c)
            if (std::binary_search(activeVertices.begin(), activeVertices.end(), welded[t * 3 + c]))
                corners |= (uint8_t)(1u << c);
        triangles[t].activeCorners = corners;
    }
}

void tavMeshCollider::BuildTree()
{
    const uint32_t n = (uint32_t)triangles.size();
    std::vector<tavVec3> centres(n);
    for (uint32_t i = 0; i < n; ++i)
        centres[i] = (triangles[i].v[0] + triangles[i].v[1] + triangles[i].v[2]) * (1.0f / 3.0f);
    nodes.reserve(2 * (n / LeafSize + 1));
    nodes.push_back(Node());
    struct Task
    {
        uint32_t node, first, count;
    };
    std::vector<Task> tasks{{0, 0, n}};
    while (!tasks.empty())
    {
        const Task task = tasks.back();
        tasks.pop_back();
        Bound(task.node, task.first, task.count);
        if (task.count <= LeafSize)
        {
            nodes[task.node].first = task.first;
            nodes[task.node].count = task.count;
            continue;
        }
        const uint32_t half = Split(task.node, task.first, task.count, centres);
        const uint32_t left = (uint32_t)nodes.size();
        nodes.push_back(Node());
        nodes.push_back(Node());
        nodes[task.node].first = left;
        nodes[task.node].count = 0;
        tasks.push_back({left + 1, task.first + half, task.count - half});
        tasks.push_back({left, task.first, half});
    }
}

// Orders the node's triangles about the median of their centres along the
// widest axis; returns how many go to the left child.
uint32_t tavMeshCollider::Split(uint32_t node, uint32_t first, uint32_t count,
                                std::vector<tavVec3>& centres)
{
    (void)node;
    tavVec3 lo = centres[first], hi = centres[first];
    for (uint32_t i = first + 1; i < first + count; ++i)
    {
        lo = Min(lo, centres[i]);
        hi = Max(hi, centres[i]);
    }
    const tavVec3 size = hi - lo;
    const int axis = size.x >= size.y && size.x >= size.z ? 0 : (size.y >= size.z ? 1 : 2);
    std::vector<uint32_t> order(count);
    for (uint32_t i = 0; i < count; ++i)
        order[i] = first + i;
    const uint32_t half = count / 2;
    std::nth_element(order.begin(), order.begin() + half, order.end(),
                     [&](uint32_t a, uint32_t b)
                     {
                         if (centres[a][axis] != centres[b][axis])
                             return centres[a][axis] < centres[b][axis];
                         return triangles[a].index < triangles[b].index;
                     });
    std::vector<Triangle> sortedTriangles(count);
    std::vector<tavVec3> sortedCentres(count);
    for (uint32_t i = 0; i < count; ++i)
    {
        sortedTriangles[i] = triangles[order[i]];
        sortedCentres[i] = centres[order[i]];
    }
    std::copy(sortedTriangles.begin(), sortedTriangles.end(), triangles.begin() + first);
    std::copy(sortedCentres.begin(), sortedCentres.end(), centres.begin() + first);
    return half;
}

void tavMeshCollider::Bound(uint32_t node, uint32_t first, uint32_t count)
{
    tavVec3 lo = triangles[first].v[0], hi = lo;
    for (uint32_t i = first; i < first + count; ++i)
        for (int k = 0; k < 3; ++k)
        {
            lo = Min(lo, triangles[i].v[k]);
            hi = Max(hi, triangles[i].v[k]);
        }
    Node& n = nodes[node];
    for (int k = 0; k < 3; ++k)
    {
        n.min[k] = lo[k];
        n.max[k] = hi[k];
    }
}

void tavMeshCollider::Query(const tavVec3& min, const tavVec3& max,
                            std::vector<uint32_t>& out) const
{
    if (nodes.empty())
        return;
    const size_t start = out.size();
    uint32_t stack[64];
    int top = 0;
    stack[top++] = 0;
    while (top > 0)
    {
        const Node& n = nodes[stack[--top]];
        if (n.min[0] > max.x || n.max[0] < min.x || n.min[1] > max.y || n.max[1] < min.y ||
            n.min[2] > max.z || n.max[2] < min.z)
            continue;
        if (n.count > 0)
        {
            for (uint32_t i = n.first; i < n.first + n.count; ++i)
            {
                const Triangle& t = triangles[i];
                const tavVec3 lo = Min(t.v[0], Min(t.v[1], t.v[2]));
                const tavVec3 hi = Max(t.v[0], Max(t.v[1], t.v[2]));
                if (lo.x <= max.x && hi.x >= min.x && lo.y <= max.y && hi.y >= min.y &&
                    lo.z <= max.z && hi.z >= min.z)
                    out.push_back(i);
            }
        }
        else if (top + 2 <= 64)
        {
            stack[top++] = n.first + 1;
            stack[top++] = n.first;
        }
    }
    std::sort(out.begin() + (std::ptrdiff_t)start, out.end());
}
