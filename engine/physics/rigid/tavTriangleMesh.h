#pragma once
// The triangle-mesh record: the plain form in which static collision
// geometry is handed to the world (tavRigidWorld::AddStaticMesh). The world
// copies what it needs, so the arrays may be released once the mesh is added.

#include <cstdint>

struct tavTriangleMesh
{
    // 16 bytes: a position and one word the library never reads.
    struct Vertex
    {
        float x, y, z;
        uint32_t unused;
    };
    // 24 bytes: three indices into the vertex array, the material number of
    // the triangle (0 to 255; anything else means 0), two reserved words.
    struct Triangle
    {
        uint32_t index[3];
        uint32_t material;
        uint32_t reserved[2];
    };

    Vertex* vertices;
    int32_t vertexCount;
    Triangle* triangles;
    int32_t triangleCount;

    // Allocates both arrays (malloc) for the given counts, vertices zeroed and
    // every triangle (-1, -1, -1) with its trailing words 0. False (and the
    // record left empty) for a negative count or when memory ran out.
    bool Allocate(int32_t vertices, int32_t triangles);
    // Frees both arrays and empties the record; safe on an empty record.
    void Release();
};

static_assert(sizeof(tavTriangleMesh::Vertex) == 16, "vertex records are 16 bytes");
static_assert(sizeof(tavTriangleMesh::Triangle) == 24, "triangle records are 24 bytes");
