// The texture pool: numbers, names, kinds, failures, device loss and the
// report.
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace
{
const uint32_t Plain = 0xFFFFFFB8;
const uint32_t Loaded = 0xFF00FF00;
const uint32_t Failed = 0xFFFF0000;
const DWORD TileResource = 101; // 8 x 4 BMP
const DWORD SkyResource = 102;  // 4 x 4 cube DDS

// Bytes of a resource of this program.
std::string ResourceBytes(DWORD id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

struct Line
{
    std::string text;
    uint32_t colour;
    bool operator==(const Line& o) const { return text == o.text && colour == o.colour; }
};

std::ostream& operator<<(std::ostream& out, const Line& l)
{
    char colour[16];
    std::snprintf(colour, sizeof(colour), "%08X", l.colour);
    return out << "[" << colour << "] " << l.text;
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

class TexPoolTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        CreateDirectoryA("base", nullptr);
        WriteFile("base/water.tex", ResourceBytes(TileResource));
        WriteFile("base/sky.dds", ResourceBytes(SkyResource));
        ASSERT_GT(ResourceBytes(TileResource).size(), 54u);
    }

    tavTexPool& Pool() { return *engine; }

    // The lines the report printed.
    std::vector<Line> Report()
    {
        const size_t before = engine->GetLines().size();
        engine->ReportTexturePool();
        std::vector<Line> lines;
        const auto& all = engine->GetLines();
        for (size_t i = before; i < all.size(); ++i)
            lines.push_back({all[i].text, all[i].colour});
        return lines;
    }

    // The five closing lines for `slots` slots and `failed` failures.
    std::vector<Line> Totals(int slots, int failed)
    {
        const DWORD atAttach = Pool().GetAvailableTextureMem();
        const DWORD now = engine->GetDevice()->GetAvailableTextureMem();
        return {{"Number of Textures: " + std::to_string(slots), Plain},
                {Format("%.3f MB Available Texture Memory", atAttach * 0.000001), Plain},
                {Format("%.3f MB used by textures", DWORD(atAttach - now) * 0.000001), Plain},
                {Format("%.3f KB used by pool", slots * 64 * 0.001), Plain},
                {std::to_string(failed) + " textures failed to load.", Plain}};
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
    EXPECT_EQ(info.Width, 8u);
    EXPECT_EQ(info.Height, 4u);

    std::string query = "Base\\WATER.tex";
    EXPECT_EQ(Pool().FindTexture(query, 0, 1), first);
    EXPECT_EQ(query, "base/water.tex");
    EXPECT_EQ(Pool().FindTexture(query, 0, 6), -1);

    // Kinds are apart: the same file as a cube and as a 2D texture.
    const int cube = Pool().LoadCubeTexture("base/sky.dds", 0, 1);
    const int flat = Pool().LoadTexture("base/sky.dds", 0, 1);
    const int alt = Pool().LoadTextureAlt("base/water.tex", 0, 1);
    EXPECT_EQ(cube, 1);
    EXPECT_EQ(flat, 2);
    EXPECT_EQ(alt, 3);
    EXPECT_EQ(Pool().LoadCubeTexture("BASE/SKY.DDS", 0, 1), cube);
    IDirect3DBaseTexture9* texture = Pool().GetTexture(cube);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(Pool().GetTexture(flat)->GetType(), D3DRTYPE_TEXTURE);
    EXPECT_EQ(Pool().GetTextureCount(), 4);
    EXPECT_EQ(Pool().GetFailedCount(), 0u);
}

TEST_F(TexPoolTest, ResourcesOfTheProgramLoadByIdAndKind)
{
    const int tile = Pool().LoadTextureFromResource(TileResource, 0, 1);
    ASSERT_EQ(tile, 0);
    EXPECT_EQ(Pool().LoadTextureFromResource(TileResource, 0xFFFF00FF, 3), tile);
    EXPECT_EQ(Pool().LoadTextureFromResourceAlt(TileResource, 0, 1), 1);
    std::string name;
    Pool().GetTextureName(tile, name);
    EXPECT_EQ(name, "Resource #101");
    D3DXIMAGE_INFO info = {};
    Pool().GetTextureInfo(tile, info);
    EXPECT_EQ(info.Width, 8u);
    EXPECT_EQ(info.Height, 4u);
    std::string ignored;
    EXPECT_EQ(Pool().FindTexture(ignored, TileResource, 2), tile);
    EXPECT_EQ(Pool().FindTexture(ignored, TileResource, 4), -1);
}

TEST_F(TexPoolTest, EveryFailedLoadIsCountedAndListed)
{
    WriteTextFile("base/notes.tex", "this is not an image");
    EXPECT_EQ(Pool().LoadTexture("base/missing.tex"), -1);
    EXPECT_EQ(Pool().LoadTexture("BASE/Missing.tex"), -1);
    EXPECT_EQ(Pool().LoadTextureFromResource(999, 0, 1), -1);
    EXPECT_EQ(Pool().LoadTexture("base/notes.tex"), -1);
    EXPECT_EQ(Pool().LoadTexture(nullptr), -1);
    EXPECT_EQ(Pool().GetFailedCount(), 5u);
    EXPECT_EQ(Pool().GetTextureCount(), 0);

    // Nothing was lost: the pool and the engine go on.
    EXPECT_EQ(Pool().LoadTexture("base/water.tex"), 0);
    EXPECT_TRUE(Pump());

    const std::vector<Line> report = Report();
    ASSERT_GE(report.size(), 5u);
    const std::vector<Line> failures(report.end() - 5, report.end());
    EXPECT_EQ(failures, (std::vector<Line>{{"Failed: base/missing.tex", Failed},
                                           {"Failed: base/missing.tex", Failed},
                                           {"Failed: Resource ID", Failed},
                                           {"Failed: base/notes.tex", Failed},
                                           {"Failed: ", Failed}}));
}

TEST_F(TexPoolTest, RemovedNumbersStayEmptyAndAreNeverReused)
{
    const int a = Pool().LoadTexture("base/water.tex");
    const int b = Pool().LoadCubeTexture("base/sky.dds", 0, 1);
    Pool().SetTexture(a, 0);
    ASSERT_TRUE(Pool().RemoveTexture(a));
    EXPECT_FALSE(Pool().RemoveTexture(a));
    EXPECT_FALSE(Pool().IsValidTexture(a));
    EXPECT_EQ(Pool().GetTexture(a), nullptr);
    Pool().SetTexture(a, 0);
    EXPECT_EQ(Stage0(), nullptr);

    // Loaded again, the file gets the next number, not its old one.
    EXPECT_EQ(Pool().LoadTexture("base/water.tex"), 2);
    EXPECT_EQ(Pool().GetTextureCount(), 3);
    const std::vector<Line> report = Report();
    ASSERT_EQ(report.size(), 8u);
    EXPECT_EQ(report[1].text.rfind("#1 L ", 0), 0u) << report[1];
    EXPECT_EQ(report[2].text.rfind("#2 L ", 0), 0u) << report[2];
    EXPECT_EQ(report[3], (Line{"Number of Textures: 3", Plain}));
    (void)b;

    // Any number is harmless.
    for (int bad : {-1, a, 3, 1000})
    {
        EXPECT_FALSE(Pool().IsValidTexture(bad));
        EXPECT_FALSE(Pool().IsTextureLoaded(bad));
        EXPECT_EQ(Pool().GetTexture(bad), nullptr);
        Pool().InvalidateTexture(bad);
        Pool().RestoreTexture(bad);
        Pool().SetTexture(bad, 1);
        std::string name = "untouched";
        Pool().GetTextureName(bad, name);
        EXPECT_EQ(name, "untouched");
    }
    // Past the end reads the last slot.
    D3DXIMAGE_INFO info = {};
    Pool().GetTextureInfo(1000, info);
    EXPECT_EQ(info.Width, 8u);
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
    const std::vector<Line> report = Report();
    ASSERT_GE(report.size(), 3u);
    EXPECT_EQ(report[1].text.rfind("#0 L  \"base/water.tex\" 8x4 Mip:1 ", 0), 0u) << report[1];
    EXPECT_EQ(report[1].colour, Loaded);
    EXPECT_EQ(report[2], (Line{"#1 F   64x32 Mip:1 Fmt:0 Dpth:0 t:5", Plain}));

    Pool().SetTexture(dynamic, 0);
    EXPECT_EQ(Stage0(), nullptr);
    Pool().SetTexture(file, 0);
    EXPECT_EQ(Stage0(), Pool().GetTexture(file));

    Pool().RestoreAll();
    EXPECT_TRUE(Pool().IsTextureLoaded(dynamic));
    Pool().SetTexture(dynamic, 0);
    EXPECT_EQ(Stage0(), Pool().GetTexture(dynamic));

    // Released outright, a managed texture is not restored: a restore leaves
    // managed entries alone, so its stage stays empty. A dynamic one comes
    // back with RestoreAll as after a reset.
    Pool().ReleaseAll();
    EXPECT_FALSE(Pool().IsTextureLoaded(file));
    Pool().SetTexture(file, 0);
    EXPECT_FALSE(Pool().IsTextureLoaded(file));
    EXPECT_EQ(Stage0(), nullptr);
    Pool().RestoreAll();
    EXPECT_FALSE(Pool().IsTextureLoaded(file));
    EXPECT_TRUE(Pool().IsTextureLoaded(dynamic));
}

TEST_F(TexPoolTest, ReportOfAnEmptyAndAMixedPool)
{
    std::vector<Line> expected = {{"=== Texture Pool Statistics ===", Plain}};
    std::vector<Line> totals = Totals(0, 0);
    expected.insert(expected.end(), totals.begin(), totals.end());
    EXPECT_EQ(Report(), expected);

    ASSERT_EQ(Pool().LoadTexture("base/water.tex", 0, 1), 0);
    ASSERT_EQ(Pool().LoadTextureFromResource(TileResource, 0, 1), 1);
    ASSERT_EQ(Pool().LoadCubeTexture("base/sky.dds", 0, 1), 2);
    ASSERT_EQ(Pool().CreateDynamicTexture(16, 16, 0, 1), 3);
    ASSERT_EQ(Pool().LoadTexture("base/gone.tex"), -1);
    ASSERT_EQ(Pool().LoadTexture("base/water.tex", 0, 1), 0);
    ASSERT_TRUE(Pool().RemoveTexture(1));
    Pool().InvalidateAll();

    D3DXIMAGE_INFO tile = {}, sky = {};
    Pool().GetTextureInfo(0, tile);
    Pool().GetTextureInfo(2, sky);
    char line0[128], line2[128];
    std::snprintf(line0, sizeof(line0), "#0 L  \"base/water.tex\" 8x4 Mip:1 Fmt:%d Dpth:1 t:1",
                  int(tile.Format));
    std::snprintf(line2, sizeof(line2), "#2 L  \"base/sky.dds\" 4x4 Mip:1 Fmt:%d Dpth:1 t:3",
                  int(sky.Format));
    expected = {{"=== Texture Pool Statistics ===", Plain},
                {line0, Loaded},
                {line2, Loaded},
                {"#3 F   16x16 Mip:1 Fmt:0 Dpth:0 t:5", Plain}};
    totals = Totals(4, 1);
    expected.insert(expected.end(), totals.begin(), totals.end());
    expected.push_back({"Failed: base/gone.tex", Failed});
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(tile.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(sky.ResourceType, D3DRTYPE_CUBETEXTURE);
}

// Runs the program again with --cube-resource-child; its output and exit
// code tell what happened to the kind-4 load there.
TEST(TexPoolCube, ResourceCubeLoadsInAChildWineEndsItThere)
{
    char self[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    const std::string outPath =
        std::string(temp) + "tav-cube-child-" + std::to_string(GetCurrentProcessId()) + ".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION child = {};
    std::string command = std::string("\"") + self + "\" --cube-resource-child";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &child));
    CloseHandle(out);
    const DWORD waited = WaitForSingleObject(child.hProcess, 60000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    const std::string output = ReadTextFile(outPath);
    DeleteFileA(outPath.c_str());

    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the child hung:\n" << output;
    ASSERT_NE(output.find("loading resource 102 as a cube"), std::string::npos) << output;
    if (output.find("cube texture #") != std::string::npos)
    {
        // A runtime that has the loader: one cube entry, found again by id.
        EXPECT_EQ(code, 0u) << output;
        EXPECT_NE(output.find("cube texture #0 loaded, again #0, type 5"), std::string::npos)
            << output;
    }
    else
    {
        // Wine: D3DXCreateCubeTextureFromResourceExA is an unimplemented
        // stub that ends the process (its stub exception); only this child
        // went down.
        EXPECT_EQ(code, 0x80000100u) << output;
        std::printf("platform: the kind-4 loader ended the child (exit 0x%08lX)\n",
                    static_cast<unsigned long>(code));
    }
}

int CubeResourceChild()
{
    TestFolder folder;
    WriteTextFile("tav.cfg", DefaultTestConfig());
    const std::string caption = "TAV Cube Child " + std::to_string(GetCurrentProcessId());
    tavSettings settings;
    settings.caption = caption.c_str();
    settings.instance = GetModuleHandleA(nullptr);
    settings.useSound = false;
    TestEngine engine;
    if (FAILED(engine.Initialize(settings)))
    {
        std::printf("engine did not start\n");
        return 2;
    }
    std::printf("loading resource 102 as a cube\n");
    std::fflush(stdout);
    const int cube = engine.LoadCubeTextureFromResource(SkyResource, 0, 1);
    const int again = engine.LoadCubeTextureFromResource(SkyResource, 0, 1);
    IDirect3DBaseTexture9* texture = engine.GetTexture(cube);
    std::printf("cube texture #%d %s, again #%d, type %d\n", cube,
                engine.IsTextureLoaded(cube) ? "loaded" : "missing", again,
                texture ? int(texture->GetType()) : 0);
    std::fflush(stdout);
    return cube == 0 && again == 0 && texture && texture->GetType() == D3DRTYPE_CUBETEXTURE ? 0 : 1;
}
