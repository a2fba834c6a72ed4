// The texture pool: numbers, names, kinds, failures and device loss.
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
const DWORD TileResource = 101; // 8 x 4 BMP
const DWORD SkyResource = 102;  // 4 x 4 cube DDS

std::string ResourceBytes(DWORD id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
}

class TexPoolTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        CreateDirectoryA("base", nullptr);
        for (DWORD id : {TileResource, SkyResource})
        {
            const std::string bytes = ResourceBytes(id);
            std::ofstream(id == TileResource ? "base/water.tex" : "base/sky.dds", std::ios::binary)
                .write(bytes.data(), std::streamsize(bytes.size()));
        }
    }
    tavTexPool& Pool() { return *engine; }
    IDirect3DBaseTexture9* Stage0()
    {
        IDirect3DBaseTexture9* bound = nullptr;
        engine->GetDevice()->GetTexture(0, &bound);
        if (bound) bound->Release(); // the pool holds it; only the pointer matters here
        return bound;
    }
};
} // namespace

TEST_F(TexPoolTest, OneFileUnderAnyNameIsOneEntryPerKind)
{
    const int first = Pool().LoadTexture("base/water.tex");
    ASSERT_EQ(first, 0);
    EXPECT_EQ(Pool().LoadTexture("BASE\\Water.TEX", 0xFF000000, 9), first);
    std::string name;
    Pool().GetTextureName(first, name);
    EXPECT_EQ(name, "\"base/water.tex\"");
    D3DXIMAGE_INFO info = {};
    Pool().GetTextureInfo(first, info);
    EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(8u, 4u));
    std::string query = "Base\\WATER.tex";
    EXPECT_EQ(Pool().FindTexture(query, 0, 1), first);
    EXPECT_EQ(query, "base/water.tex");
    EXPECT_EQ(Pool().FindTexture(query, 0, 6), -1);
    // Kinds are apart: the same file as a cube and as a 2D texture.
    const int cube = Pool().LoadCubeTexture("base/sky.dds", 0, 1);
    EXPECT_EQ(cube, 1);
    EXPECT_EQ(Pool().LoadTexture("base/sky.dds", 0, 1), 2);
    EXPECT_EQ(Pool().LoadCubeTexture("BASE/SKY.DDS", 0, 1), cube);
    ASSERT_NE(Pool().GetTexture(cube), nullptr);
    EXPECT_EQ(Pool().GetTexture(cube)->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(Pool().GetTexture(2)->GetType(), D3DRTYPE_TEXTURE);
    // The program's resources load by id and kind.
    const int tile = Pool().LoadTextureFromResource(TileResource, 0, 1);
    EXPECT_EQ(tile, 3);
    EXPECT_EQ(Pool().LoadTextureFromResource(TileResource, 0xFFFF00FF, 3), tile);
    EXPECT_EQ(Pool().LoadTextureFromResourceAlt(TileResource, 0, 1), 4);
    Pool().GetTextureName(tile, name);
    EXPECT_EQ(name, "Resource #101");
    Pool().GetTextureInfo(tile, info);
    EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(8u, 4u));
    EXPECT_EQ(Pool().FindTexture(name, TileResource, 2), tile);
    EXPECT_EQ(Pool().FindTexture(name, TileResource, 4), -1);
    EXPECT_EQ(Pool().GetFailedCount(), 0u);
    // Failures are counted; a removed number stays empty and is never reused.
    WriteTextFile("base/notes.tex", "this is not an image");
    for (const char* bad :
         {"base/missing.tex", "base/notes.tex", static_cast<const char*>(nullptr)})
        EXPECT_EQ(Pool().LoadTexture(bad), -1) << (bad ? bad : "null");
    EXPECT_EQ(Pool().LoadTextureFromResource(999, 0, 1), -1);
    EXPECT_EQ(Pool().GetFailedCount(), 4u);
    ASSERT_TRUE(Pool().RemoveTexture(tile));
    EXPECT_FALSE(Pool().RemoveTexture(tile));
    EXPECT_EQ(Pool().LoadTextureFromResource(TileResource, 0, 1), 5);
    for (int bad : {-1, tile, 6, 1000})
        EXPECT_FALSE(Pool().IsValidTexture(bad) || Pool().GetTexture(bad)) << bad;
    EXPECT_EQ(Pool().GetTextureCount(), 6);
}

TEST_F(TexPoolTest, InvalidationDropsOnlyDynamicTexturesAndUseBringsFilesBack)
{
    const int file = Pool().LoadTexture("base/water.tex");
    const int dynamic = Pool().CreateDynamicTexture(64, 32, 0, 1);
    EXPECT_NE(Pool().CreateDynamicTexture(64, 32, 0, 1), dynamic);
    ASSERT_TRUE(Pool().IsTextureLoaded(dynamic));
    Pool().InvalidateAll();
    EXPECT_TRUE(Pool().IsTextureLoaded(file));
    EXPECT_FALSE(Pool().IsTextureLoaded(dynamic));
    Pool().SetTexture(dynamic, 0);
    EXPECT_EQ(Stage0(), nullptr);
    Pool().SetTexture(file, 0);
    EXPECT_EQ(Stage0(), Pool().GetTexture(file));
    Pool().RestoreAll();
    EXPECT_TRUE(Pool().IsTextureLoaded(dynamic));
    Pool().SetTexture(dynamic, 0);
    EXPECT_EQ(Stage0(), Pool().GetTexture(dynamic));
    // Released outright, a managed texture is not restored: a restore leaves
    // managed entries alone. A dynamic one comes back as after a reset.
    Pool().ReleaseAll();
    EXPECT_FALSE(Pool().IsTextureLoaded(file));
    Pool().SetTexture(file, 0);
    EXPECT_EQ(Stage0(), nullptr);
    Pool().RestoreAll();
    EXPECT_FALSE(Pool().IsTextureLoaded(file));
    EXPECT_TRUE(Pool().IsTextureLoaded(dynamic));
}
