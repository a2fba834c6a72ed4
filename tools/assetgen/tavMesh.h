#pragma once
// A triangle mesh as the content tools build it before it is written as an
// .x file: vertices with normal and one texture coordinate pair, triangles
// tagged with a material (the subset they are drawn in), and the list of
// closed solids ("pieces") the triangles form, so that checks can test each
// solid for being watertight.

#include "tavVec3.h"

#include <cstdint>
#include <string>
#include <vector>

struct tavMeshVertex
{
    tavVec3 position;
    tavVec3 normal;
    float u = 0.0f, v = 0.0f;
};

struct tavMeshTriangle
{
    uint32_t index[3];
    uint32_t material;
};

// What the .x Material record holds; colours 0..1.
struct tavMeshMaterial
{
    std::string name;
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float power = 0.0f;
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float emissive[3] = {0.0f, 0.0f, 0.0f};
    std::string texture; // file name only; empty for none
};

struct tavMeshPiece
{
    std::string name;
    uint32_t firstTriangle;
    uint32_t triangleCount;
};

struct tavBounds
{
    tavVec3 min, max;
};

class tavMesh
{
public:
    // Index of the new material; triangles refer to it by this index.
    uint32_t AddMaterial(const tavMeshMaterial& material);
    uint32_t AddVertex(const tavVec3& position, const tavVec3& normal, float u, float v);
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material);

    // Triangles added between the two calls form one closed solid.
    void BeginPiece(const std::string& name);
    void EndPiece();

    // Moves every vertex from `firstVertex` on: scaled, then offset.
    void ScaleAndMove(uint32_t firstVertex, const tavVec3& scale, const tavVec3& offset);
    // Unit face normal from the winding (a, b, c): outward for a front face.
    tavVec3 FaceNormal(const tavMeshTriangle& t) const;
    tavBounds Bounds() const;
    // Largest distance of a vertex from `centre`.
    float Radius(const tavVec3& centre) const;

    std::vector<tavMeshVertex> vertices;
    std::vector<tavMeshTriangle> triangles;
    std::vector<tavMeshMaterial> materials;
    std::vector<tavMeshPiece> pieces;

private:
    bool inPiece = false;
};
