#include "ChickenDesign.h"
#include "XFileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

using namespace assetgen;

namespace
{
// Fields of a line like " 1.000000;-2.000000;,", each written with six
// decimals; 0 when it is not such a line.
size_t DecimalFields(const std::string& line)
{
    if (line.size() < 3 || line[0] != ' ' || (line.back() != ',' && line.back() != ';')) return 0;
    std::istringstream fields(line.substr(1, line.size() - 2));
    size_t n = 0;
    for (std::string f; std::getline(fields, f, ';'); ++n)
    {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%.6f", std::strtod(f.c_str(), nullptr));
        if (f != fixed) return 0;
    }
    return n;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to)
{
    const size_t a = text.find(from);
    const size_t b = text.find(to, a);
    return a == std::string::npos || b == std::string::npos ? "" : text.substr(a, b - a);
}
} // namespace

TEST(XFileWriter, FloatsAlwaysCarryADecimalPointAndNoNegativeZero)
{
    const std::pair<float, const char*> cases[] = {{0.0f, "0.000000"},
                                                   {-0.0f, "0.000000"},
                                                   {-2.5f, "-2.500000"},
                                                   {-1e-9f, "0.000000"},
                                                   {7081.0f, "7081.000000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(XFileWriter::Float(value), text) << value;
}

// Two triangles added in the opposite order of their materials; the second
// material has a texture, the first none.
TEST(XFileWriter, OneMeshWithFacesGroupedBySubsetAndTexturesOnlyWhereSet)
{
    Mesh mesh;
    MeshMaterial plain, tiled;
    plain.name = "Plain";
    tiled.name = "Tiled";
    tiled.texture = "tiles.tex";
    tiled.emissive[0] = 0.25f;
    mesh.AddMaterial(plain);
    mesh.AddMaterial(tiled);
    for (int i = 0; i < 6; ++i)
        mesh.AddVertex({float(i), 0.0f, float(i % 2)}, {0.0f, 1.0f, 0.0f}, 0.5f, -1.0f);
    mesh.AddTriangle(3, 4, 5, 1);
    mesh.AddTriangle(0, 1, 2, 0);

    const std::string text = XFileWriter::ToText(mesh, "Sample");
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    EXPECT_EQ(text.find("Mesh ", text.find("Mesh ") + 1), std::string::npos) << "one mesh";
    // Faces are written in subset order: the material-0 triangle first.
    EXPECT_NE(text.find(" 6;\n"), std::string::npos);
    EXPECT_NE(text.find(" 2;\n 3;0,1,2;,\n 3;3,4,5;;\n"), std::string::npos);
    EXPECT_NE(text.find("MeshMaterialList {\n 2;\n 2;\n 0,\n 1;\n"), std::string::npos);
    // Normals repeat the faces; coordinates follow the vertices.
    EXPECT_NE(Between(text, "MeshNormals", "MeshTextureCoords").find(" 3;0,1,2;,"),
              std::string::npos);
    EXPECT_NE(text.find("MeshTextureCoords {\n 6;\n 0.500000;-1.000000;,"), std::string::npos);

    EXPECT_EQ(Between(text, "Material Plain {", "Material Tiled").find("TextureFilename"),
              std::string::npos);
    const std::string tiledText = Between(text, "Material Tiled {", "\n }\n }");
    EXPECT_NE(tiledText.find("TextureFilename {\n   \"tiles.tex\";\n  }"), std::string::npos);
    // faceColor, power, specular, emissive: all floats.
    EXPECT_NE(tiledText.find("  1.000000;1.000000;1.000000;1.000000;;\n  0.000000;\n"),
              std::string::npos);
    EXPECT_NE(tiledText.find("  0.250000;0.000000;0.000000;;\n"), std::string::npos);
}

TEST(XFileWriter, EveryVectorLineOfARealModelIsThreeDecimals)
{
    const Mesh chicken = ChickenDesign::Build();
    std::istringstream lines(XFileWriter::ToText(chicken, "Chicken"));
    std::string line;
    size_t vectors = 0, pairs = 0;
    while (std::getline(lines, line))
    {
        if (line.find('.') == std::string::npos || line.find('"') != std::string::npos ||
            line.rfind(" 3;", 0) == 0 || line.rfind("  ", 0) == 0)
            continue; // faces and material fields
        const size_t fields = DecimalFields(line);
        vectors += fields == 3;
        pairs += fields == 2;
        EXPECT_TRUE(fields == 2 || fields == 3) << "unexpected line: " << line;
    }
    EXPECT_EQ(vectors, chicken.vertices.size() * 2); // positions and normals
    EXPECT_EQ(pairs, chicken.vertices.size());
}
