#include "Mesh.h"

#include <algorithm>
#include <cassert>

namespace assetgen
{

uint32_t Mesh::AddMaterial(const MeshMaterial& material)
{
    materials.push_back(material);
    return uint32_t(materials.size() - 1);
}

uint32_t Mesh::AddVertex(const Vec3& position, const Vec3& normal, float u, float v)
{
    MeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.u = u;
    vertex.v = v;
    vertices.push_back(vertex);
    return uint32_t(vertices.size() - 1);
}

void Mesh::AddTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material)
{
    assert(material < materials.size() && "add the material before the triangles that use it");
    triangles.push_back({{a, b, c}, material});
}

void Mesh::BeginPiece(const std::string& name)
{
    assert(!inPiece && "EndPiece the previous solid first");
    inPiece = true;
    pieces.push_back({name, uint32_t(triangles.size()), 0});
}

void Mesh::EndPiece()
{
    assert(inPiece && "BeginPiece before EndPiece");
    inPiece = false;
    pieces.back().triangleCount = uint32_t(triangles.size()) - pieces.back().firstTriangle;
}

void Mesh::ScaleAndMove(uint32_t firstVertex, const Vec3& scale, const Vec3& offset)
{
    for (size_t i = firstVertex; i < vertices.size(); ++i)
    {
        Vec3& p = vertices[i].position;
        p = Vec3(p.x * scale.x, p.y * scale.y, p.z * scale.z) + offset;
        Vec3& n = vertices[i].normal;
        // Normals transform by the inverse transpose: divide by the scale.
        n = Normalize(Vec3(n.x / scale.x, n.y / scale.y, n.z / scale.z));
    }
}

Vec3 Mesh::FaceNormal(const MeshTriangle& t) const
{
    const Vec3& a = vertices[t.index[0]].position;
    const Vec3& b = vertices[t.index[1]].position;
    const Vec3& c = vertices[t.index[2]].position;
    return Normalize(Cross(b - a, c - a));
}

Box3 Mesh::Bounds() const
{
    Box3 box;
    if (vertices.empty()) return box;
    box.min = box.max = vertices[0].position;
    for (const MeshVertex& v : vertices)
    {
        box.min = {std::min(box.min.x, v.position.x), std::min(box.min.y, v.position.y),
                   std::min(box.min.z, v.position.z)};
        box.max = {std::max(box.max.x, v.position.x), std::max(box.max.y, v.position.y),
                   std::max(box.max.z, v.position.z)};
    }
    return box;
}

float Mesh::Radius(const Vec3& centre) const
{
    float radius = 0.0f;
    for (const MeshVertex& v : vertices)
        radius = std::max(radius, Length(v.position - centre));
    return radius;
}

} // namespace assetgen
