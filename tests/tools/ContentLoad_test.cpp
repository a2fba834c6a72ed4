// The generated base/ folder through the platform's own loaders (D3DX mesh
// and texture loading) and the route walked on the level exactly as D3DX
// loaded it. Every file loading through the engine's own pools is the
// game's test (tests/game).
#include "LevelDesign.h"
#include "RouteWalker.h"
#include "graphics/tavMeshModel.h"
#include "support/TestEngine.h"
#include "BinaryFile.h"
#include "WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
std::string CurrentFolder()
{
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// base/ beside the run's starting folder, taken before any test runs (the
// engine tests move into a private folder of their own while they run).
const std::string RunFolder = CurrentFolder();

std::string ContentFile(const std::string& name)
{
    return RunFolder + "\\base\\" + name;
}

class ContentLoad : public EngineTest
{
protected:
    void SetUp() override { ASSERT_EQ(StartEngine(), S_OK); }
    IDirect3DDevice9* Device() { return engine->GetDevice(); }

    // The mesh as D3DX reads the file, before anything is recomputed.
    ID3DXMesh* LoadRaw(const std::string& name, DWORD& materials)
    {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* buffer = nullptr;
        materials = 0;
        const HRESULT hr = D3DXLoadMeshFromXA(ContentFile(name).c_str(), D3DXMESH_MANAGED, Device(),
                                              nullptr, &buffer, nullptr, &materials, &mesh);
        EXPECT_EQ(hr, S_OK) << name;
        if (buffer) buffer->Release();
        return mesh;
    }
};

struct Vertex
{
    D3DXVECTOR3 position, normal;
    float u, v;
};

// Positions of every face corner, three per face (16-bit indices, as the
// physics conversion reads them).
std::vector<assetgen::Vec3> Corners(ID3DXMesh* mesh)
{
    std::vector<assetgen::Vec3> corners;
    Vertex* vertices = nullptr;
    WORD* indices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&vertices))))
        return corners;
    if (SUCCEEDED(mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&indices))))
    {
        for (DWORD i = 0; i < mesh->GetNumFaces() * 3; ++i)
        {
            const D3DXVECTOR3& p = vertices[indices[i]].position;
            corners.push_back({p.x, p.y, p.z});
        }
        mesh->UnlockIndexBuffer();
    }
    mesh->UnlockVertexBuffer();
    return corners;
}

// Normals must be unit length and lie on the outer side of every face that
// uses them.
void ExpectNormalsAgreeWithWinding(ID3DXMesh* mesh, const char* name)
{
    ASSERT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1)) << name;
    Vertex* v = nullptr;
    WORD* index = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v)), S_OK);
    ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&index)), S_OK);
    int wrong = 0;
    for (DWORD f = 0; f < mesh->GetNumFaces(); ++f)
    {
        const WORD* t = index + f * 3;
        D3DXVECTOR3 e1 = v[t[1]].position - v[t[0]].position,
                    e2 = v[t[2]].position - v[t[0]].position;
        D3DXVECTOR3 face;
        D3DXVec3Cross(&face, &e1, &e2);
        for (int k = 0; k < 3; ++k)
        {
            const D3DXVECTOR3& n = v[t[k]].normal;
            if (std::fabs(D3DXVec3Length(&n) - 1.0f) > 0.01f || D3DXVec3Dot(&n, &face) <= 0.0f)
                ++wrong;
        }
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    EXPECT_EQ(wrong, 0) << name;
}

// The mean corner position of each subset's faces, from the attribute
// buffer as loaded.
std::vector<D3DXVECTOR3> SubsetCentres(ID3DXMesh* mesh, DWORD subsets)
{
    std::vector<D3DXVECTOR3> sum(subsets, D3DXVECTOR3(0, 0, 0));
    std::vector<float> count(subsets, 0.0f);
    Vertex* v = nullptr;
    WORD* index = nullptr;
    DWORD* attribute = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v))) &&
        SUCCEEDED(mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&index))) &&
        SUCCEEDED(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attribute)))
    {
        for (DWORD f = 0; f < mesh->GetNumFaces(); ++f)
            if (attribute[f] < subsets)
                for (int k = 0; k < 3; ++k)
                {
                    sum[attribute[f]] += v[index[f * 3 + k]].position;
                    count[attribute[f]] += 1.0f;
                }
    }
    mesh->UnlockAttributeBuffer();
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    for (DWORD i = 0; i < subsets; ++i)
        sum[i] = count[i] > 0.0f ? sum[i] / count[i] : D3DXVECTOR3(1e9f, 1e9f, 1e9f);
    return sum;
}

void Bounds(ID3DXMesh* mesh, D3DXVECTOR3& low, D3DXVECTOR3& high, float& reach)
{
    void* vertices = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices);
    D3DXComputeBoundingBox(static_cast<D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                           mesh->GetNumBytesPerVertex(), &low, &high);
    reach = 0.0f;
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i)
    {
        const D3DXVECTOR3* p = reinterpret_cast<const D3DXVECTOR3*>(
            static_cast<const BYTE*>(vertices) + i * mesh->GetNumBytesPerVertex());
        reach = std::max(reach, D3DXVec3Length(p));
    }
    mesh->UnlockVertexBuffer();
}
} // namespace

