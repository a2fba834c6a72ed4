#include "XFiles.h"

#include <cstdio>

namespace
{
std::string F(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.6f", double(v)); // every FLOAT with a decimal point
    return text;
}
} // namespace

std::string XSquares(const std::vector<XMaterial>& materials)
{
    const size_t n = materials.empty() ? 1 : materials.size();
    std::string x = "xof 0303txt 0032\n\nMesh {\n  " + std::to_string(4 * n) + ";\n";
    for (size_t i = 0; i < 4 * n; ++i)
        x += "  " + F(float(i / 4) - 1 + float(i & 1)) + ";" + F(float((i >> 1) & 1)) + ";0.0;" +
             (i + 1 < 4 * n ? ",\n" : ";\n");
    x += "  " + std::to_string(2 * n) + ";\n";
    for (size_t i = 0; i < n; ++i)
    {
        const std::string a = std::to_string(4 * i), b = std::to_string(4 * i + 1),
                          c = std::to_string(4 * i + 2), d = std::to_string(4 * i + 3);
        x += "  3;" + a + "," + c + "," + b + ";,\n  3;" + b + "," + c + "," + d +
             (i + 1 < n ? ";,\n" : ";;\n");
    }
    if (materials.empty()) return x + "}\n";
    x += "  MeshMaterialList {\n   " + std::to_string(n) + ";\n   " + std::to_string(2 * n) + ";\n";
    for (size_t f = 0; f < 2 * n; ++f)
        x += "   " + std::to_string(f / 2) + (f + 1 < 2 * n ? ",\n" : ";\n");
    for (const XMaterial& m : materials)
    {
        x += "   Material {\n    " + F(m.r) + ";" + F(m.g) + ";" + F(m.b) + ";" + F(m.a) +
             ";;\n    8.0;\n    0.25;0.25;0.25;;\n    0.0;0.0;0.0;;\n";
        if (!m.texture.empty()) x += "    TextureFilename { \"" + m.texture + "\"; }\n";
        x += "   }\n";
    }
    return x + "  }\n}\n";
}
