#pragma once
// Closed solids for Mesh: subdivided hexahedra (boxes, slabs, ramps) and
// ring meshes (anything turned around an axis: islands, trees, eggs, the
// chicken's parts). Every solid comes out watertight with outward winding:
// neighbouring faces share their edge vertices exactly (same lattice point,
// same float), so there are no T-junctions and no cracks.

#include "Mesh.h"

#include <functional>
#include <vector>

namespace assetgen
{

// Texture coordinates of a vertex of a hexahedron face.
using FaceUv =
    std::function<void(const Vec3& position, const Vec3& normal, int face, float& u, float& v)>;
// Texture coordinates of a ring-mesh vertex; `around` runs 0..1 round the ring.
using RingUv =
    std::function<void(int ring, float around, const Vec3& position, float& u, float& v)>;

// Eight corners corner[i + 2j + 4k] (i, j, k in {0, 1}) of a convex solid with
// planar faces, `cells` subdivisions along i, j and k. Faces: 0 i=0, 1 i=1,
// 2 j=0, 3 j=1, 4 k=0, 5 k=1.
struct Hexahedron
{
    Vec3 corner[8];
    int cells[3] = {1, 1, 1};
    uint32_t material[6] = {0, 0, 0, 0, 0, 0};

    // Box around `centre` with half-axes `a`, `b`, `c` (any orthogonal frame).
    static Hexahedron Box(const Vec3& centre, const Vec3& a, const Vec3& b, const Vec3& c);
    // Picks cell counts so that no cell edge is longer than `maxCell`, and a
    // thin direction keeps the faces along it no more than three times as
    // long as they are thin (no slivers).
    void Subdivide(float maxCell);
    void SetMaterials(uint32_t top, uint32_t sides);
};

// Where a part sits: local points are turned (roll about z, then pitch about
// x, then yaw about y; radians, each turning by the left-hand rule of the
// engine's world) and then moved to `origin`.
struct Frame
{
    Vec3 origin;
    float pitch = 0.0f, yaw = 0.0f, roll = 0.0f;

    Vec3 Apply(const Vec3& local) const;
};

// One sample of a lathe's outline: distance from the axis and height on it.
struct ProfilePoint
{
    float radius;
    float height;
};

// Rings of points from one pole to the other. A ring of one point is a pole;
// the others all have the same number of points, in the same turning sense.
struct RingMesh
{
    std::vector<std::vector<Vec3>> rings;
    std::vector<uint32_t> bandMaterial; // one per band (rings.size() - 1)
};

// A solid of revolution about the local y axis, `rings` + 1 outline samples
// from t = 0 to t = 1 (both ends become poles on the axis), `segments`
// points per ring, the rings stretched by `scaleX` and `scaleZ`, placed by
// `frame`, all of it in `material`.
RingMesh Lathe(const std::function<ProfilePoint(float t)>& profile, int rings, int segments,
               const Frame& frame, float scaleX, float scaleZ, uint32_t material);

class MeshBuilder
{
public:
    explicit MeshBuilder(Mesh& target) : mesh(target) {}

    // One closed piece named `name`.
    void AddHexahedron(const std::string& name, const Hexahedron& solid, const FaceUv& uv);
    // One closed piece (when both end rings are poles), smooth normals.
    void AddRingMesh(const std::string& name, const RingMesh& solid, const RingUv& uv);
    // A lumpy ball: a sphere of triangles as near equilateral as a
    // subdivided icosahedron gives (`subdivisions` 0 to 3), each point
    // pushed out by `bulge`(direction) (1 = on the sphere), stretched by
    // `radii` and placed by `frame`. Texture coordinates are projected from
    // the side, `textureScale` units per repeat.
    void AddBall(const std::string& name, const Frame& frame, const Vec3& radii, int subdivisions,
                 uint32_t material, const std::function<float(const Vec3&)>& bulge,
                 float textureScale);

private:
    void AddHexFace(const Hexahedron& solid, int face, const Vec3& centre, const FaceUv& uv);

    Mesh& mesh;
};

} // namespace assetgen
