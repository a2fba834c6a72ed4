// A base/ folder with assets missing or corrupt still starts the game,
// names what failed in the log and the texture report, and never crashes.
#include "GameHost.h"

#include "support/TestFiles.h"

#include <fstream>

namespace
{
const char* const Meshes[] = {"level.x", "chixen.x", "egg.x", "blood.x"};
const char* const Sounds[] = {"splash.sfx", "jumped.sfx", "idle1.sfx", "idle2.sfx",
                              "idle3.sfx",  "idle4.sfx",  "idle5.sfx", "pop.sfx"};

std::vector<std::string> Textures()
{
    std::vector<std::string> names = {"water.tex"};
    for (int d = 0; d < 6; ++d)
        names.push_back("sky1-" + std::to_string(d) + ".tex");
    for (int d = 0; d < 32; ++d)
        names.push_back("caust" + std::to_string(d) + ".tga");
    return names;
}

std::vector<std::string> AllAssets()
{
    std::vector<std::string> names(std::begin(Meshes), std::end(Meshes));
    names.insert(names.end(), std::begin(Sounds), std::end(Sounds));
    for (const std::string& t : Textures())
        names.push_back(t);
    return names;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The start of the file only, as a copy cut short would leave it.
void Truncate(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadBinaryFile(path);
    WriteBytes(path, std::string(bytes.begin(), bytes.begin() + bytes.size() / 3));
}
} // namespace

class GameBadInput : public GameTest
{
protected:
    void SetUp() override { CopyContent(); }

    std::string Base(const std::string& name) const { return folder.File("base\\" + name); }

    // Plays on: frames, a walk, a loss and a restart, whatever loaded.
    void PlaysOnAndRestarts()
    {
        Frames(30);
        Hold(DIK_W);
        Frames(30);
        LetGo(DIK_W);
        Place(D3DXVECTOR3(0.0f, -200.0f, 0.0f));
        Frames(2);
        ASSERT_FALSE(Scene()->IsAlive());
        Picture();
        GameScene* old = Scene();
        old->OnKey(GameScene::ActionJump, TAV_PRESSED);
        ASSERT_TRUE(WaitForNewScene(old));
        Frames(30);
        EXPECT_EQ(engine->GetRunState(), 1);
    }
};

TEST_F(GameBadInput, AnEmptyBaseFolderStartsAnEmptyGameAndNamesEveryFile)
{
    for (const std::string& name : AllAssets())
        DeleteFileA(Base(name).c_str());
    ASSERT_TRUE(StartGame());
    const std::string log = Log();
    for (const char* mesh : Meshes)
        EXPECT_NE(log.find("Failed loading mesh \"./base/" + std::string(mesh) + "\""),
                  std::string::npos)
            << mesh;
    for (const char* sound : Sounds)
        EXPECT_NE(log.find(std::string(sound)), std::string::npos) << sound;
    for (const std::string& texture : Textures())
        EXPECT_NE(log.find(texture + "\""), std::string::npos) << texture;
    // The texture report names the same.
    EXPECT_EQ(engine->GetFailedCount(), 39u);
    GameScene* scene = Scene();
    EXPECT_EQ(scene->GetChicken()->GetMaterialCount(), 0u);
    EXPECT_EQ(scene->GetSplashSound(), -1);
    EXPECT_EQ(scene->GetPlayer().body, 0);

    // Nothing to stand on: the chicken falls into the sea.
    ASSERT_TRUE(FramesUntil([&] { return !Scene()->IsAlive(); }, 600));
    PlaysOnAndRestarts();
}

TEST_F(GameBadInput, CorruptFilesLoadAsFailuresOrNotAtAllWithoutACrash)
{
    // Every kind of damage somewhere: cut short, emptied, overwritten with
    // text, and a header that promises more than the file holds.
    Truncate(Base("level.x"));
    WriteBytes(Base("chixen.x"), "xof 0303txt 0032\nMesh { 99999999; 1.0; 2.0;");
    WriteBytes(Base("egg.x"), "");
    WriteBytes(Base("blood.x"), std::string(5000, '\xFF'));
    Truncate(Base("water.tex"));
    WriteBytes(Base("sky1-0.tex"), "not a picture at all");
    WriteBytes(Base("sky1-3.tex"), "");
    Truncate(Base("caust0.tga"));
    WriteBytes(Base("caust31.tga"), std::string(18, '\0'));
    Truncate(Base("splash.sfx"));
    WriteBytes(Base("pop.sfx"), "RIFF\xFF\xFF\xFF\x7FWAVEfmt ");
    std::string idle(44, '\0');
    idle[40] = '\xFF', idle[41] = '\xFF', idle[42] = '\xFF', idle[43] = '\x7F'; // 2 GB of data
    WriteBytes(Base("idle2.sfx"), idle);

    ASSERT_TRUE(StartGame());
    const std::string log = Log();
    for (const char* broken : {"./base/chixen.x", "./base/egg.x", "./base/blood.x"})
        EXPECT_NE(log.find("Failed loading mesh \"" + std::string(broken) + "\""),
                  std::string::npos)
            << broken;
    for (const char* broken : {"sky1-0.tex", "sky1-3.tex"})
        EXPECT_NE(log.find(broken), std::string::npos) << broken;
    for (const char* broken : {"pop.sfx", "idle2.sfx"})
        EXPECT_NE(log.find(broken), std::string::npos) << broken;
    EXPECT_GE(engine->GetFailedCount(), 2u);
    EXPECT_TRUE(Scene()->IsAlive());
    PlaysOnAndRestarts();
}
