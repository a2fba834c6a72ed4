#include "tavMesh.h"

#include <algorithm>
#include <cassert>

uint32_t tavMesh::AddMaterial(const tavMeshMaterial& material)
{
    materials.push_back(material);
    return uint32_t(materials.size() - 1);
}

uint32_t tavMesh::AddVertex(const tavVec3& position, const tavVec3& normal, float u, float v)
{
    tavMeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.u = u;
    vertex.v = v;
    vertices.push_back(vertex);
    return uint32_t(vertices.size() - 1);
}

void tavMesh::AddTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material)
{
    assert(material < materials.size() && "add the material before the triangles that use it");
    triangles.push_back({{a, b, c}, material});
}

void tavMesh::BeginPiece(const std::string& name)
{
    assert(!inPiece && "EndPiece the previous solid first");
    inPiece = true;
    pieces.push_back({name, uint32_t(triangles.size()), 0});
}

void tavMesh::EndPiece()
{
    assert(inPiece && "BeginPiece before EndPiece");
    inPiece = false;
    pieces.back().triangleCount = uint32_t(triangles.size()) - pieces.back().firstTriangle;
}

void tavMesh::ScaleAndMove(uint32_t firstVertex, const tavVec3& scale, const tavVec3& offset)
{
    for (size_t i = firstVertex; i < vertices.size(); ++i)
    {
        tavVec3& p = vertices[i].position;
        p = tavVec3(p.x * scale.x, p.y * scale.y, p.z * scale.z) + offset;
        tavVec3& n = vertices[i].normal;
        // Normals transform by the inverse transpose: divide by the scale.
        n = Normalize(tavVec3(n.x / scale.x, n.y / scale.y, n.z / scale.z));
    }
}

tavVec3 tavMesh::FaceNormal(const tavMeshTriangle& t) const
{
    const tavVec3& a = vertices[t.index[0]].position;
    const tavVec3& b = vertices[t.index[1]].position;
    const tavVec3& c = vertices[t.index[2]].position;
    return Normalize(Cross(b - a, c - a));
}

tavBounds tavMesh::Bounds() const
{
    tavBounds box;
    if (vertices.empty()) return box;
    box.min = box.max = vertices[0].position;
    for (const tavMeshVertex& v : vertices)
    {
        box.min = {std::min(box.min.x, v.position.x), std::min(box.min.y, v.position.y),
                   std::min(box.min.z, v.position.z)};
        box.max = {std::max(box.max.x, v.position.x), std::max(box.max.y, v.position.y),
                   std::max(box.max.z, v.position.z)};
    }
    return box;
}

float tavMesh::Radius(const tavVec3& centre) const
{
    float radius = 0.0f;
    for (const tavMeshVertex& v : vertices)
        radius = std::max(radius, Length(v.position - centre));
    return radius;
}
