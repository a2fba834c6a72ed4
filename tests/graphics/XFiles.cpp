#include "XFiles.h"

#include <cstdio>

namespace
{
std::string F(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.6f", double(v));
    return text;
}

// Face f uses material faceMaterial[f].
std::string MaterialList(const std::vector<XMaterial>& materials,
                         const std::vector<size_t>& faceMaterial)
{
    if (materials.empty()) return "";
    const size_t faces = faceMaterial.size();
    std::string x = "  MeshMaterialList {\n   " + std::to_string(materials.size()) + ";\n   " +
                    std::to_string(faces) + ";\n   ";
    for (size_t f = 0; f < faces; ++f)
        x += std::to_string(faceMaterial[f]) + (f + 1 < faces ? "," : ";\n");
    for (const XMaterial& m : materials)
    {
        x += "   Material {\n    " + F(m.r) + ";" + F(m.g) + ";" + F(m.b) + ";" + F(m.a) +
             ";;\n    8.0;\n    0.25;0.25;0.25;;\n    0.0;0.0;0.0;;\n";
        if (!m.texture.empty()) x += "    TextureFilename { \"" + m.texture + "\"; }\n";
        x += "   }\n";
    }
    return x + "  }\n";
}

struct Point
{
    float x, y, z;
};

std::string Mesh(const std::vector<Point>& points, const std::vector<int>& triangles,
                 const std::vector<XMaterial>& materials, std::vector<size_t> faceMaterial = {})
{
    std::string x = "xof 0303txt 0032\n\nMesh {\n  " + std::to_string(points.size()) + ";\n";
    for (size_t i = 0; i < points.size(); ++i)
        x += "  " + F(points[i].x) + ";" + F(points[i].y) + ";" + F(points[i].z) + ";" +
             (i + 1 < points.size() ? ",\n" : ";\n");
    const size_t faces = triangles.size() / 3;
    x += "  " + std::to_string(faces) + ";\n";
    for (size_t f = 0; f < faces; ++f)
        x += "  3;" + std::to_string(triangles[f * 3]) + "," +
             std::to_string(triangles[f * 3 + 1]) + "," + std::to_string(triangles[f * 3 + 2]) +
             ";" + (f + 1 < faces ? ",\n" : ";\n");
    if (faceMaterial.empty())
        for (size_t f = 0; f < faces; ++f)
            faceMaterial.push_back(materials.empty() ? 0 : f % materials.size());
    x += MaterialList(materials, faceMaterial);
    return x + "}\n";
}
} // namespace

std::string XCube(const std::vector<XMaterial>& materials, float minX, float minY, float minZ)
{
    std::vector<Point> points;
    for (int i = 0; i < 8; ++i)
        points.push_back(
            {minX + float(i & 1), minY + float((i >> 1) & 1), minZ + float((i >> 2) & 1)});
    // Outward-facing, clockwise seen from outside (Direct3D's front faces).
    const std::vector<int> triangles = {
        0, 2, 1, 1, 2, 3, // -z
        4, 5, 6, 5, 7, 6, // +z
        0, 4, 2, 2, 4, 6, // -x
        1, 3, 5, 3, 7, 5, // +x
        0, 1, 4, 1, 5, 4, // -y
        2, 6, 3, 3, 6, 7, // +y
    };
    return Mesh(points, triangles, materials);
}

std::string XTwoSquares(const XMaterial& left, const XMaterial& right)
{
    const std::vector<Point> points = {{-1, 0, 0}, {0, 0, 0}, {-1, 1, 0}, {0, 1, 0},
                                       {0, 0, 0},  {1, 0, 0}, {0, 1, 0},  {1, 1, 0}};
    const std::vector<int> triangles = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
    return Mesh(points, triangles, {left, right}, {0, 0, 1, 1});
}
