// The files of base/ damaged: deleted, emptied, overwritten with random bytes,
// cut short, a few bits flipped. With each the game starts, names what it
// could not load in the log and the texture report, plays, restarts through
// Space and shuts down cleanly. `make test` damages every file at once in two
// runs, the fatal ways and the partial ones, each way taking its turn over
// the files of each type; the soak (TAV_SOAK=1) damages each file alone.
#include "GameHost.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
enum Damage
{
    Deleted,
    Emptied,
    Random,
    Truncated,
    BitFlipped
};
const char* const Names[] = {"deleted", "emptied", "random bytes", "truncated", "bits flipped"};
} // namespace

class GameDamagedContent : public GameTest
{
protected:
    void SetUp() override
    {
        CopyContent();
        files = FilesIn(folder.File("base"));
        ASSERT_GT(files.size(), 60u);
        ASSERT_TRUE(CopyFolder(folder.File("base"), folder.File("whole")));
    }

    void Spoil(const std::string& name, Damage how)
    {
        const std::string path = folder.File("base\\" + name);
        std::vector<uint8_t> bytes = ReadBinaryFile(path);
        uint32_t seed = 2166136261u; // FNV-1a of the name
        for (char c : name)
            seed = (seed ^ uint8_t(c)) * 16777619u;
        std::mt19937 random(seed);
        if (how == Deleted) DeleteFileA(path.c_str());
        if (how == Deleted || how == Emptied) bytes.clear();
        if (how == Truncated) bytes.resize(bytes.size() / 3);
        for (uint8_t& b : bytes)
            b = how == Random ? uint8_t(random()) : b;
        // Mostly in the headers, where a flipped bit changes what follows.
        for (int i = 0; how == BitFlipped && i < 12 && !bytes.empty(); ++i)
            bytes[random() % (i < 8 ? std::min<size_t>(bytes.size(), 64) : bytes.size())] ^=
                uint8_t(1u << (random() % 8));
        if (how != Deleted)
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    std::string TextureReport()
    {
        const size_t from = engine->GetLines().size();
        engine->ReportTexturePool();
        std::string report;
        for (size_t i = from; i < engine->GetLines().size(); ++i)
            report += engine->GetLines()[i].text + "\n";
        return report;
    }

    // Every texture that did not load is named in the log and as FAILED in
    // the report; returns how many did load.
    int CheckTextures()
    {
        const std::string log = Log(), report = TextureReport();
        int loaded = 0;
        for (int i = 0; i < engine->GetTextureCount(); ++i)
        {
            std::string name;
            engine->GetTextureName(i, name);
            if (name.empty() || (engine->IsTextureLoaded(i) && ++loaded)) continue;
            EXPECT_NE(log.find(name.substr(1, name.size() - 2)), std::string::npos)
                << name << " failed, unnamed in the log";
            EXPECT_NE(report.find("FAILED " + name), std::string::npos)
                << name << " failed, not so in the report";
        }
        return loaded;
    }

    // Starts on the damaged base/, checks, then a walk, a loss in the sea,
    // Space for a new game and a shutdown that leaves "IsSetup" at 1.
    void StartPlayRestartAndQuit(const std::string& what, const std::function<void(int)>& check)
    {
        SCOPED_TRACE(what);
        if (!StartGame())
        {
            const std::string log = Log();
            FAIL() << "no start\n" << log.substr(log.size() > 1500 ? log.size() - 1500 : 0);
        }
        check(CheckTextures());
        Hold(DIK_W);
        Frames(30);
        LetGo(DIK_W);
        Place(D3DXVECTOR3(0.0f, -200.0f, 0.0f));
        Frames(2);
        ASSERT_FALSE(Scene()->IsAlive());
        Picture();
        ASSERT_TRUE(RestartWithSpace());
        Frames(10);
        EXPECT_EQ(engine->GetRunState(), 1);
        StopEngine();
        EXPECT_EQ(ConfigInt("IsSetup"), 1);
        EXPECT_NE(Log().find("Uninitialized COM."), std::string::npos);
        DeleteFileA(folder.File("output.html").c_str());
        ASSERT_TRUE(CopyFolder(folder.File("whole"), folder.File("base")));
    }

    std::vector<std::string> files;
};

TEST_F(GameDamagedContent, EveryFileDamagedAtOnceTheWaysTakingTurnsPerType)
{
    // Nothing of the first run is a picture, a mesh or a sound: every file the
    // game opens by name is named (a mesh's material textures are opened only
    // when the mesh loads), and the chicken falls.
    auto nothingLoads = [&](int loaded)
    {
        EXPECT_EQ(loaded, 0);
        EXPECT_EQ(Scene()->GetChicken()->GetMaterialCount(), 0u);
        EXPECT_EQ(Scene()->GetSplashSound(), -1);
        EXPECT_EQ(Scene()->GetPlayer().body, 0);
        EXPECT_TRUE(FramesUntil([&] { return !Scene()->IsAlive(); }, 600));
        const std::string log = Log();
        for (const std::string& name : files)
        {
            const std::string type = name.substr(name.rfind('.') + 1);
            if (type == "x" || type == "sfx" || type == "tga" || name.rfind("sky1-", 0) == 0 ||
                name == "water.tex" || name == "console.tex" || name == "gui.tex")
            {
                EXPECT_NE(log.find(name), std::string::npos) << name << " unnamed in the log";
            }
        }
    };
    const std::vector<Damage> runs[] = {{Deleted, Emptied, Random}, {Truncated, BitFlipped}};
    for (const std::vector<Damage>& ways : runs)
    {
        std::map<std::string, size_t> ofType;
        for (const std::string& name : files)
            Spoil(name, ways[ofType[name.substr(name.rfind('.'))]++ % ways.size()]);
        const std::function<void(int)> check = nothingLoads;
        StartPlayRestartAndQuit(
            Names[ways[0]], ways[0] == Deleted ? check : [](int) {});
        if (HasFatalFailure()) return;
    }
}

// Long: every file alone, every way (about 340 starts of the game).
TEST_F(GameDamagedContent, EachFileDamagedAloneEveryWay)
{
    if (!std::getenv("TAV_SOAK")) GTEST_SKIP() << "set TAV_SOAK=1 (make soak)";
    for (const std::string& name : files)
        for (Damage how : {Deleted, Emptied, Random, Truncated, BitFlipped})
        {
            Spoil(name, how);
            // The game names its own files in the log; a mesh's material
            // texture only the report names (the pool logs no failure).
            StartPlayRestartAndQuit(
                name + ", " + Names[how],
                [&](int)
                {
                    if (how != Deleted && how != Emptied) return;
                    const std::string report = TextureReport();
                    EXPECT_TRUE(Log().find(name) != std::string::npos ||
                                report.find("Failed: ./base/" + name) != std::string::npos ||
                                report.find("Failed: base/" + name) != std::string::npos)
                        << "unnamed in the log and the texture report";
                });
            if (HasFatalFailure()) return;
        }
}
