#pragma once
// The engine's mesh files as plain data: what the static and dynamic mesh
// files, the 3DS and OBJ importers hold between the bytes and the Direct3D
// buffers. Portable: no Windows headers; the Windows mesh classes hand this
// to vertex and index buffers and the texture pool.

#include <cstdint>
#include <string>
#include <vector>

// The static vertex layout of every mesh (FVF 0x112): 32 bytes.
struct tavMeshVertex
{
    float position[3];
    float normal[3];
    float u, v;
};
static_assert(sizeof(tavMeshVertex) == 32, "the files store 32-byte vertices");

// One drawable range: DrawIndexedPrimitive(base vertex = vertexStart,
// minimum index = lowestIndex, vertexCount, start index = faceStart x 3,
// faceCount triangles). material is an index into the materials, or
// NoMaterial for the default one.
struct tavMeshPart
{
    static constexpr uint32_t NoMaterial = 0xFFFFFFFFu;

    uint32_t material = NoMaterial;
    uint32_t faceCount = 0;
    uint32_t faceStart = 0;
    uint32_t vertexCount = 0;
    uint32_t vertexStart = 0;
    uint32_t lowestIndex = 0;
};

// A material as the files keep it: colours as r, g, b, a (the files store
// a, r, g, b), power, and up to eight texture file names (slot order). The
// importers also fill the name and the shininess.
struct tavMaterialData
{
    static constexpr size_t MaxTextures = 8;

    float ambient[4] = {0, 0, 0, 255};
    float diffuse[4] = {255, 255, 255, 255};
    float emissive[4] = {0, 0, 0, 255};
    float specular[4] = {0, 0, 0, 255};
    float power = 0;
    std::vector<std::string> textures; // file names, no folder
    std::string name;
    float shininess = 0;
};

// Bounding volumes as the files store them.
struct tavMeshBounds
{
    float boxMax[3] = {0, 0, 0};
    float boxMin[3] = {0, 0, 0};
    float centroid[3] = {0, 0, 0};
    float halfExtents[3] = {0, 0, 0};
    float radius = 0;
};

// A static mesh file (version 20) in either section order.
struct tavStaticMeshData
{
    uint16_t version = 0; // 0 while empty
    std::vector<tavMeshVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<tavMeshPart> parts;
    std::vector<tavMaterialData> materials;
    tavMeshBounds bounds; // not stored by the simple order
};

// Rotation quaternion k0..k3, translation k4..k6 and a scalar k7.
struct tavKeyframe
{
    float k[8] = {0, 0, 0, 1, 0, 0, 0, 1};
};

struct tavBoneData
{
    uint32_t boneId = 0;
    std::string name;
    tavMeshPart part;
    float pivot[3] = {0, 0, 0};
    uint32_t restA[2] = {0, 0}; // the rest pose after the pivot, kept as stored
    uint32_t restB[3] = {0, 0, 0};
    std::vector<tavKeyframe> keyframes;
    std::vector<tavBoneData> children;
};

// In memory order; the file stores next, to, from, duration.
struct tavAnimation
{
    uint32_t fromKeyframe = 0;
    uint32_t toKeyframe = 0;
    uint32_t duration = 0; // milliseconds
    uint32_t next = 0;
};

// A dynamic mesh file ("EDM", version 396).
struct tavDynamicMeshData
{
    uint16_t fileVersion = 0; // 0 while empty
    std::vector<tavMeshVertex> vertices;
    std::vector<uint16_t> indices;
    uint32_t numKeyframes = 0;
    tavBoneData root;
    std::vector<tavAnimation> animations;
    std::vector<tavMaterialData> materials;
    tavMeshBounds bounds;
};

// Bones in the tree below and including `bone`.
uint32_t tavCountBones(const tavBoneData& bone);

// Box, centroid and half extents of the vertices' positions, and the
// radius of the sphere about the centroid that holds them all. Zeroes for
// no vertices.
tavMeshBounds tavComputeBounds(const std::vector<tavMeshVertex>& vertices);

// True when every index of the part's faces, offset by its first vertex,
// names a vertex, so drawing it reads nothing past the buffers.
bool tavPartFits(const tavMeshPart& part, const std::vector<tavMeshVertex>& vertices,
                 const std::vector<uint16_t>& indices);

// The smallest index in the part's faces (0 for a part outside the indices).
uint16_t tavLowestIndex(const tavMeshPart& part, const std::vector<uint16_t>& indices);
