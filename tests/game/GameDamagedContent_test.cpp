// Every file of base/ damaged five ways: deleted, cut short, emptied,
// overwritten with random bytes, and a few bits flipped. With each, the game
// starts, names what it could not load in the log and the texture report,
// plays, restarts through the Space key and shuts down cleanly.
//
// `make test` damages every file at once, one way per run. The soak
// (TAV_SOAK=1) also damages each file alone, with the rest whole.
#include "GameHost.h"

#include "support/TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace
{
enum class Damage
{
    Deleted,
    Truncated,
    Emptied,
    Random,
    BitFlipped
};
const ::Damage AllWays[] = {Damage::Deleted, Damage::Truncated, Damage::Emptied, Damage::Random,
                            Damage::BitFlipped};

const char* Name(Damage d)
{
    static const char* const names[] = {"deleted", "truncated", "emptied", "random bytes",
                                        "bits flipped"};
    return names[int(d)];
}

std::string Damaged(const std::vector<uint8_t>& bytes, Damage damage, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string out(bytes.begin(), bytes.end());
    switch (damage)
    {
    case Damage::Truncated:
        out.resize(out.size() / 3);
        break;
    case Damage::Deleted:
    case Damage::Emptied:
        out.clear();
        break;
    case Damage::Random:
        for (char& c : out)
            c = char(random());
        break;
    case Damage::BitFlipped:
        // Mostly in the headers, where a flipped bit changes what follows.
        for (int i = 0; i < 12 && !out.empty(); ++i)
        {
            const size_t span = i < 8 ? std::min<size_t>(out.size(), 64) : out.size();
            out[random() % span] ^= char(1u << (random() % 8));
        }
        break;
    }
    return out;
}

uint32_t Seed(const std::string& name)
{
    uint32_t h = 2166136261u;
    for (char c : name)
        h = (h ^ uint8_t(c)) * 16777619u;
    return h;
}

// Files the program opens by name; the rest are the meshes' material
// textures, opened only when their mesh loads.
bool OpenedByName(const std::string& name)
{
    const std::string type = name.substr(name.rfind('.') + 1);
    return type == "x" || type == "sfx" || type == "tga" || name.rfind("sky1-", 0) == 0 ||
           name == "water.tex" || name == "console.tex" || name == "gui.tex";
}
} // namespace

class GameDamagedContent : public GameTest
{
protected:
    // The game's own console background and cursor, so that every file of
    // base/ is one the program opens.
    void SetUp() override
    {
        CopyContent();
        settings.consoleTexture = "./base/console.tex";
        settings.cursorTexture = "./base/gui.tex";
        files = FilesIn(folder.File("base"));
        ASSERT_GT(files.size(), 60u);
    }

    void Damage(const std::string& name, ::Damage how)
    {
        const std::string path = folder.File("base\\" + name);
        if (how == ::Damage::Deleted)
        {
            DeleteFileA(path.c_str());
            return;
        }
        const std::string bytes = Damaged(ReadBinaryFile(path), how, Seed(name));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    // What the texture report says, as the console holds it.
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
    // the report; the names of those that did are returned.
    std::vector<std::string> CheckTextures()
    {
        const std::string log = Log(), report = TextureReport();
        std::vector<std::string> loaded;
        for (int i = 0; i < engine->GetTextureCount(); ++i)
        {
            std::string name;
            engine->GetTextureName(i, name);
            if (name.empty()) continue;
            if (engine->IsTextureLoaded(i))
            {
                loaded.push_back(name);
                continue;
            }
            const std::string bare = name.substr(1, name.size() - 2); // without the quotes
            EXPECT_NE(log.find(bare), std::string::npos) << bare << " failed, unnamed in the log";
            EXPECT_NE(report.find("FAILED " + name), std::string::npos)
                << name << " failed, not so in the report";
        }
        return loaded;
    }

    // A walk, a loss in the sea, Space for a new game, a shutdown that
    // leaves "IsSetup" at 1 (a normal end) and the log's last line written.
    void PlaysRestartsAndQuits(const std::string& what)
    {
        SCOPED_TRACE(what);
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
    }

    std::string LogTail() const
    {
        const std::string log = Log();
        return log.substr(log.size() > 1500 ? log.size() - 1500 : 0);
    }

    std::vector<std::string> files;
};

TEST_F(GameDamagedContent, EveryFileDamagedAtOnceOneWayPerRun)
{
    const std::string whole = folder.File("whole");
    ASSERT_TRUE(CopyFolder(folder.File("base"), whole));
    for (::Damage how : AllWays)
    {
        SCOPED_TRACE(Name(how));
        ASSERT_TRUE(CopyFolder(whole, folder.File("base")));
        for (const std::string& name : files)
            Damage(name, how);
        ASSERT_TRUE(StartGame()) << Name(how) << "\n" << LogTail();
        const std::vector<std::string> loaded = CheckTextures();
        if (how == ::Damage::Deleted || how == ::Damage::Emptied || how == ::Damage::Random)
        {
            // Nothing of this is a picture, a mesh or a sound: every file the
            // game opens by name is named, and the chicken falls into the sea.
            EXPECT_TRUE(loaded.empty()) << loaded.size() << " textures loaded, first " << loaded[0];
            EXPECT_EQ(Scene()->GetChicken()->GetMaterialCount(), 0u);
            EXPECT_EQ(Scene()->GetSplashSound(), -1);
            EXPECT_EQ(Scene()->GetPlayer().body, 0);
            EXPECT_TRUE(FramesUntil([&] { return !Scene()->IsAlive(); }, 600));
            const std::string log = Log();
            for (const std::string& name : files)
            {
                if (!OpenedByName(name)) continue;
                EXPECT_NE(log.find(name), std::string::npos) << name << " unnamed in the log";
            }
        }
        PlaysRestartsAndQuits(Name(how));
        DeleteFileA(folder.File("output.html").c_str());
    }
}

// Long: every file alone, five ways each (about 340 starts of the game).
TEST_F(GameDamagedContent, EachFileDamagedAloneFourWays)
{
    if (!std::getenv("TAV_SOAK")) GTEST_SKIP() << "set TAV_SOAK=1 (make soak)";
    const std::string whole = folder.File("whole");
    ASSERT_TRUE(CopyFolder(folder.File("base"), whole));
    int runs = 0;
    for (const std::string& name : files)
        for (::Damage how : AllWays)
        {
            const std::string what = name + ", " + Name(how);
            ASSERT_TRUE(CopyFolder(whole, folder.File("base")));
            Damage(name, how);
            ASSERT_TRUE(StartGame()) << what << "\n" << LogTail();
            // The game names its own files in the log; a mesh's material
            // texture is named only in the texture report's failures (the
            // pool logs nothing when a load fails).
            if (how == ::Damage::Deleted || how == ::Damage::Emptied)
            {
                const std::string report = TextureReport();
                EXPECT_TRUE(Log().find(name) != std::string::npos ||
                            report.find("Failed: ./base/" + name) != std::string::npos ||
                            report.find("Failed: base/" + name) != std::string::npos)
                    << what << ": unnamed in the log and the texture report";
            }
            CheckTextures();
            PlaysRestartsAndQuits(what);
            DeleteFileA(folder.File("output.html").c_str());
            if (HasFatalFailure()) return;
            ++runs;
        }
    std::printf("damaged files tried: %d starts of the game\n", runs);
}
