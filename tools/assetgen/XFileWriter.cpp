#include "XFileWriter.h"

#include "BinaryFile.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace assetgen
{

namespace
{
// Triangle order of the file: by material, stable within one material.
std::vector<size_t> FileOrder(const Mesh& mesh)
{
    std::vector<size_t> order(mesh.triangles.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     { return mesh.triangles[a].material < mesh.triangles[b].material; });
    return order;
}

std::string Colour(const float* c, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += XFileWriter::Float(c[i]) + ";";
    return out + ";";
}
} // namespace

std::string XFileWriter::Float(float value)
{
    if (value == 0.0f) value = 0.0f; // no "-0.000000"
    char text[64];
    std::snprintf(text, sizeof(text), "%.6f", double(value));
    std::string s = text;
    if (s == "-0.000000") s = "0.000000";
    return s;
}

void XFileWriter::AppendVectors(std::string& out, const Mesh& mesh, bool normals)
{
    out += " " + std::to_string(mesh.vertices.size()) + ";\n";
    for (size_t i = 0; i < mesh.vertices.size(); ++i)
    {
        const Vec3& p = normals ? mesh.vertices[i].normal : mesh.vertices[i].position;
        out += " " + Float(p.x) + ";" + Float(p.y) + ";" + Float(p.z) + ";";
        out += i + 1 < mesh.vertices.size() ? ",\n" : ";\n";
    }
}

void XFileWriter::AppendFaces(std::string& out, const Mesh& mesh)
{
    const std::vector<size_t> order = FileOrder(mesh);
    out += " " + std::to_string(order.size()) + ";\n";
    for (size_t i = 0; i < order.size(); ++i)
    {
        const MeshTriangle& t = mesh.triangles[order[i]];
        out += " 3;" + std::to_string(t.index[0]) + "," + std::to_string(t.index[1]) + "," +
               std::to_string(t.index[2]) + ";";
        out += i + 1 < order.size() ? ",\n" : ";\n";
    }
}

void XFileWriter::AppendTextureCoords(std::string& out, const Mesh& mesh)
{
    out += " MeshTextureCoords {\n " + std::to_string(mesh.vertices.size()) + ";\n";
    for (size_t i = 0; i < mesh.vertices.size(); ++i)
    {
        out += " " + Float(mesh.vertices[i].u) + ";" + Float(mesh.vertices[i].v) + ";";
        out += i + 1 < mesh.vertices.size() ? ",\n" : ";\n";
    }
    out += " }\n";
}

void XFileWriter::AppendMaterials(std::string& out, const Mesh& mesh)
{
    const std::vector<size_t> order = FileOrder(mesh);
    out += " MeshMaterialList {\n " + std::to_string(mesh.materials.size()) + ";\n " +
           std::to_string(order.size()) + ";\n";
    for (size_t i = 0; i < order.size(); ++i)
    {
        out += " " + std::to_string(mesh.triangles[order[i]].material);
        out += i + 1 < order.size() ? ",\n" : ";\n";
    }
    for (const MeshMaterial& m : mesh.materials)
    {
        out += " Material " + m.name + " {\n";
        out += "  " + Colour(m.diffuse, 4) + "\n";
        out += "  " + Float(m.power) + ";\n";
        out += "  " + Colour(m.specular, 3) + "\n";
        out += "  " + Colour(m.emissive, 3) + "\n";
        if (!m.texture.empty()) out += "  TextureFilename {\n   \"" + m.texture + "\";\n  }\n";
        out += " }\n";
    }
    out += " }\n";
}

std::string XFileWriter::ToText(const Mesh& mesh, const std::string& meshName)
{
    std::string out = "xof 0303txt 0032\n\nMesh " + meshName + " {\n";
    out.reserve(mesh.vertices.size() * 120 + mesh.triangles.size() * 40);
    AppendVectors(out, mesh, false);
    AppendFaces(out, mesh);
    out += " MeshNormals {\n";
    AppendVectors(out, mesh, true);
    // Normals are per vertex: the normal faces repeat the faces.
    AppendFaces(out, mesh);
    out += " }\n";
    AppendTextureCoords(out, mesh);
    AppendMaterials(out, mesh);
    out += "}\n";
    return out;
}

bool XFileWriter::Write(const Mesh& mesh, const std::string& meshName, const std::string& path)
{
    return BinaryFile::Write(path, ToText(mesh, meshName));
}

} // namespace assetgen
