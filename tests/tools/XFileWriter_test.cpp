#include "ChickenDesign.h"
#include "XFileWriter.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace assetgen;

namespace
{
// Two triangles added in the opposite order of their materials; the second
// material has a texture, the first none.
Mesh TwoSubsets()
{
    Mesh mesh;
    MeshMaterial plain;
    plain.name = "Plain";
    mesh.AddMaterial(plain);
    MeshMaterial tiled;
    tiled.name = "Tiled";
    tiled.texture = "tiles.tex";
    tiled.emissive[0] = 0.25f;
    mesh.AddMaterial(tiled);
    for (int i = 0; i < 6; ++i)
        mesh.AddVertex({float(i), 0.0f, float(i % 2)}, {0.0f, 1.0f, 0.0f}, 0.5f, -1.0f);
    mesh.AddTriangle(3, 4, 5, 1);
    mesh.AddTriangle(0, 1, 2, 0);
    return mesh;
}

// "-12.345678": optional sign, digits, a point and six decimals.
bool IsFixedDecimal(const std::string& s)
{
    const size_t start = s.size() > 0 && s[0] == '-' ? 1 : 0;
    const size_t point = s.find('.');
    if (point == std::string::npos || point == start || s.size() - point - 1 != 6) return false;
    for (size_t i = start; i < s.size(); ++i)
        if (i != point && (s[i] < '0' || s[i] > '9')) return false;
    return true;
}

// Number of fixed-decimal fields in a line like " 1.000000;-2.000000;," or
// 0 when it is not such a line.
size_t DecimalFields(const std::string& line)
{
    if (line.size() < 3 || line[0] != ' ' || (line.back() != ',' && line.back() != ';')) return 0;
    std::string body = line.substr(1, line.size() - 2);
    if (body.empty() || body.back() != ';') return 0;
    size_t fields = 0;
    size_t at = 0;
    while (at < body.size())
    {
        const size_t end = body.find(';', at);
        if (!IsFixedDecimal(body.substr(at, end - at))) return 0;
        ++fields;
        at = end + 1;
    }
    return fields;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to)
{
    const size_t a = text.find(from);
    const size_t b = text.find(to, a);
    return a == std::string::npos || b == std::string::npos ? "" : text.substr(a, b - a);
}
} // namespace

TEST(XFileWriter, FloatsAlwaysCarryADecimalPoint)
{
    EXPECT_EQ(XFileWriter::Float(0.0f), "0.000000");
    EXPECT_EQ(XFileWriter::Float(-0.0f), "0.000000");
    EXPECT_EQ(XFileWriter::Float(1.0f), "1.000000");
    EXPECT_EQ(XFileWriter::Float(-2.5f), "-2.500000");
    EXPECT_EQ(XFileWriter::Float(-1e-9f), "0.000000"); // no "-0.000000"
    EXPECT_EQ(XFileWriter::Float(7081.0f), "7081.000000");
}

TEST(XFileWriter, OneMeshWithFacesGroupedBySubsetAndTexturesOnlyWhereSet)
{
    const std::string text = XFileWriter::ToText(TwoSubsets(), "Sample");
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    size_t meshes = 0;
    for (size_t at = text.find("Mesh "); at != std::string::npos; at = text.find("Mesh ", at + 1))
        ++meshes;
    EXPECT_EQ(meshes, 1u);
    // Faces are written in subset order: the material-0 triangle first.
    EXPECT_NE(text.find(" 6;\n"), std::string::npos);
    EXPECT_NE(text.find(" 2;\n 3;0,1,2;,\n 3;3,4,5;;\n"), std::string::npos);
    EXPECT_NE(text.find("MeshMaterialList {\n 2;\n 2;\n 0,\n 1;\n"), std::string::npos);
    // Normals repeat the faces; coordinates follow the vertices.
    EXPECT_NE(Between(text, "MeshNormals", "MeshTextureCoords").find(" 3;0,1,2;,"),
              std::string::npos);
    EXPECT_NE(text.find("MeshTextureCoords {\n 6;\n 0.500000;-1.000000;,"), std::string::npos);

    const std::string plain = Between(text, "Material Plain {", "Material Tiled");
    const std::string tiled = Between(text, "Material Tiled {", "\n }\n }");
    EXPECT_EQ(plain.find("TextureFilename"), std::string::npos);
    EXPECT_NE(tiled.find("TextureFilename {\n   \"tiles.tex\";\n  }"), std::string::npos);
    // faceColor, power, specular, emissive: all floats.
    EXPECT_NE(tiled.find("  1.000000;1.000000;1.000000;1.000000;;\n  0.000000;\n"),
              std::string::npos);
    EXPECT_NE(tiled.find("  0.250000;0.000000;0.000000;;\n"), std::string::npos);
}

TEST(XFileWriter, EveryVectorLineOfARealModelIsThreeDecimals)
{
    const std::string text = XFileWriter::ToText(ChickenDesign::Build(), "Chicken");
    std::istringstream lines(text);
    std::string line;
    size_t vectors = 0, pairs = 0, numeric = 0;
    while (std::getline(lines, line))
    {
        if (line.empty() || line.find('.') == std::string::npos ||
            line.find('"') != std::string::npos)
            continue;
        if (line.rfind(" 3;", 0) == 0 || line.rfind("  ", 0) == 0)
            continue; // faces and material fields
        ++numeric;
        const size_t fields = DecimalFields(line);
        if (fields == 3)
            ++vectors;
        else if (fields == 2)
            ++pairs;
        else
            ADD_FAILURE() << "unexpected line: " << line;
    }
    const Mesh chicken = ChickenDesign::Build();
    EXPECT_EQ(vectors, chicken.vertices.size() * 2); // positions and normals
    EXPECT_EQ(pairs, chicken.vertices.size());
    EXPECT_EQ(numeric, vectors + pairs);
}
