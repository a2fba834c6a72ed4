#pragma once
// A triangle mesh as the content tools build it before it is written as an
// .x file: vertices with normal and one texture coordinate pair, triangles
// tagged with a material (the subset they are drawn in), and the list of
// closed solids ("pieces") the triangles form, so that checks can test each
// solid for being watertight.

#include "Vec3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

struct MeshVertex
{
    Vec3 position;
    Vec3 normal;
    float u = 0.0f, v = 0.0f;
};

struct MeshTriangle
{
    uint32_t index[3];
    uint32_t material;
};

// What the .x Material record holds; colours 0..1.
struct MeshMaterial
{
    std::string name;
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float power = 0.0f;
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float emissive[3] = {0.0f, 0.0f, 0.0f};
    std::string texture; // file name only; empty for none
};

struct MeshPiece
{
    std::string name;
    uint32_t firstTriangle;
    uint32_t triangleCount;
};

struct Box3
{
    Vec3 min, max;
};

class Mesh
{
public:
    // Index of the new material; triangles refer to it by this index.
    uint32_t AddMaterial(const MeshMaterial& material);
    uint32_t AddVertex(const Vec3& position, const Vec3& normal, float u, float v);
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material);

    // Triangles added between the two calls form one closed solid.
    void BeginPiece(const std::string& name);
    void EndPiece();

    // Moves every vertex from `firstVertex` on: scaled, then offset.
    void ScaleAndMove(uint32_t firstVertex, const Vec3& scale, const Vec3& offset);
    // Unit face normal from the winding (a, b, c): outward for a front face.
    Vec3 FaceNormal(const MeshTriangle& t) const;
    Box3 Bounds() const;
    // Largest distance of a vertex from `centre`.
    float Radius(const Vec3& centre) const;

    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    std::vector<MeshMaterial> materials;
    std::vector<MeshPiece> pieces;

private:
    bool inPiece = false;
};

} // namespace assetgen
