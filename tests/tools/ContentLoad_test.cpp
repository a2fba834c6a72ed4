// D3DX reads the generated meshes as designed, the physics collides with the
// level read so, and the pictures keep their sizes.
#include "ChickenDesign.h"
#include "LevelDesign.h"
#include "PropDesign.h"
#include "physics/tavPhysics.h"
#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

class ContentLoad : public EngineTest
{
};

TEST_F(ContentLoad, MeshesLoadAsDesignedTheLevelCollidesAndPicturesKeepTheirSizes)
{
    ASSERT_EQ(StartEngine(), S_OK);
    const std::pair<const char*, Mesh> meshes[] = {{"level.x", LevelDesign::Build()},
                                                   {"chixen.x", ChickenDesign::Build()},
                                                   {"egg.x", PropDesign::Egg()},
                                                   {"blood.x", PropDesign::BloodDrop()}};
    tavTriangleMesh level;
    for (const auto& [name, design] : meshes)
    {
        SCOPED_TRACE(name);
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* buffer = nullptr;
        DWORD materials = 0;
        ASSERT_EQ(D3DXLoadMeshFromXA(ContentPath(name).c_str(), D3DXMESH_MANAGED,
                                     engine->GetDevice(), nullptr, &buffer, nullptr, &materials,
                                     &mesh),
                  S_OK);
        ASSERT_EQ(materials, design.materials.size());
        const D3DXMATERIAL* read = (const D3DXMATERIAL*)buffer->GetBufferPointer();
        for (DWORD i = 0; i < materials; ++i)
        {
            const MeshMaterial& m = design.materials[i];
            const D3DMATERIAL9& d = read[i].MatD3D;
            const float got[5] = {d.Diffuse.r, d.Diffuse.a, d.Power, d.Specular.g, d.Emissive.b},
                        want[5] = {m.diffuse[0], m.diffuse[3], m.power, m.specular[1],
                                   m.emissive[2]};
            for (int k = 0; k < 5; ++k)
                EXPECT_NEAR(got[k], want[k], 1e-6f) << m.name << " " << k;
            EXPECT_EQ(read[i].pTextureFilename ? read[i].pTextureFilename : "", m.texture);
        }
        buffer->Release();
        EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
        EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
        ASSERT_EQ(mesh->GetNumVertices(), design.vertices.size());
        ASSERT_EQ(mesh->GetNumFaces(), design.triangles.size());
        ASSERT_TRUE(name != std::string("level.x") || tavPhysics::ConvertMesh(mesh, &level));
        const float* v = nullptr;
        WORD* index = nullptr;
        DWORD* attribute = nullptr;
        ASSERT_TRUE(mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v) == S_OK &&
                    mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index) == S_OK &&
                    mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attribute) == S_OK);
        int wrong = 0;
        for (const MeshVertex& d : design.vertices)
        {
            const float want[8] = {d.position.x, d.position.y, d.position.z, d.normal.x,
                                   d.normal.y,   d.normal.z,   d.u,          d.v};
            for (int k = 0; k < 8; ++k, ++v)
                wrong += std::fabs(*v - want[k]) > (k < 3 ? 1e-3f : 1e-5f);
        }
        std::vector<MeshTriangle> faces = design.triangles; // written by material
        std::stable_sort(faces.begin(), faces.end(),
                         [](const MeshTriangle& a, const MeshTriangle& b)
                         { return a.material < b.material; });
        for (size_t f = 0; f < faces.size(); ++f)
            wrong += attribute[f] != faces[f].material || index[3 * f] != faces[f].index[0] ||
                     index[3 * f + 1] != faces[f].index[1] || index[3 * f + 2] != faces[f].index[2];
        mesh->UnlockAttributeBuffer(), mesh->UnlockIndexBuffer(), mesh->UnlockVertexBuffer();
        mesh->Release();
        EXPECT_EQ(wrong, 0);
    }

    // The level's record: every vertex and face, material and reserved words
    // zero; a chicken's sphere dropped at the start rests on the floor.
    const Mesh& design = meshes[0].second;
    ASSERT_TRUE(level.vertexCount == int32_t(design.vertices.size()) &&
                level.triangleCount == int32_t(design.triangles.size()));
    int wrong = 0;
    for (int t = 0; t < level.triangleCount; ++t)
        wrong += level.triangles[t].index[2] >= uint32_t(level.vertexCount) ||
                 level.triangles[t].material != 0 || level.triangles[t].reserved[0] != 0;
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(tavPhysics::ConvertMesh((ID3DXMesh*)nullptr, &level));
    tavPhysics physics;
    const float gravity[3] = {0, -100, 0};
    ASSERT_TRUE(physics.Create(0, 1, 0, gravity));
    EXPECT_EQ(physics.AddStaticMesh(&level), 0);
    level.Release();
    const int32_t ball = physics.AddSphere(&LevelDesign::Start.x, 20, 5, 0, 0, false);
    for (int i = 0; i < 120; ++i)
        physics.Step(1.0f / 60, 0);
    D3DXMATRIX m;
    physics.GetTransform((uint32_t)ball, &m, true);
    EXPECT_NEAR(m._42, LevelDesign::StartFloor + 10.0f, 0.06f);

    std::vector<std::pair<std::string, UINT>> images = {
        {"water.tex", 512}, {"console.tex", 512}, {"gui.tex", 256}};
    for (int i = 0; i < 38; ++i)
        images.push_back({i < 6 ? "sky1-" + std::to_string(i) + ".tex"
                                : "caust" + std::to_string(i - 6) + ".tga",
                          i < 6 ? 512 : 256});
    for (const auto& [name, width] : images)
    {
        D3DXIMAGE_INFO info = {};
        ASSERT_EQ(D3DXGetImageInfoFromFileA(ContentPath(name).c_str(), &info), S_OK) << name;
        EXPECT_TRUE(info.Width == width && info.Height == (name == "console.tex" ? 256 : width) &&
                    info.ImageFileFormat == (name.back() == 'a' ? D3DXIFF_TGA : D3DXIFF_DDS))
            << name << ": " << info.Width << " x " << info.Height;
    }
}
