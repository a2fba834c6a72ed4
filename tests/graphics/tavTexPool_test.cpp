// The texture pool: numbers, names, kinds, failures, device loss and the report.
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace
{
const uint32_t Plain = 0xFFFFFFB8, Loaded = 0xFF00FF00, Failed = 0xFFFF0000;
const DWORD TileResource = 101; // 8 x 4 BMP
const DWORD SkyResource = 102;  // 4 x 4 cube DDS

std::string ResourceBytes(DWORD id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
}

struct Line
{
    std::string text;
    uint32_t colour;
    bool operator==(const Line& o) const { return text == o.text && colour == o.colour; }
};

std::ostream& operator<<(std::ostream& out, const Line& l)
{
    return out << "[" << std::hex << l.colour << std::dec << "] " << l.text;
}

class TexPoolTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        CreateDirectoryA("base", nullptr);
        ASSERT_GT(ResourceBytes(TileResource).size(), 54u);
        for (DWORD id : {TileResource, SkyResource})
        {
            const std::string bytes = ResourceBytes(id);
            std::ofstream(id == TileResource ? "base/water.tex" : "base/sky.dds", std::ios::binary)
                .write(bytes.data(), std::streamsize(bytes.size()));
        }
    }

    tavTexPool& Pool() { return *engine; }

    std::vector<Line> Report()
    {
        const size_t before = engine->GetLines().size();
        engine->ReportTexturePool();
        std::vector<Line> lines;
        for (size_t i = before; i < engine->GetLines().size(); ++i)
            lines.push_back({engine->GetLines()[i].text, engine->GetLines()[i].colour});
        return lines;
    }

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
    EXPECT_EQ(info.Width * 10 + info.Height, 84u);
    std::string query = "Base\\WATER.tex";
    EXPECT_EQ(Pool().FindTexture(query, 0, 1), first);
    EXPECT_EQ(query, "base/water.tex");
    EXPECT_EQ(Pool().FindTexture(query, 0, 6), -1);

    // Kinds are apart: the same file as a cube and as a 2D texture.
    const int cube = Pool().LoadCubeTexture("base/sky.dds", 0, 1);
    EXPECT_EQ(cube, 1);
    EXPECT_EQ(Pool().LoadTexture("base/sky.dds", 0, 1), 2);
    EXPECT_EQ(Pool().LoadTextureAlt("base/water.tex", 0, 1), 3);
    EXPECT_EQ(Pool().LoadCubeTexture("BASE/SKY.DDS", 0, 1), cube);
    ASSERT_NE(Pool().GetTexture(cube), nullptr);
    EXPECT_EQ(Pool().GetTexture(cube)->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(Pool().GetTexture(2)->GetType(), D3DRTYPE_TEXTURE);

    // The program's resources load by id and kind.
    const int tile = Pool().LoadTextureFromResource(TileResource, 0, 1);
    EXPECT_EQ(tile, 4);
    EXPECT_EQ(Pool().LoadTextureFromResource(TileResource, 0xFFFF00FF, 3), tile);
    EXPECT_EQ(Pool().LoadTextureFromResourceAlt(TileResource, 0, 1), 5);
    Pool().GetTextureName(tile, name);
    EXPECT_EQ(name, "Resource #101");
    Pool().GetTextureInfo(tile, info);
    EXPECT_EQ(info.Width * 10 + info.Height, 84u);
    EXPECT_EQ(Pool().FindTexture(name, TileResource, 2), tile);
    EXPECT_EQ(Pool().FindTexture(name, TileResource, 4), -1);
    EXPECT_EQ(Pool().GetTextureCount(), 6);
    EXPECT_EQ(Pool().GetFailedCount(), 0u);
}

TEST_F(TexPoolTest, FailuresAreListedRemovedNumbersStayEmptyAndTheReportShowsEveryEntry)
{
    WriteTextFile("base/notes.tex", "this is not an image");
    for (const char* bad : {"base/missing.tex", "BASE/Missing.tex", "base/notes.tex",
                            static_cast<const char*>(nullptr)})
        EXPECT_EQ(Pool().LoadTexture(bad), -1) << (bad ? bad : "null");
    EXPECT_EQ(Pool().LoadTextureFromResource(999, 0, 1), -1);
    EXPECT_EQ(Pool().GetFailedCount(), 5u);
    EXPECT_EQ(Pool().GetTextureCount(), 0);

    ASSERT_EQ(Pool().LoadTexture("base/water.tex", 0, 1), 0);
    ASSERT_EQ(Pool().LoadTextureFromResource(TileResource, 0, 1), 1);
    ASSERT_EQ(Pool().LoadCubeTexture("base/sky.dds", 0, 1), 2);
    ASSERT_EQ(Pool().CreateDynamicTexture(16, 16, 0, 1), 3);
    Pool().SetTexture(1, 0);
    ASSERT_TRUE(Pool().RemoveTexture(1));
    EXPECT_FALSE(Pool().RemoveTexture(1));
    // Loaded again, a removed texture gets the next number, not its old one.
    EXPECT_EQ(Pool().LoadTextureFromResource(TileResource, 0, 1), 4);
    for (int bad : {-1, 1, 5, 1000})
    {
        EXPECT_FALSE(Pool().IsValidTexture(bad) || Pool().IsTextureLoaded(bad)) << bad;
        EXPECT_EQ(Pool().GetTexture(bad), nullptr);
        Pool().InvalidateTexture(bad);
        Pool().RestoreTexture(bad);
        Pool().SetTexture(bad, 0);
        EXPECT_EQ(Stage0(), nullptr);
        std::string name = "untouched";
        Pool().GetTextureName(bad, name);
        EXPECT_EQ(name, "untouched");
    }
    D3DXIMAGE_INFO info = {}, sky = {};
    Pool().GetTextureInfo(1000, info); // past the end reads the last slot
    EXPECT_EQ(info.Width, 8u);
    EXPECT_TRUE(Pump());

    Pool().InvalidateAll(); // the dynamic texture is lost: F
    Pool().GetTextureInfo(2, sky);
    char skyLine[80];
    std::snprintf(skyLine, sizeof(skyLine), "#2 L  \"base/sky.dds\" 4x4 Mip:1 Fmt:%d Dpth:1 t:3",
                  int(sky.Format));
    const std::vector<Line> report = Report();
    ASSERT_EQ(report.size(), 15u);
    EXPECT_EQ(std::vector<Line>(report.begin(), report.begin() + 6),
              (std::vector<Line>{{"=== Texture Pool Statistics ===", Plain},
                                 {"#0 L  \"base/water.tex\" 8x4 Mip:1 Fmt:20 Dpth:1 t:1", Loaded},
                                 {skyLine, Loaded},
                                 {"#3 F   16x16 Mip:1 Fmt:0 Dpth:0 t:5", Plain},
                                 {"#4 L  Resource #101 8x4 Mip:1 Fmt:20 Dpth:1 t:2", Loaded},
                                 {"Number of Textures: 5", Plain}}));
    EXPECT_EQ(std::vector<Line>(report.end() - 6, report.end()),
              (std::vector<Line>{{"5 textures failed to load.", Plain},
                                 {"Failed: base/missing.tex", Failed},
                                 {"Failed: base/missing.tex", Failed},
                                 {"Failed: base/notes.tex", Failed},
                                 {"Failed: ", Failed},
                                 {"Failed: Resource ID", Failed}}));
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
