// The OBJ and 3DS importers against an independent reader (Assimp, used by
// the tests only): the same corner positions face by face and the same
// materials, on the generated samples and on hand-written tricky files.
// Where the importers' own rules give another result than Assimp's reading,
// the test says so and holds to the importer's rule.
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

std::string Temp(const std::string& name)
{
    return testing::TempDir() + "tav_import_" + name;
}

void Write(const std::string& name, const std::string& text)
{
    ASSERT_TRUE(
        tavWriteWholeFile(Temp(name).c_str(), std::vector<uint8_t>(text.begin(), text.end())));
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

// Material names of both, without Assimp's defaults; Assimp's by name.
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

std::set<std::string> MaterialNames(const aiScene* scene)
{
    std::set<std::string> names;
    for (const auto& [name, material] : Materials(scene))
        names.insert(name);
    return names;
}

std::set<std::string> MaterialNames(const tavStaticMeshData& m)
{
    std::set<std::string> names;
    for (const tavMaterialData& mat : m.materials)
        names.insert(mat.name);
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
    EXPECT_EQ(MaterialNames(obj.mesh), MaterialNames(scene));
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
    // vt and vn go to vertices by line order; one past the vertex count is
    // ignored. A comment that reads like a vertex adds none. The same
    // usemtl twice is one material, logged once.
    tavObjReader obj = ImportObj("rules.obj", "v 1 2 3\n#v 9 9 9\nv 4 5 6\n"
                                              "vt 0.25 0.5\nvt 0.75 1\nvt 9 9\n"
                                              "vn 0 1 0\nvn 0 0 -1\nvn 7 7 7\n"
                                              "usemtl Red\nusemtl Blue\nusemtl Red\n");
    ASSERT_EQ(obj.mesh.vertices.size(), 2u);
    EXPECT_EQ(obj.mesh.vertices[1].position[2], 6.f);
    EXPECT_EQ(obj.mesh.vertices[0].u, 0.25f);
    EXPECT_EQ(obj.mesh.vertices[1].v, 1.f);
    EXPECT_EQ(obj.mesh.vertices[1].normal[2], -1.f);
    ASSERT_EQ(obj.mesh.materials.size(), 2u);
    EXPECT_EQ(obj.mesh.materials[1].name, "Blue");
    EXPECT_EQ(std::count(obj.log.begin(), obj.log.end(), "Creating material: Red"), 1);
    EXPECT_EQ(obj.log.front(), "Importing OBJ File");

    // A corner naming no vertex skips its face; the rest stays.
    tavObjReader bad = ImportObj("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n"
                                            "f 0 1 2\nf -4 1 2\nf 1 2\n");
    EXPECT_EQ(bad.mesh.indices, (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(bad.skippedFaces, 4u);

    // Lines are read 255 characters at a time: the rest of a long one is a
    // line of its own.
    tavObjReader longLine = ImportObj("long.obj", "#" + std::string(254, ' ') + "v 1 1 1\n");
    EXPECT_EQ(longLine.mesh.vertices.size(), 1u);

    tavObjReader missing;
    EXPECT_FALSE(missing.Read(Temp("nothing-here.obj").c_str()));
    EXPECT_EQ(missing.log.back(), "Failed opening .OBJ file: " + Temp("nothing-here.obj"));
    EXPECT_TRUE(missing.mesh.vertices.empty());
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
    bool Logged(const std::string& line) const
    {
        return std::count(reader.log.begin(), reader.log.end(), line) > 0;
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
    EXPECT_EQ(MaterialNames(m), MaterialNames(in.scene));
    for (const tavMeshPart& part : m.parts)
    {
        const std::string name = m.materials[part.material].name;
        SCOPED_TRACE(name);
        std::vector<Triangle> theirs = Theirs(in.scene, name.c_str());
        EXPECT_EQ(Ours(m, part.faceStart, part.faceCount), theirs);
        const aiMaterial* mat = Materials(in.scene)[name];
        ASSERT_NE(mat, nullptr);
        aiColor3D diffuse;
        mat->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        EXPECT_FLOAT_EQ(m.materials[part.material].diffuse[2], diffuse.b);
        float opacity = 1;
        mat->Get(AI_MATKEY_OPACITY, opacity);
        EXPECT_FLOAT_EQ(m.materials[part.material].diffuse[3], opacity);
        aiString texture;
        ASSERT_EQ(mat->GetTexture(aiTextureType_DIFFUSE, 0, &texture), aiReturn_SUCCESS);
        ASSERT_EQ(m.materials[part.material].textures.size(), 1u);
        EXPECT_EQ(m.materials[part.material].textures[0], texture.C_Str());
    }
    EXPECT_FLOAT_EQ(m.materials[0].shininess, 0.4f);
    // Face normals point out of the box and texture coordinates come through.
    EXPECT_EQ(m.vertices[0].normal[2], -1.f);
    EXPECT_EQ(m.vertices[2].u, 1.f);
    // The second object's name is read; its triangle mesh ends the walk.
    EXPECT_EQ(in.reader.log.back(), "Object Name: Lid");
    EXPECT_EQ(std::count(in.reader.log.begin(), in.reader.log.end(), "Triangle Mesh"), 1);
    EXPECT_TRUE(in.Logged("Transparency: 0.2")); // 0.25 printed with %.1f
}

TEST(tav3dsReader, HandWrittenFilesFollowTheChunkRules)
{
    // A material group naming an unknown material; a colour chunk with no
    // selector; two texture maps (slots 0 and 1); an unknown chunk inside
    // the faces; a float percentage.
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
    faces.add(Chunk(0x4150).u16(1).u16(1).u16(0).u16(0)); // smoothing groups: skipped
    faces.add(Chunk(0x4130).text("Only").u16(1).u16(0));
    faces.add(Chunk(0x4130).text("Nobody").u16(1).u16(1));
    Chunk object(0x4000);
    object.text("Quad").add(Chunk(0x4100).add(points).add(faces));
    const std::vector<uint8_t> file =
        Chunk(0x4D4D).add(Chunk(0x3D3D).add(material).add(object)).bytes();
    Import3ds in("hand.3ds", file);
    const tavStaticMeshData& m = in.reader.mesh;
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_EQ(m.materials[0].ambient[0], 0.f); // the unselected colour changed nothing
    EXPECT_FLOAT_EQ(m.materials[0].diffuse[2], 0.2f);
    EXPECT_FLOAT_EQ(m.materials[0].diffuse[3], 0.5f);
    EXPECT_EQ(m.materials[0].textures, (std::vector<std::string>{"one.tga", "two.tga"}));
    ASSERT_EQ(m.parts.size(), 2u);
    EXPECT_EQ(m.parts[0].material, 0u);
    EXPECT_EQ(m.parts[1].material, tavMeshPart::NoMaterial);
    EXPECT_EQ(m.parts[1].vertexCount, 3u);
    EXPECT_TRUE(in.Logged("Attribute ID: 4294967295"));
    ASSERT_NE(in.scene, nullptr) << in.importer.GetErrorString();
    EXPECT_EQ(Ours(m), Theirs(in.scene));

    // A zero id ends the walk with "Abnormal termination"; so does a chunk
    // shorter than its header.
    for (const std::vector<uint8_t>& broken :
         {std::vector<uint8_t>{0, 0, 6, 0, 0, 0}, std::vector<uint8_t>{0x34, 0x12, 2, 0, 0, 0}})
    {
        tav3dsReader r;
        r.Parse(broken.data(), broken.size());
        EXPECT_EQ(r.log.back(), "Abnormal termination");
    }
    tav3dsReader missing;
    EXPECT_FALSE(missing.Read(Temp("nothing-here.3ds").c_str()));
    EXPECT_EQ(missing.log.back(), "Failed opening .3DS file: " + Temp("nothing-here.3ds"));
}