TEST_F(ContentLoad, MeshesKeepTheirShapesAndImagesTheirSizesTheLevelRouteWalksToTheEgg)
{
    // The chicken: nine subsets inside its sphere, facing forward.
    DWORD materials = 0;
    ID3DXMesh* chicken = LoadRaw("chixen.x", materials);
    ASSERT_NE(chicken, nullptr);
    EXPECT_EQ(materials, 9u);
    ExpectNormalsAgreeWithWinding(chicken, "chixen.x");
    D3DXVECTOR3 low, high;
    float reach = 0.0f;
    Bounds(chicken, low, high, reach);
    EXPECT_LE(reach, 10.05f);
    EXPECT_GT(reach, 9.0f);
    EXPECT_LT(low.y, -9.4f); // the feet reach the bottom of the sphere
    // Where D3DX put each subset: beak in front, comb on top, the legs
    // (subsets 1 and 8) below on either side.
    const std::vector<D3DXVECTOR3> centre = SubsetCentres(chicken, 9);
    EXPECT_GT(centre[3].z, 5.0f);
    EXPECT_LT(centre[7].z, -4.0f);
    EXPECT_GT(centre[4].y, 6.0f);
    EXPECT_LT(centre[1].y, -5.0f);
    EXPECT_LT(centre[8].y, -5.0f);
    EXPECT_LT(centre[1].x, 0.0f);
    EXPECT_GT(centre[8].x, 0.0f);
    chicken->Release();

    // The egg stands ten units below its centre; a drop at scale 170 fills
    // the chicken's sphere.
    ID3DXMesh* egg = LoadRaw("egg.x", materials);
    ASSERT_NE(egg, nullptr);
    EXPECT_EQ(materials, 1u);
    ExpectNormalsAgreeWithWinding(egg, "egg.x");
    Bounds(egg, low, high, reach);
    EXPECT_NEAR(low.y, -10.0f, 0.01f);
    EXPECT_NEAR(high.y - low.y, 12.5f, 0.01f);
    egg->Release();
    ID3DXMesh* blood = LoadRaw("blood.x", materials);
    ASSERT_NE(blood, nullptr);
    EXPECT_EQ(materials, 1u);
    ExpectNormalsAgreeWithWinding(blood, "blood.x");
    Bounds(blood, low, high, reach);
    EXPECT_LE(reach * 170.0f, 10.05f);
    EXPECT_GT(reach * 170.0f, 9.5f);
    blood->Release();

    // The level, with sixteen-bit indices.
    ID3DXMesh* raw = LoadRaw("level.x", materials);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(materials, uint32_t(assetgen::LevelDesign::MaterialCount));
    ExpectNormalsAgreeWithWinding(raw, "level.x");
    raw->Release();
    // As the engine holds it: cloned, normals recomputed, sorted by subset.
    tavMeshModel level(engine.get());
    ASSERT_TRUE(level.LoadFromX(ContentFile("level.x").c_str(), ContentFile("").c_str()));
    EXPECT_EQ(level.GetMesh()->GetOptions() & D3DXMESH_32BIT, 0u);
    assetgen::RouteWalker walker(Corners(level.GetMesh()));
    const assetgen::Vec3 start = assetgen::LevelDesign::Start,
                         eggAt = assetgen::LevelDesign::EggPosition;
    EXPECT_NEAR(walker.GroundBelow(start.x, start.y, start.z, 100.0f),
                assetgen::LevelDesign::StartFloor, 0.01f);
    EXPECT_NEAR(walker.GroundBelow(eggAt.x, eggAt.y, eggAt.z, 100.0f),
                assetgen::LevelDesign::EggFloor, 0.01f);
    const assetgen::RouteWalkResult walk =
        walker.Walk(start, assetgen::LevelDesign::Route(), eggAt, 60.0f);
    EXPECT_TRUE(walk.reachedEgg) << walk.failure;
    EXPECT_LT(walk.largestMove, 12.0f);

    // Images at their sizes and formats (each one loads through the texture
    // pool in the game's test).
    struct Expected
    {
        std::string name;
        UINT width, height;
        D3DXIMAGE_FILEFORMAT format;
    };
    std::vector<Expected> images = {{"water.tex", 512, 512, D3DXIFF_DDS},
                                    {"console.tex", 512, 256, D3DXIFF_DDS},
                                    {"gui.tex", 256, 256, D3DXIFF_DDS}};
    for (int i = 0; i < 6; ++i)
        images.push_back({"sky1-" + std::to_string(i) + ".tex", 512, 512, D3DXIFF_DDS});
    for (int i = 0; i < 32; ++i)
        images.push_back({"caust" + std::to_string(i) + ".tga", 256, 256, D3DXIFF_TGA});
    for (const Expected& image : images)
    {
        D3DXIMAGE_INFO info = {};
        ASSERT_EQ(D3DXGetImageInfoFromFileA(ContentFile(image.name).c_str(), &info), S_OK)
            << image.name;
        EXPECT_EQ(info.Width, image.width) << image.name;
        EXPECT_EQ(info.Height, image.height) << image.name;
        EXPECT_EQ(info.ImageFileFormat, image.format) << image.name;
    }
}

TEST(ContentSounds, SoundEffectsAreMonoSixteenBitWaveData)
{
    for (const char* name : {"splash.sfx", "jumped.sfx", "idle1.sfx", "idle2.sfx", "idle3.sfx",
                             "idle4.sfx", "idle5.sfx", "pop.sfx"})
    {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(assetgen::BinaryFile::Read(ContentFile(name), bytes)) << name;
        assetgen::WaveInfo info;
        std::vector<int16_t> samples;
        std::string error;
        ASSERT_TRUE(assetgen::WaveFile::Decode(bytes, info, samples, error))
            << name << ": " << error;
        EXPECT_EQ(info.channels, 1) << name;
        EXPECT_EQ(info.sampleRate, 22050u) << name;
        EXPECT_EQ(info.dataSize, bytes.size() - 44) << name;
    }
}
