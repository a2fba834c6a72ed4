// The OBJ and 3DS importers against Assimp (a test oracle only), face by face, and their own rules.
#include "graphics/tav3dsReader.h"
#include "graphics/tavMeshBytes.h"
#include "graphics/tavObjReader.h"

#include "MeshSamples.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

using Triangle = std::array<float, 9>;

const auto Temp = [](const std::string& name) { return testing::TempDir() + "tav_import_" + name; };
const auto Write = [](const std::string& name, const std::string& text) {
    return tavWriteWholeFile(Temp(name).c_str(), {text.begin(), text.end()});
};

const auto Corners = [](const float* a, const float* b, const float* c) {
    Triangle t;
    for (int k = 0; k < 3; ++k)
        t[k] = a[k], t[3 + k] = b[k], t[6 + k] = c[k];
    return t;
};

// Our triangles, each as its three corner positions, in sorted order.
static std::vector<Triangle> Ours(const tavStaticMeshData& m, size_t firstFace = 0,
                                  size_t faces = size_t(-1))
{
    std::vector<Triangle> out;
    for (size_t f = firstFace; f < std::min(firstFace + faces, m.indices.size() / 3); ++f)
        out.push_back(Corners(m.vertices[m.indices[f * 3]].position,
                              m.vertices[m.indices[f * 3 + 1]].position,
                              m.vertices[m.indices[f * 3 + 2]].position));
    std::sort(out.begin(), out.end());
    return out;
}

// Assimp's polygons cut by the importer's rule: quad a, b, c, d gives a, b, c and c, b, d
// (Assimp cuts a, c, d); other polygons fan from their first corner.
static std::vector<Triangle> Theirs(const aiScene* scene, const char* material = nullptr)
{
    std::vector<Triangle> out;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    {
        const aiMesh* mesh = scene->mMeshes[m];
        if (material &&
            std::strcmp(scene->mMaterials[mesh->mMaterialIndex]->GetName().C_Str(), material))
            continue;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
        {
            const aiFace& face = mesh->mFaces[f];
            auto at = [&](unsigned k) { return &mesh->mVertices[face.mIndices[k]].x; };
            if (face.mNumIndices == 4)
            {
                out.push_back(Corners(at(0), at(1), at(2)));
                out.push_back(Corners(at(2), at(1), at(3)));
                continue;
            }
            for (unsigned k = 1; k + 1 < face.mNumIndices; ++k)
                out.push_back(Corners(at(0), at(k), at(k + 1)));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Both sides' material names, without Assimp's defaults.
const auto SameMaterialNames = [](const tavStaticMeshData& m, const aiScene* scene) {
    std::set<std::string> ours, theirs;
    for (const tavMaterialData& mat : m.materials)
        ours.insert(mat.name);
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
    {
        const std::string name = scene->mMaterials[i]->GetName().C_Str();
        if (name != AI_DEFAULT_MATERIAL_NAME && name.rfind("%%%", 0) != 0) theirs.insert(name);
    }
    return ours == theirs;
};

static tavObjReader ImportObj(const std::string& name, const std::string& text)
{
    EXPECT_TRUE(Write(name, text));
    tavObjReader obj;
    EXPECT_TRUE(obj.Read(Temp(name).c_str()));
    return obj;
}

TEST(tavObjReader, FilesGiveAssimpsFacesAndMaterialsAndTheImportersOwnRulesHold)
{
    ASSERT_TRUE(Write("crate.mtl", assetgen::MeshSamples::CrateMtl()));
    // The sample; relative numbers, no texture coordinates or normals, a hexagon, objects, CRLF.
    const std::pair<const char*, std::string> files[] = {
        {"crate.obj", assetgen::MeshSamples::CrateObj()},
        {"tricky.obj", "mtllib crate.mtl\r\n"
                       "o First\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv 0 1 0\r\n"
                       "usemtl Wood\r\nf -4 -3 -2\r\nf 1//1 3//1 4//1\r\n"
                       "o Second\nv 2 0 0\nv 3 0 0\nv 3.5 1 0\nv 3 2 0\nv 2 2 0\n"
                       "v 1.5e0 1 +0\nusemtl Water\nf 5 6 7 8 9 10\nf -6/1 -5/2 -4/3 -3/4\n"}};
    for (const auto& [name, text] : files)
    {
        SCOPED_TRACE(name);
        const tavObjReader obj = ImportObj(name, text);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(Temp(name), 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        EXPECT_EQ(Ours(obj.mesh), Theirs(scene));
        EXPECT_TRUE(SameMaterialNames(obj.mesh, scene));
    }
    // vt and vn go to vertices by line order (extra ones ignored); a commented vertex
    // adds none; the same usemtl twice is one material, logged once.
    tavObjReader obj = ImportObj("rules.obj", "v 1 2 3\n#v 9 9 9\nv 4 5 6\n"
                                              "vt 0.25 0.5\nvt 0.75 1\nvt 9 9\n"
                                              "vn 0 1 0\nvn 0 0 -1\nvn 7 7 7\n"
                                              "usemtl Red\nusemtl Blue\nusemtl Red\n");
    ASSERT_EQ(obj.mesh.vertices.size(), 2u);
    const tavMeshVertex* v = obj.mesh.vertices.data();
    EXPECT_EQ(std::vector<float>({v[1].position[2], v[0].u, v[1].v, v[1].normal[2]}),
              (std::vector<float>{6, 0.25f, 1, -1}));
    ASSERT_EQ(obj.mesh.materials.size(), 2u);
    EXPECT_EQ(obj.mesh.materials[1].name, "Blue");
    EXPECT_EQ(std::count(obj.log.begin(), obj.log.end(), "Creating material: Red"), 1);
    // A corner naming no vertex skips its face; the rest stays.
    tavObjReader bad = ImportObj("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n"
                                            "f 0 1 2\nf -4 1 2\nf 1 2\n");
    EXPECT_EQ(bad.mesh.indices, (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(bad.skippedFaces, 4u);
    // Lines are read 255 characters at a time: the rest of a long one is a line.
    const std::string longLine = "#" + std::string(254, ' ') + "v 1 1 1\n";
    EXPECT_EQ(ImportObj("long.obj", longLine).mesh.vertices.size(), 1u);
}

TEST(tav3dsReader, SampleGivesAssimpsFacesAndMaterials)
{
    const std::string path = Temp("crate.3ds");
    ASSERT_TRUE(tavWriteWholeFile(path.c_str(), assetgen::MeshSamples::Crate3ds()));
    tav3dsReader reader;
    ASSERT_TRUE(reader.Read(path.c_str()));
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    const tavStaticMeshData& m = reader.mesh;
    ASSERT_EQ(m.vertices.size(), 24u); // only the first object; Assimp reads the second too
    EXPECT_TRUE(SameMaterialNames(m, scene));
    for (const tavMeshPart& part : m.parts)
    {
        const tavMaterialData& ours = m.materials[part.material];
        SCOPED_TRACE(ours.name);
        EXPECT_EQ(Ours(m, part.faceStart, part.faceCount), Theirs(scene, ours.name.c_str()));
    }
    EXPECT_EQ(m.vertices[0].normal[2], -1.f); // face normals point out of the box
}
