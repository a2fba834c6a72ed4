// The OBJ and 3DS importers against an independent reader (Assimp, used by
// the tests only): the same corners face by face and the same materials, on
// the generated samples and hand-written tricky files. Where the importers'
// own rules differ from Assimp's reading, the test holds to the importer's.
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
#include <map>
#include <set>

namespace
{
using Triangle = std::array<float, 9>;

std::string Temp(const std::string& name) { return testing::TempDir() + "tav_import_" + name; }

void Write(const std::string& name, const std::string& text)
{
    ASSERT_TRUE(tavWriteWholeFile(Temp(name).c_str(), {text.begin(), text.end()}));
}

Triangle Corners(const float* a, const float* b, const float* c)
{
    Triangle t;
    for (int k = 0; k < 3; ++k)
        t[k] = a[k], t[3 + k] = b[k], t[6 + k] = c[k];
    return t;
}

// Our triangles, each as its three corner positions, in sorted order.
std::vector<Triangle> Ours(const tavStaticMeshData& m, size_t firstFace = 0,
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

// Assimp's polygons cut into triangles by the importer's own rule: a quad
// a, b, c, d gives a, b, c and c, b, d (Assimp itself would cut it a, b, c
// and a, c, d); other polygons are fanned from their first corner.
std::vector<Triangle> Theirs(const aiScene* scene, const char* material = nullptr)
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

// Assimp's materials by name, without its defaults.
std::map<std::string, const aiMaterial*> Materials(const aiScene* scene)
{
    std::map<std::string, const aiMaterial*> named;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
    {
        const std::string name = scene->mMaterials[i]->GetName().C_Str();
        if (name != AI_DEFAULT_MATERIAL_NAME && name.rfind("%%%", 0) != 0)
            named[name] = scene->mMaterials[i];
    }
    return named;
}

// Both sides' material names, to compare.
std::set<std::string> MaterialNames(const aiScene* scene, const tavStaticMeshData* m = nullptr)
{
    std::set<std::string> names;
    if (m)
        for (const tavMaterialData& mat : m->materials)
            names.insert(mat.name);
    else
        for (const auto& [name, material] : Materials(scene))
            names.insert(name);
    return names;
}

tavObjReader ImportObj(const std::string& name, const std::string& text)
{
    Write(name, text);
    tavObjReader obj;
    EXPECT_TRUE(obj.Read(Temp(name).c_str()));
    return obj;
}

// OBJ against Assimp: the same triangles, the same material names.
void ExpectObjAgreement(const std::string& name, const std::string& text)
{
    SCOPED_TRACE(name);
    Write("crate.mtl", assetgen::MeshSamples::CrateMtl());
    const tavObjReader obj = ImportObj(name, text);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(Temp(name), 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    EXPECT_EQ(Ours(obj.mesh), Theirs(scene));
    EXPECT_EQ(MaterialNames(nullptr, &obj.mesh), MaterialNames(scene));
}
} // namespace

TEST(tavObjReader, SampleAndTrickyFilesGiveAssimpsFacesAndMaterials)
{
    ExpectObjAgreement("crate.obj", assetgen::MeshSamples::CrateObj());
    // Negative (relative) numbers, groups without texture coordinates or
    // normals, a hexagon, several objects and materials, CRLF line ends.
    ExpectObjAgreement("tricky.obj", "mtllib crate.mtl\r\n"
                                     "o First\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv 0 1 0\r\n"
                                     "usemtl Wood\r\nf -4 -3 -2\r\nf 1//1 3//1 4//1\r\n"
                                     "o Second\nv 2 0 0\nv 3 0 0\nv 3.5 1 0\nv 3 2 0\nv 2 2 0\n"
                                     "v 1.5e0 1 +0\nusemtl Water\nf 5 6 7 8 9 10\n"
                                     "f -6/1 -5/2 -4/3 -3/4\n");
}

TEST(tavObjReader, TheImportersOwnRules)
{
    // vt and vn go to vertices by line order, one past the vertex count
    // ignored; a comment that reads like a vertex adds none; the same
    // usemtl twice is one material, logged once.
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
    EXPECT_EQ(obj.log.front(), "Importing OBJ File");
    // A corner naming no vertex skips its face; the rest stays.
    tavObjReader bad = ImportObj("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n"
                                            "f 0 1 2\nf -4 1 2\nf 1 2\n");
    EXPECT_EQ(bad.mesh.indices, (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(bad.skippedFaces, 4u);
    // Lines are read 255 characters at a time: the rest of a long one is a line.
    EXPECT_EQ(ImportObj("long.obj", "#" + std::string(254, ' ') + "v 1 1 1\n").mesh.vertices.size(),
              1u);
    tavObjReader missing;
    EXPECT_FALSE(missing.Read(Temp("nothing-here.obj").c_str()));
    EXPECT_EQ(missing.log.back(), "Failed opening .OBJ file: " + Temp("nothing-here.obj"));
}

namespace
{
struct Import3ds
{
    explicit Import3ds(const std::string& name, const std::vector<uint8_t>& bytes)
        : path(Temp(name))
    {
        EXPECT_TRUE(tavWriteWholeFile(path.c_str(), bytes));
        EXPECT_TRUE(reader.Read(path.c_str()));
        scene = importer.ReadFile(path, 0);
    }
    std::string path;
    tav3dsReader reader;
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
};

// A small 3DS chunk builder for hand-written files (the hosts that run it
// are little-endian, as the file is).
struct Chunk
{
    explicit Chunk(uint16_t id) : id(id) {}
    Chunk& put(const void* p, size_t n)
    {
        body.insert(body.end(), (const uint8_t*)p, (const uint8_t*)p + n);
        return *this;
    }
    Chunk& raw(const std::vector<uint8_t>& b) { return put(b.data(), b.size()); }
    Chunk& u16(uint16_t v) { return put(&v, 2); }
    Chunk& f32(float v) { return put(&v, 4); }
    Chunk& text(const std::string& s) { return put(s.c_str(), s.size() + 1); }
    Chunk& add(const Chunk& c) { return raw(c.bytes()); }
    std::vector<uint8_t> bytes() const
    {
        Chunk whole(0);
        const uint32_t size = uint32_t(body.size() + 6);
        return whole.u16(id).put(&size, 4).raw(body).body;
    }
    uint16_t id;
    std::vector<uint8_t> body;
};
} // namespace

TEST(tav3dsReader, SampleGivesAssimpsFacesAndMaterials)
{
    Import3ds in("crate.3ds", assetgen::MeshSamples::Crate3ds());
    ASSERT_NE(in.scene, nullptr) << in.importer.GetErrorString();
    const tavStaticMeshData& m = in.reader.mesh;
    // Only the first object ("Crate"); Assimp reads the second ("Lid") too.
    ASSERT_EQ(m.vertices.size(), 24u);
    ASSERT_EQ(m.parts.size(), 2u);
    ASSERT_EQ(m.materials.size(), 2u);
    EXPECT_EQ(MaterialNames(nullptr, &m), MaterialNames(in.scene));
    for (const tavMeshPart& part : m.parts)
    {
        const std::string name = m.materials[part.material].name;
        SCOPED_TRACE(name);
        std::vector<Triangle> theirs = Theirs(in.scene, name.c_str());
        EXPECT_EQ(Ours(m, part.faceStart, part.faceCount), theirs);
        const aiMaterial* mat = Materials(in.scene)[name];
        ASSERT_NE(mat, nullptr);
        aiColor3D diffuse;
        float opacity = 1;
        aiString texture;
        mat->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        mat->Get(AI_MATKEY_OPACITY, opacity);
        ASSERT_EQ(mat->GetTexture(aiTextureType_DIFFUSE, 0, &texture), aiReturn_SUCCESS);
        const tavMaterialData& ours = m.materials[part.material];
        EXPECT_FLOAT_EQ(ours.diffuse[2], diffuse.b);
        EXPECT_FLOAT_EQ(ours.diffuse[3], opacity);
        EXPECT_EQ(ours.textures, std::vector<std::string>{texture.C_Str()});
    }
    EXPECT_FLOAT_EQ(m.materials[0].shininess, 0.4f);
    // Face normals point out of the box and texture coordinates come through.
    EXPECT_EQ(m.vertices[0].normal[2], -1.f);
    EXPECT_EQ(m.vertices[2].u, 1.f);
    EXPECT_EQ(in.reader.log.back(), "Object Name: Lid"); // its triangle mesh ends the walk
}

TEST(tav3dsReader, HandWrittenFilesFollowTheChunkRules)
{
    // A colour chunk with no selector changes nothing; a float percentage;
    // a face group naming an unknown material; an unknown chunk in the faces.
    Chunk material(0xAFFF);
    material.add(Chunk(0xA000).text("Only"))
        .add(Chunk(0x0011).raw({10, 20, 30}))
        .add(Chunk(0xA020).add(Chunk(0x0011).raw({255, 0, 51})))
        .add(Chunk(0xA050).add(Chunk(0x0031).f32(50)))
        .add(Chunk(0xA200).add(Chunk(0xA300).text("one.tga")))
        .add(Chunk(0xA200).add(Chunk(0xA300).text("two.tga")));
    Chunk points(0x4110);
    points.u16(4);
    for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f})
        points.f32(f);
    Chunk faces(0x4120);
    faces.u16(2).u16(0).u16(2).u16(1).u16(0).u16(1).u16(2).u16(3).u16(0);
    faces.add(Chunk(0x4150).u16(1).u16(1).u16(0).u16(0));
    faces.add(Chunk(0x4130).text("Only").u16(1).u16(0));
    faces.add(Chunk(0x4130).text("Nobody").u16(1).u16(1));
    Chunk object(0x4000);
    object.text("Quad").add(Chunk(0x4100).add(points).add(faces));
    Import3ds in("hand.3ds", Chunk(0x4D4D).add(Chunk(0x3D3D).add(material).add(object)).bytes());
    const tavStaticMeshData& m = in.reader.mesh;
    ASSERT_EQ(m.materials.size(), 1u);
    const tavMaterialData& only = m.materials[0];
    EXPECT_EQ(std::vector<float>({only.ambient[0], only.diffuse[2], only.diffuse[3]}),
              (std::vector<float>{0.f, 0.2f, 0.5f}));
    EXPECT_EQ(only.textures, (std::vector<std::string>{"one.tga", "two.tga"}));
    ASSERT_EQ(m.parts.size(), 2u);
    EXPECT_EQ(m.parts[0].material, 0u);
    EXPECT_EQ(m.parts[1].material, tavMeshPart::NoMaterial);
    EXPECT_EQ(m.parts[1].vertexCount, 3u);
    ASSERT_NE(in.scene, nullptr) << in.importer.GetErrorString();
    EXPECT_EQ(Ours(m), Theirs(in.scene));
    tav3dsReader missing;
    EXPECT_FALSE(missing.Read(Temp("nothing-here.3ds").c_str()));
}
