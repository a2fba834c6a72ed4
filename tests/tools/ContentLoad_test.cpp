// D3DX reads the generated meshes as designed; the pictures keep their sizes.
#include "ChickenDesign.h"
#include "LevelDesign.h"
#include "PropDesign.h"
#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

class ContentLoad : public EngineTest
{
};

TEST_F(ContentLoad, MeshesLoadAsDesignedAndPicturesKeepTheirSizes)
{
    ASSERT_EQ(StartEngine(), S_OK);
    const std::pair<const char*, Mesh> meshes[] = {{"level.x", LevelDesign::Build()},
                                                   {"chixen.x", ChickenDesign::Build()},
                                                   {"egg.x", PropDesign::Egg()},
                                                   {"blood.x", PropDesign::BloodDrop()}};
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
        const float* v = nullptr;
        WORD* index = nullptr;
        DWORD* attribute = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v), S_OK);
        ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index), S_OK);
        ASSERT_EQ(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attribute), S_OK);
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
        mesh->UnlockAttributeBuffer();
        mesh->UnlockIndexBuffer();
        mesh->UnlockVertexBuffer();
        mesh->Release();
        EXPECT_EQ(wrong, 0);
    }

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
        EXPECT_EQ(info.Width, width) << name;
        EXPECT_EQ(info.Height, name == "console.tex" ? 256 : width) << name;
        EXPECT_EQ(info.ImageFileFormat, name.back() == 'a' ? D3DXIFF_TGA : D3DXIFF_DDS) << name;
    }
}
