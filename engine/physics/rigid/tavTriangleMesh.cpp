#include "tavTriangleMesh.h"

#include <cstdlib>
#include <cstring>

bool tavTriangleMesh::Allocate(int32_t vertexTotal, int32_t triangleTotal)
{
    vertices = nullptr;
    triangles = nullptr;
    vertexCount = 0;
    triangleCount = 0;
    if (vertexTotal < 0 || triangleTotal < 0)
        return false;
    Vertex* v = (Vertex*)std::calloc((size_t)vertexTotal + 1, sizeof(Vertex));
    Triangle* t = (Triangle*)std::malloc(((size_t)triangleTotal + 1) * sizeof(Triangle));
    if (!v || !t)
    {
        std::free(v);
        std::free(t);
        return false;
    }
    for (int32_t i = 0; i < triangleTotal; ++i)
    {
        std::memset(t[i].index, 0xFF, sizeof(t[i].index));
        t[i].material = 0;
        t[i].reserved[0] = t[i].reserved[1] = 0;
    }
    vertices = v;
    triangles = t;
    vertexCount = vertexTotal;
    triangleCount = triangleTotal;
    return true;
}

void tavTriangleMesh::Release()
{
    std::free(vertices);
    std::free(triangles);
    vertices = nullptr;
    triangles = nullptr;
    vertexCount = 0;
    triangleCount = 0;
}
