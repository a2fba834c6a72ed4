// The texture pool: numbers, names, kinds, failures and device loss.
#include "RenderCheck.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST_F(GraphicsTest, TexPoolKeepsOneEntryPerFileAndKindAndADeviceLossDropsOnlyDynamicOnes)
{
    const DWORD TileResource = 101, SkyResource = 102; // 8 x 4 BMP, 4 x 4 cube DDS
    auto resource = [](DWORD id) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RCDATA
        HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
        const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
    };
    CreateDirectoryA("base", nullptr);
    WriteTextFile("base/water.tex", resource(TileResource));
    WriteTextFile("base/sky.dds", resource(SkyResource));
    tavTexPool& pool = *engine;
    auto stage0 = [&] {
        IDirect3DBaseTexture9* bound = nullptr;
        Device()->GetTexture(0, &bound);
        if (bound) bound->Release(); // the pool holds it; only the pointer matters here
        return bound;
    };
    // One file under any name is one entry per kind.
    const int first = pool.LoadTexture("base/water.tex");
    ASSERT_EQ(first, 0);
    EXPECT_EQ(pool.LoadTexture("BASE\\Water.TEX", 0xFF000000, 9), first);
    std::string name;
    pool.GetTextureName(first, name);
    EXPECT_EQ(name, "\"base/water.tex\"");
    D3DXIMAGE_INFO info = {};
    pool.GetTextureInfo(first, info);
    EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(8u, 4u));
    std::string query = "Base\\WATER.tex";
    EXPECT_EQ(pool.FindTexture(query, 0, 1), first);
    EXPECT_EQ(query, "base/water.tex");
    EXPECT_EQ(pool.FindTexture(query, 0, 6), -1);
    // Kinds are apart: the same file as a cube and as a 2D texture.
    const int cube = pool.LoadCubeTexture("base/sky.dds", 0, 1);
    EXPECT_EQ(cube, 1);
    EXPECT_EQ(pool.LoadTexture("base/sky.dds", 0, 1), 2);
    EXPECT_EQ(pool.LoadCubeTexture("BASE/SKY.DDS", 0, 1), cube);
    ASSERT_NE(pool.GetTexture(cube), nullptr);
    EXPECT_EQ(pool.GetTexture(cube)->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(pool.GetTexture(2)->GetType(), D3DRTYPE_TEXTURE);
    // The program's resources load by id and kind.
    const int tile = pool.LoadTextureFromResource(TileResource, 0, 1);
    EXPECT_EQ(tile, 3);
    EXPECT_EQ(pool.LoadTextureFromResource(TileResource, 0xFFFF00FF, 3), tile);
    EXPECT_EQ(pool.LoadTextureFromResourceAlt(TileResource, 0, 1), 4);
    pool.GetTextureName(tile, name);
    EXPECT_EQ(name, "Resource #101");
    pool.GetTextureInfo(tile, info);
    EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(8u, 4u));
    EXPECT_EQ(pool.FindTexture(name, TileResource, 2), tile);
    EXPECT_EQ(pool.FindTexture(name, TileResource, 4), -1);
    EXPECT_EQ(pool.GetFailedCount(), 0u);
    // Failures are counted; a removed number stays empty and is never reused.
    WriteTextFile("base/notes.tex", "this is not an image");
    for (const char* bad :
         {"base/missing.tex", "base/notes.tex", static_cast<const char*>(nullptr)})
        EXPECT_EQ(pool.LoadTexture(bad), -1) << (bad ? bad : "null");
    EXPECT_EQ(pool.LoadTextureFromResource(999, 0, 1), -1);
    EXPECT_EQ(pool.GetFailedCount(), 4u);
    ASSERT_TRUE(pool.RemoveTexture(tile));
    EXPECT_FALSE(pool.RemoveTexture(tile));
    EXPECT_EQ(pool.LoadTextureFromResource(TileResource, 0, 1), 5);
    for (int bad : {-1, tile, 6, 1000})
        EXPECT_FALSE(pool.IsValidTexture(bad) || pool.GetTexture(bad)) << bad;
    EXPECT_EQ(pool.GetTextureCount(), 6);
    // Invalidation drops only dynamic textures; using a file's binds it still.
    const int file = first, dynamic = pool.CreateDynamicTexture(64, 32, 0, 1);
    EXPECT_NE(pool.CreateDynamicTexture(64, 32, 0, 1), dynamic);
    ASSERT_TRUE(pool.IsTextureLoaded(dynamic));
    pool.InvalidateAll();
    EXPECT_TRUE(pool.IsTextureLoaded(file));
    EXPECT_FALSE(pool.IsTextureLoaded(dynamic));
    pool.SetTexture(dynamic, 0);
    EXPECT_EQ(stage0(), nullptr);
    pool.SetTexture(file, 0);
    EXPECT_EQ(stage0(), pool.GetTexture(file));
    pool.RestoreAll();
    EXPECT_TRUE(pool.IsTextureLoaded(dynamic));
    pool.SetTexture(dynamic, 0);
    EXPECT_EQ(stage0(), pool.GetTexture(dynamic));
    // Released outright, a managed texture is not restored; a dynamic one comes back.
    pool.ReleaseAll();
    EXPECT_FALSE(pool.IsTextureLoaded(file));
    pool.SetTexture(file, 0);
    EXPECT_EQ(stage0(), nullptr);
    pool.RestoreAll();
    EXPECT_FALSE(pool.IsTextureLoaded(file));
    EXPECT_TRUE(pool.IsTextureLoaded(dynamic));
}
