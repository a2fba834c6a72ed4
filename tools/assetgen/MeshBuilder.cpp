#include "MeshBuilder.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>

namespace assetgen
{

namespace
{
// Trilinear point of the hexahedron lattice; the same (i, j, k) always gives
// the same float, whichever face asks.
Vec3 LatticePoint(const Hexahedron& h, int i, int j, int k)
{
    const float fi = float(i) / float(h.cells[0]);
    const float fj = float(j) / float(h.cells[1]);
    const float fk = float(k) / float(h.cells[2]);
    const Vec3 x00 = Lerp(h.corner[0], h.corner[1], fi);
    const Vec3 x10 = Lerp(h.corner[2], h.corner[3], fi);
    const Vec3 x01 = Lerp(h.corner[4], h.corner[5], fi);
    const Vec3 x11 = Lerp(h.corner[6], h.corner[7], fi);
    return Lerp(Lerp(x00, x10, fj), Lerp(x01, x11, fj), fk);
}

// Grid coordinates (i, j, k) of point (s, t) of a face.
void FaceToLattice(const Hexahedron& h, int face, int s, int t, int out[3])
{
    const int axis = face / 2;
    const int side = face % 2;
    const int b = (axis + 1) % 3;
    const int c = (axis + 2) % 3;
    out[axis] = side ? h.cells[axis] : 0;
    out[b] = s;
    out[c] = t;
}
} // namespace

Vec3 Frame::Apply(const Vec3& local) const
{
    const float cr = std::cos(roll), sr = std::sin(roll);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const Vec3 a(local.x * cr - local.y * sr, local.x * sr + local.y * cr, local.z);
    const Vec3 b(a.x, a.y * cp - a.z * sp, a.y * sp + a.z * cp);
    const Vec3 c(b.x * cy + b.z * sy, b.y, -b.x * sy + b.z * cy);
    return origin + c;
}

RingMesh Lathe(const std::function<ProfilePoint(float t)>& profile, int rings, int segments,
               const Frame& frame, float scaleX, float scaleZ, uint32_t material)
{
    RingMesh solid;
    const float TwoPi = 6.28318530718f;
    for (int r = 0; r <= rings; ++r)
    {
        const ProfilePoint p = profile(float(r) / float(rings));
        std::vector<Vec3> ring;
        if (r == 0 || r == rings)
            ring.push_back(frame.Apply({0.0f, p.height, 0.0f}));
        else
            for (int s = 0; s < segments; ++s)
            {
                const float a = TwoPi * float(s) / float(segments);
                ring.push_back(frame.Apply(
                    {std::cos(a) * p.radius * scaleX, p.height, std::sin(a) * p.radius * scaleZ}));
            }
        solid.rings.push_back(ring);
        if (r > 0) solid.bandMaterial.push_back(material);
    }
    return solid;
}

Hexahedron Hexahedron::Box(const Vec3& centre, const Vec3& a, const Vec3& b, const Vec3& c)
{
    Hexahedron h;
    for (int n = 0; n < 8; ++n)
    {
        const float si = (n & 1) ? 1.0f : -1.0f;
        const float sj = (n & 2) ? 1.0f : -1.0f;
        const float sk = (n & 4) ? 1.0f : -1.0f;
        h.corner[n] = centre + a * si + b * sj + c * sk;
    }
    return h;
}

void Hexahedron::Subdivide(float maxCell)
{
    float length[3];
    length[0] = Length(corner[1] - corner[0]);
    length[1] = Length(corner[2] - corner[0]);
    length[2] = Length(corner[4] - corner[0]);
    // Longest edge of each direction (ramps and wedges are not parallelepipeds).
    length[0] = std::max({length[0], Length(corner[3] - corner[2]), Length(corner[5] - corner[4]),
                          Length(corner[7] - corner[6])});
    length[1] = std::max({length[1], Length(corner[3] - corner[1]), Length(corner[6] - corner[4]),
                          Length(corner[7] - corner[5])});
    length[2] = std::max({length[2], Length(corner[5] - corner[1]), Length(corner[6] - corner[2]),
                          Length(corner[7] - corner[3])});
    const float thinnest = std::min({length[0], length[1], length[2]});
    const float cell = std::min(maxCell, 3.0f * thinnest);
    for (int a = 0; a < 3; ++a)
        cells[a] = std::max(1, int(std::ceil(length[a] / cell - 0.001f)));
}

void Hexahedron::SetMaterials(uint32_t top, uint32_t sides)
{
    // The face whose outward direction is most nearly +y is the top.
    int best = 0;
    float bestY = -2.0f;
    Vec3 centre;
    for (const Vec3& p : corner)
        centre += p * 0.125f;
    for (int f = 0; f < 6; ++f)
    {
        Vec3 faceCentre;
        for (int n = 0; n < 8; ++n)
        {
            const int bit = (n >> (f / 2)) & 1;
            if (bit == f % 2) faceCentre += corner[n] * 0.25f;
        }
        const float y = Normalize(faceCentre - centre).y;
        if (y > bestY)
        {
            bestY = y;
            best = f;
        }
    }
    for (int f = 0; f < 6; ++f)
        material[f] = f == best ? top : sides;
}

void MeshBuilder::AddHexahedron(const std::string& name, const Hexahedron& solid, const FaceUv& uv)
{
    Vec3 centre;
    for (const Vec3& p : solid.corner)
        centre += p * 0.125f;
    mesh.BeginPiece(name);
    for (int face = 0; face < 6; ++face)
        AddHexFace(solid, face, centre, uv);
    mesh.EndPiece();
}

void MeshBuilder::AddHexFace(const Hexahedron& solid, int face, const Vec3& centre,
                             const FaceUv& uv)
{
    const int axis = face / 2;
    const int ns = solid.cells[(axis + 1) % 3];
    const int nt = solid.cells[(axis + 2) % 3];
    int l[3];
    FaceToLattice(solid, face, 0, 0, l);
    const Vec3 p00 = LatticePoint(solid, l[0], l[1], l[2]);
    FaceToLattice(solid, face, ns, 0, l);
    const Vec3 p10 = LatticePoint(solid, l[0], l[1], l[2]);
    FaceToLattice(solid, face, 0, nt, l);
    const Vec3 p01 = LatticePoint(solid, l[0], l[1], l[2]);
    FaceToLattice(solid, face, ns, nt, l);
    const Vec3 p11 = LatticePoint(solid, l[0], l[1], l[2]);
    Vec3 normal = Normalize(Cross(p10 - p00, p01 - p00) + Cross(p01 - p11, p10 - p11));
    const Vec3 faceCentre = (p00 + p10 + p01 + p11) * 0.25f;
    const bool flip = Dot(normal, faceCentre - centre) < 0.0f;
    if (flip) normal = -normal;

    const uint32_t first = uint32_t(mesh.vertices.size());
    for (int t = 0; t <= nt; ++t)
        for (int s = 0; s <= ns; ++s)
        {
            FaceToLattice(solid, face, s, t, l);
            const Vec3 p = LatticePoint(solid, l[0], l[1], l[2]);
            float u = 0.0f, v = 0.0f;
            uv(p, normal, face, u, v);
            mesh.AddVertex(p, normal, u, v);
        }
    const uint32_t row = uint32_t(ns + 1);
    for (int t = 0; t < nt; ++t)
        for (int s = 0; s < ns; ++s)
        {
            const uint32_t a = first + uint32_t(t) * row + uint32_t(s);
            const uint32_t b = a + 1, c = a + row, d = a + row + 1;
            // (a, b, c) winds with Cross(p10 - p00, p01 - p00).
            if (flip)
            {
                mesh.AddTriangle(a, c, b, solid.material[face]);
                mesh.AddTriangle(b, c, d, solid.material[face]);
            }
            else
            {
                mesh.AddTriangle(a, b, c, solid.material[face]);
                mesh.AddTriangle(b, d, c, solid.material[face]);
            }
        }
}

namespace
{
struct RingPoint
{
    int ring;
    int index; // 0 for a pole
};

// The triangles of a ring mesh as ring points, wound consistently.
std::vector<RingPoint> RingTriangles(const RingMesh& solid, std::vector<int>& band)
{
    std::vector<RingPoint> out;
    for (size_t r = 0; r + 1 < solid.rings.size(); ++r)
    {
        const std::vector<Vec3>& a = solid.rings[r];
        const std::vector<Vec3>& b = solid.rings[r + 1];
        const int ring = int(r);
        const int n = int(std::max(a.size(), b.size()));
        for (int s = 0; s < n; ++s)
        {
            const int s1 = (s + 1) % n;
            if (a.size() == 1)
            {
                out.insert(out.end(), {{ring, 0}, {ring + 1, s1}, {ring + 1, s}});
                band.push_back(ring);
            }
            else if (b.size() == 1)
            {
                out.insert(out.end(), {{ring, s}, {ring, s1}, {ring + 1, 0}});
                band.push_back(ring);
            }
            else
            {
                // Split each quad along its shorter diagonal.
                const float d0 = Length(b[size_t(s1)] - a[size_t(s)]);
                const float d1 = Length(b[size_t(s)] - a[size_t(s1)]);
                if (d0 <= d1)
                    out.insert(out.end(), {{ring, s},
                                           {ring, s1},
                                           {ring + 1, s1},
                                           {ring, s},
                                           {ring + 1, s1},
                                           {ring + 1, s}});
                else
                    out.insert(out.end(), {{ring, s},
                                           {ring, s1},
                                           {ring + 1, s},
                                           {ring, s1},
                                           {ring + 1, s1},
                                           {ring + 1, s}});
                band.push_back(ring);
                band.push_back(ring);
            }
        }
    }
    return out;
}

// Measured about the first pole, so that large world coordinates do not
// drown the result in rounding.
float SignedVolume(const RingMesh& solid, const std::vector<RingPoint>& tris)
{
    const Vec3 origin = solid.rings.front().front();
    double volume = 0.0;
    for (size_t t = 0; t < tris.size(); t += 3)
    {
        const Vec3 a = solid.rings[size_t(tris[t].ring)][size_t(tris[t].index)] - origin;
        const Vec3 b = solid.rings[size_t(tris[t + 1].ring)][size_t(tris[t + 1].index)] - origin;
        const Vec3 c = solid.rings[size_t(tris[t + 2].ring)][size_t(tris[t + 2].index)] - origin;
        volume += double(Dot(a, Cross(b, c)));
    }
    return float(volume / 6.0);
}
} // namespace

void MeshBuilder::AddRingMesh(const std::string& name, const RingMesh& solid, const RingUv& uv)
{
    assert(solid.bandMaterial.size() + 1 == solid.rings.size() && "one material per band");
    std::vector<int> band;
    std::vector<RingPoint> tris = RingTriangles(solid, band);
    if (SignedVolume(solid, tris) < 0.0f)
        for (size_t t = 0; t < tris.size(); t += 3)
            std::swap(tris[t + 1], tris[t + 2]);

    // Smooth normals: angle-weighted face normals summed per ring point.
    std::vector<std::vector<Vec3>> normals(solid.rings.size());
    for (size_t r = 0; r < solid.rings.size(); ++r)
        normals[r].assign(solid.rings[r].size(), Vec3(0.0f, 0.0f, 0.0f));
    auto at = [&](const RingPoint& p) { return solid.rings[size_t(p.ring)][size_t(p.index)]; };
    for (size_t t = 0; t < tris.size(); t += 3)
    {
        const Vec3 face =
            Normalize(Cross(at(tris[t + 1]) - at(tris[t]), at(tris[t + 2]) - at(tris[t])));
        for (int k = 0; k < 3; ++k)
        {
            const Vec3 e1 = Normalize(at(tris[t + (k + 1) % 3]) - at(tris[t + k]));
            const Vec3 e2 = Normalize(at(tris[t + (k + 2) % 3]) - at(tris[t + k]));
            const float angle = std::acos(std::max(-1.0f, std::min(1.0f, Dot(e1, e2))));
            normals[size_t(tris[t + k].ring)][size_t(tris[t + k].index)] += face * angle;
        }
    }

    // Vertices per band, so each band has its own texture coordinates; the
    // last column repeats the first with `around` = 1 (no seam in u).
    mesh.BeginPiece(name);
    std::vector<std::vector<uint32_t>> bandFirst(solid.rings.size());
    size_t t = 0;
    for (size_t b = 0; b + 1 < solid.rings.size(); ++b)
    {
        uint32_t first[2];
        for (int side = 0; side < 2; ++side)
        {
            const size_t r = b + size_t(side);
            first[side] = uint32_t(mesh.vertices.size());
            const size_t n = solid.rings[r].size();
            const size_t columns = n == 1 ? 1 : n + 1;
            for (size_t s = 0; s < columns; ++s)
            {
                const Vec3& p = solid.rings[r][s % n];
                float u = 0.0f, v = 0.0f;
                uv(int(r), n == 1 ? 0.5f : float(s) / float(n), p, u, v);
                mesh.AddVertex(p, Normalize(normals[r][s % n]), u, v);
            }
        }
        for (; t < tris.size() && band[t / 3] == int(b); t += 3)
        {
            uint32_t idx[3];
            // A triangle that wraps (uses column 0 after column n - 1) takes
            // the repeated column n instead of column 0.
            int maxIndex = 0;
            for (int k = 0; k < 3; ++k)
                maxIndex = std::max(maxIndex, tris[t + k].index);
            for (int k = 0; k < 3; ++k)
            {
                const RingPoint& p = tris[t + k];
                const int side = p.ring - int(b);
                const size_t n = solid.rings[size_t(p.ring)].size();
                int column = p.index;
                if (n > 1 && column == 0 && maxIndex == int(n) - 1) column = int(n);
                idx[k] = first[side] + uint32_t(column);
            }
            mesh.AddTriangle(idx[0], idx[1], idx[2], solid.bandMaterial[b]);
        }
    }
    mesh.EndPiece();
}

namespace
{
struct Ball
{
    std::vector<Vec3> points;
    std::vector<uint32_t> triangles;
};

// Icosahedron with outward winding, subdivided: each edge's midpoint is
// made once, so the surface stays closed.
Ball Icosphere(int subdivisions)
{
    const float t = (1.0f + std::sqrt(5.0f)) * 0.5f;
    Ball ball;
    const float p[12][3] = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
                            {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
                            {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (const float* q : p)
        ball.points.push_back(Normalize({q[0], q[1], q[2]}));
    ball.triangles = {0, 11, 5,  0, 5,  1, 0, 1, 7, 0, 7,  10, 0, 10, 11, 1, 5, 9, 5, 11,
                      4, 11, 10, 2, 10, 7, 6, 7, 1, 8, 3,  9,  4, 3,  4,  2, 3, 2, 6, 3,
                      6, 8,  3,  8, 9,  4, 9, 5, 2, 4, 11, 6,  2, 10, 8,  6, 7, 9, 8, 1};
    for (int level = 0; level < subdivisions; ++level)
    {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> middle;
        auto mid = [&](uint32_t a, uint32_t b)
        {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            const auto found = middle.find(key);
            if (found != middle.end()) return found->second;
            ball.points.push_back(Normalize(ball.points[a] + ball.points[b]));
            return middle[key] = uint32_t(ball.points.size() - 1);
        };
        std::vector<uint32_t> finer;
        for (size_t i = 0; i < ball.triangles.size(); i += 3)
        {
            const uint32_t a = ball.triangles[i], b = ball.triangles[i + 1],
                           c = ball.triangles[i + 2];
            const uint32_t ab = mid(a, b), bc = mid(b, c), ca = mid(c, a);
            finer.insert(finer.end(), {a, ab, ca, b, bc, ab, c, ca, bc, ab, bc, ca});
        }
        ball.triangles.swap(finer);
    }
    return ball;
}
} // namespace

void MeshBuilder::AddBall(const std::string& name, const Frame& frame, const Vec3& radii,
                          int subdivisions, uint32_t material,
                          const std::function<float(const Vec3&)>& bulge, float textureScale)
{
    Ball ball = Icosphere(subdivisions);
    std::vector<Vec3> placed;
    for (const Vec3& d : ball.points)
    {
        const Vec3 local = d * bulge(d);
        placed.push_back(frame.Apply({local.x * radii.x, local.y * radii.y, local.z * radii.z}));
    }
    // The icosahedron winds one way; keep whichever way is outward after
    // the stretch and turn.
    // Volume measured about the ball's own centre: far from the world's
    // origin the float products would drown it.
    double volume = 0.0;
    for (size_t i = 0; i < ball.triangles.size(); i += 3)
    {
        const Vec3 a = placed[ball.triangles[i]] - frame.origin;
        const Vec3 b = placed[ball.triangles[i + 1]] - frame.origin;
        const Vec3 c = placed[ball.triangles[i + 2]] - frame.origin;
        volume += double(Dot(a, Cross(b, c)));
    }
    const bool flip = volume < 0.0;
    std::vector<Vec3> normals(placed.size(), Vec3(0.0f, 0.0f, 0.0f));
    for (size_t i = 0; i < ball.triangles.size(); i += 3)
    {
        const uint32_t a = ball.triangles[i], b = ball.triangles[i + 1], c = ball.triangles[i + 2];
        Vec3 n = Cross(placed[b] - placed[a], placed[c] - placed[a]);
        if (flip) n = -n;
        normals[a] += n;
        normals[b] += n;
        normals[c] += n;
    }
    const uint32_t first = uint32_t(mesh.vertices.size());
    for (size_t i = 0; i < placed.size(); ++i)
    {
        const Vec3& p = placed[i];
        mesh.AddVertex(p, Normalize(normals[i]), (p.x + 0.5f * p.z) / textureScale,
                       (0.5f * p.z - p.y) / textureScale);
    }
    mesh.BeginPiece(name);
    for (size_t i = 0; i < ball.triangles.size(); i += 3)
    {
        const uint32_t a = first + ball.triangles[i];
        const uint32_t b = first + ball.triangles[i + 1];
        const uint32_t c = first + ball.triangles[i + 2];
        if (flip)
            mesh.AddTriangle(a, c, b, material);
        else
            mesh.AddTriangle(a, b, c, material);
    }
    mesh.EndPiece();
}

} // namespace assetgen
