// The generated meshes as D3DX reads them are the designs exactly; the route
// walks on the level as the engine holds it; the pictures have their sizes
// and formats. Every file loading through the engine's pools is the game's test.
#include "ChickenDesign.h"
#include "LevelDesign.h"
#include "PropDesign.h"
#include "RouteWalker.h"
#include "graphics/tavMeshModel.h"
#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

class ContentLoad : public EngineTest
{
};

TEST_F(ContentLoad, MeshesLoadAsDesignedTheRouteWalksToTheEggAndPicturesKeepTheirSizes)
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
        DWORD materials = 0;
        ASSERT_EQ(D3DXLoadMeshFromXA(ContentPath(name).c_str(), D3DXMESH_MANAGED,
                                     engine->GetDevice(), nullptr, nullptr, nullptr, &materials,
                                     &mesh),
                  S_OK);
        EXPECT_EQ(materials, design.materials.size());
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

    // As the engine holds the level: cloned, normals recomputed, sorted by subset.
    tavMeshModel level(engine.get());
    ASSERT_TRUE(level.LoadFromX(ContentPath("level.x").c_str(), ContentPath("").c_str()));
    ID3DXMesh* mesh = level.GetMesh();
    std::vector<Vec3> corners;
    const BYTE* vertices = nullptr;
    WORD* index = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&vertices), S_OK);
    ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index), S_OK);
    for (DWORD i = 0; i < mesh->GetNumFaces() * 3; ++i)
    {
        const float* p = (const float*)(vertices + index[i] * mesh->GetNumBytesPerVertex());
        corners.push_back({p[0], p[1], p[2]});
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    const RouteWalker walker(corners);
    const Vec3 start = LevelDesign::Start, egg = LevelDesign::EggPosition;
    EXPECT_NEAR(walker.GroundBelow(start.x, start.y, start.z, 100), LevelDesign::StartFloor, 0.01f);
    EXPECT_NEAR(walker.GroundBelow(egg.x, egg.y, egg.z, 100), LevelDesign::EggFloor, 0.01f);
    const RouteWalkResult walk = walker.Walk(start, LevelDesign::Route(), egg, 60.0f);
    EXPECT_TRUE(walk.reachedEgg) << walk.failure;
    EXPECT_LT(walk.largestMove, 12.0f);

    std::vector<std::pair<std::string, UINT>> images = {
        {"water.tex", 512}, {"console.tex", 512}, {"gui.tex", 256}};
    for (int i = 0; i < 6; ++i)
        images.push_back({"sky1-" + std::to_string(i) + ".tex", 512});
    for (int i = 0; i < 32; ++i)
        images.push_back({"caust" + std::to_string(i) + ".tga", 256});
    for (const auto& [name, width] : images)
    {
        D3DXIMAGE_INFO info = {};
        ASSERT_EQ(D3DXGetImageInfoFromFileA(ContentPath(name).c_str(), &info), S_OK) << name;
        EXPECT_EQ(info.Width, width) << name;
        EXPECT_EQ(info.Height, name == "console.tex" ? 256 : width) << name;
        EXPECT_EQ(info.ImageFileFormat, name.back() == 'a' ? D3DXIFF_TGA : D3DXIFF_DDS) << name;
    }
}
