// The game loaded and played through its keys in one sitting: every asset and
// device state, a jump and the jumps refused while rising, walking and
// turning, the egg, the sea, the lost game's text, Space and Escape.
#include "GameHost.h"

#include "support/DrawCallCounter.h"
#include "support/TestFiles.h"

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace
{
// One turn event at 60 frames a second: q = (0, 1/60, 0, 1).
const float TurnStep = 2.0f * std::atan(1.0f / 60.0f);
const D3DXVECTOR3 HighUp(0.0f, 3000.0f, 0.0f); // open sky, nothing to touch
const D3DXVECTOR3 Deep(0.0f, -200.0f, 0.0f);

float Horizontal(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Subsets that hold faces: one draw call each.
long DrawnSubsets(tavMeshModel* model)
{
    DWORD entries = 0;
    if (!model || !model->GetMesh()) return 0;
    model->GetMesh()->GetAttributeTable(nullptr, &entries);
    std::vector<D3DXATTRIBUTERANGE> table(entries);
    if (entries) model->GetMesh()->GetAttributeTable(table.data(), &entries);
    long drawn = 0;
    for (const D3DXATTRIBUTERANGE& range : table)
        drawn += range.FaceCount > 0 && range.AttribId < model->GetMaterialCount();
    return drawn;
}

// Red pixels where "Game Over! Press Space!" goes: (400, 800) of the
// 1280 x 1024 layout, y upward, the glyphs rising from 25 below.
int TextCount(const TestImage& image)
{
    const int left = int(400.0f / 1280.0f * float(image.width));
    const int baseline = int(image.height) - int(800.0f / 1024.0f * float(image.height)) + 25;
    return image.Count(left, baseline - 40, left + 500, baseline + 5,
                       [](uint32_t p) {
                           return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 80 &&
                                  (p & 0xFF) < 80;
                       });
}

std::string Address(const void* scene) // as the log writes it
{
    return std::to_string(reinterpret_cast<intptr_t>(scene));
}
} // namespace

using GamePlay = GameTest;

TEST_F(GamePlay, LoadsEveryAssetThenJumpsWalksTurnsBurstsDrownsRestartsAndQuits)
{
    GameScene* scene = Scene();
    auto texture = [&](std::string name) { return engine->FindTexture(name, 0, TAV_TEX_FILE); };
    auto Player = [&]() -> const GameObjectState& { return Scene()->GetPlayer(); };

    // Loading: each asset by its exact path, none failed.
    EXPECT_NE(Log().find("Loaded scene "), std::string::npos);
    EXPECT_EQ(Log().find("Failed loading"), std::string::npos);
    EXPECT_EQ(engine->GetLoadingProgress(), 100.0f);
    EXPECT_EQ(engine->GetFailedCount(), 0u);
    ASSERT_TRUE(scene->GetLevel() && scene->GetChicken() && scene->GetSky() && scene->GetWater());
    EXPECT_NE(scene->GetLevel()->GetMesh(), nullptr);
    EXPECT_EQ(scene->GetLevel()->GetTextureFolder(), "./base/");
    EXPECT_EQ(scene->GetChicken()->GetMaterialCount(), 9u);
    EXPECT_EQ(scene->GetChicken()->GetFileName(), "./base/chixen.x");
    EXPECT_EQ(scene->GetChicken()->GetTextureFolder(), "base/");
    for (tavMeshModel* model : {scene->GetEggMesh(), scene->GetBloodMesh()})
        EXPECT_TRUE(model && model->GetMesh());
    for (int face = 0; face < tavSkyBox::FaceCount; ++face)
        EXPECT_EQ(scene->GetSky()->GetFaceTexture(face),
                  texture("./base/sky1-" + std::to_string(face) + ".tex"));
    EXPECT_TRUE(scene->GetWater()->IsCreated());
    EXPECT_EQ(scene->GetWater()->GetTexture(), texture("base/water.tex"));
    EXPECT_GE(scene->GetWater()->GetTexture(), 0);
    // Eight handles; the idle clucks never steal a channel, the events may.
    std::set<int> handles;
    SoundEntry entry;
    for (int h : {scene->GetSplashSound(), scene->GetJumpedSound(), scene->GetPopSound()})
    {
        ASSERT_TRUE(engine->GetSound(h, entry));
        EXPECT_EQ(entry.priority, 4);
        EXPECT_FALSE(entry.is3D);
        handles.insert(h);
    }
    for (int i = 0; i < GameScene::IdleSounds; ++i)
    {
        ASSERT_TRUE(engine->GetSound(scene->GetIdleSound(i), entry));
        EXPECT_EQ(entry.name, "./base/idle" + std::to_string(i + 1) + ".sfx");
        EXPECT_EQ(entry.priority, 0);
        handles.insert(scene->GetIdleSound(i));
    }
    EXPECT_EQ(handles.size(), 8u);
    // The sea: stage 1 adds the caustic frame lit by stage 0 (current + texture x current).
    IDirect3DDevice9* device = engine->GetDevice();
    const DWORD states[][3] = {{1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD},
                               {1, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                               {1, D3DTSS_COLORARG2, D3DTA_CURRENT},
                               {1, D3DTSS_TEXCOORDINDEX, 0},
                               {0, D3DTSS_COLOROP, D3DTOP_MODULATE}};
    DWORD value = 0;
    for (const auto& s : states)
    {
        device->GetTextureStageState(s[0], D3DTEXTURESTAGESTATETYPE(s[1]), &value);
        EXPECT_EQ(value, s[2]) << "stage " << s[0] << " state " << s[1];
    }
    device->GetSamplerState(1, D3DSAMP_MAGFILTER, &value);
    EXPECT_EQ(value, DWORD(engine->GetFilter(1)));
    D3DXMATRIX projection, expected; // near 0.5, far 40000 (the sea's edge)
    engine->GetProjection(projection);
    D3DXMatrixPerspectiveFovLH(&expected, 0.7853982f, 1.25f, 0.5f, 40000.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(projection.m[i / 4][i % 4], expected.m[i / 4][i % 4]);
    const int caustic = texture("./base/caust0.tga");
    ASSERT_GE(caustic, 0);
    for (int d = 1; d < GameScene::CausticFrames; ++d)
        EXPECT_EQ(texture("./base/caust" + std::to_string(d) + ".tga"), caustic + d) << d;
    EXPECT_EQ(Player().body, 0);
    EXPECT_EQ(scene->GetPhysics().GetBodyCount(), 1u);

    // 150 frames: a caustic frame every 33 ms, wrapping; the chicken lands
    // on the start floor (at 48, the body's radius 10).
    ClipPicture(); // only Picture() draws the whole screen
    std::set<uint32_t> shown;
    for (int i = 0; i < 150; ++i)
    {
        Frame();
        shown.insert(scene->GetCaustics().Current());
    }
    EXPECT_EQ(*shown.begin(), uint32_t(caustic));
    EXPECT_EQ(*shown.rbegin(), uint32_t(caustic + GameScene::CausticFrames - 1));
    EXPECT_EQ(shown.size(), size_t(GameScene::CausticFrames));
    ASSERT_TRUE(Settle()) << "the chicken never came to rest on the start floor";
    const D3DXVECTOR3 home = Player().position;
    EXPECT_NEAR(home.y, 58.0f, 0.5f);
    EXPECT_NEAR(home.x, 0.0f, 0.01f);
    D3DXVECTOR3 eye, target; // the follow camera: 70 up, 270 behind, looking 50 up
    engine->GetPosition(eye);
    engine->GetTarget(target);
    EXPECT_NEAR(eye.y - home.y, 70.0f, 0.01f);
    EXPECT_NEAR(eye.z - home.z, -270.0f, 0.01f);
    EXPECT_NEAR(target.y - home.y, 50.0f, 0.01f);
    const int redBefore = TextCount(Picture());
    EXPECT_LT(redBefore, 20);

    // Space: a jump with its sound (1100 / mass 5), refused while rising.
    Frames(60); // past the binding's first repeat delay
    Hold(DIK_SPACE);
    Frame();
    EXPECT_TRUE(StartedInLastPass(scene->GetJumpedSound()));
    Frame();
    EXPECT_GT(Speed(1), 200.0f);
    EXPECT_LT(Speed(1), 220.0f);
    // The released state on the next poll, the repeat a second later and the
    // third press near the top (about 2.05 s, rising at 15) are all refused.
    float before = Speed(1);
    Frame();
    EXPECT_LT(Speed(1), before);
    EXPECT_FALSE(StartedInLastPass(scene->GetJumpedSound()));
    Frames(58);
    ASSERT_GT(Speed(1), 1.0f);
    before = Speed(1);
    Frames(2);
    EXPECT_LT(Speed(1), before);
    ASSERT_TRUE(FramesUntil([&] { return Speed(1) < 30.0f; }, 120));
    before = Speed(1);
    Frames(30);
    EXPECT_LT(Speed(1), before) << "a press while rising jumped again";
    EXPECT_EQ(StartedSinceLoad(scene->GetJumpedSound()), 1);
    LetGo(DIK_SPACE);
    // A released state on the ground still jumps, without the sound.
    ASSERT_TRUE(Settle(900));
    scene->OnKey(GameScene::ActionJump, TAV_RELEASED);
    Frame();
    EXPECT_GT(Speed(1), 200.0f);
    EXPECT_FALSE(StartedInLastPass(scene->GetJumpedSound()));
    ASSERT_TRUE(Settle(900));

    // W and S walk 200 a second, the legs moving; the release moves once more.
    auto walk = [&](uint8_t key, int frames, int after = 2)
    {
        Hold(key);
        Frames(frames);
        LetGo(key);
        Frames(after);
    };
    const D3DXVECTOR3 start = Player().position;
    Hold(DIK_W);
    Frames(60);
    EXPECT_NEAR(Player().position.z - start.z, 200.0f, 0.5f);
    EXPECT_NE(scene->GetChicken()->walk.Value(), 0.0f) << "the legs did not move";
    LetGo(DIK_W);
    Frames(3);
    EXPECT_NEAR(Player().position.z - start.z, 200.0f + 200.0f / 60, 0.5f);
    EXPECT_NEAR(Player().position.x, start.x, 0.01f);
    EXPECT_EQ(scene->GetChicken()->walk.Value(), 0.0f) << "the release resets the walk";
    walk(DIK_S, 30);
    EXPECT_NEAR(Player().position.z - start.z, 100.0f, 0.5f);
    // E does nothing.
    const D3DXVECTOR3 at = Player().position;
    const D3DXQUATERNION facing = Player().orientation;
    walk(DIK_E, 1);
    EXPECT_TRUE(scene->IsAlive());
    EXPECT_NEAR(Horizontal(Player().position, at), 0.0f, 1e-3f);
    EXPECT_EQ(Player().orientation, facing);
    EXPECT_FALSE(engine->IsQuitting());
    // D turns right and A left, a step a poll; walking follows, the body upright.
    Place(home);
    ASSERT_TRUE(Settle());
    walk(DIK_D, 30);
    EXPECT_NEAR(Heading(), 31 * TurnStep, 1e-3f);
    const D3DXVECTOR3 turned = Player().position;
    walk(DIK_W, 30);
    EXPECT_NEAR(std::atan2(Player().position.x - turned.x, Player().position.z - turned.z),
                31 * TurnStep, 0.01f);
    EXPECT_EQ(Player().orientation.x, 0.0f);
    EXPECT_EQ(Player().orientation.z, 0.0f);
    walk(DIK_A, 61);
    EXPECT_NEAR(Heading(), -31 * TurnStep, 1e-3f);

    // The egg bursts the chicken, hanging still in open sky, only closer than 15.
    {
        DrawCallCounter draws(engine->GetDevice());
        ASSERT_TRUE(draws.IsHooked());
        auto touchEggAt = [&](float distance)
        {
            Place(HighUp);
            Frame();
            const D3DXVECTOR3 p = Player().position;
            scene->GetEgg().position = D3DXVECTOR3(p.x + distance, p.y, p.z);
            Place(p);
            draws.Reset();
            Frame();
            return draws.Count();
        };
        const long aliveDraws = touchEggAt(15.0f);
        EXPECT_TRUE(scene->IsAlive()) << "burst at exactly fifteen";
        EXPECT_EQ(scene->GetPhysics().GetBodyCount(), 1u);
        EXPECT_FALSE(StartedInLastPass(scene->GetPopSound()));
        const long lostDraws = touchEggAt(14.99f);
        ASSERT_FALSE(scene->IsAlive());
        EXPECT_TRUE(StartedInLastPass(scene->GetPopSound()));
        EXPECT_FALSE(StartedInLastPass(scene->GetSplashSound()));
        // The burst comes before the drawing: no egg, no chicken, but fifty
        // drops and the line of text (one batch of glyphs).
        const long chicken = DrawnSubsets(scene->GetChicken());
        ASSERT_EQ(chicken, 9);
        EXPECT_EQ(lostDraws, aliveDraws - DrawnSubsets(scene->GetEggMesh()) - chicken +
                                 50 * DrawnSubsets(scene->GetBloodMesh()) + 1);
    }
    // Handles 1 to 50: drops of mass 1 around the chicken that fly up, then fall.
    const D3DXVECTOR3 burstAt = Player().position;
    tavPhysics& physics = scene->GetPhysics();
    ASSERT_EQ(physics.GetBodyCount(), 51u);
    EXPECT_EQ(physics.GetBody(0)->GetKind(), 0);
    float p[3];
    auto meanHeight = [&]
    {
        float sum = 0;
        for (uint32_t h = 1; h <= 50; ++h)
        {
            physics.GetBody(h)->GetPosition(p);
            sum += p[1];
        }
        return sum / 50;
    };
    for (uint32_t h = 1; h <= 50; ++h)
    {
        ASSERT_NE(physics.GetBody(h), nullptr);
        EXPECT_EQ(physics.GetBody(h)->GetKind(), 1);
        EXPECT_FLOAT_EQ(physics.GetBody(h)->GetMass(), 1.0f);
        physics.GetBody(h)->GetPosition(p);
        EXPECT_LT(Horizontal(D3DXVECTOR3(p[0], p[1], p[2]), burstAt), 10.0f);
    }
    const float burst = meanHeight();
    Frames(30);
    const float up = meanHeight();
    EXPECT_GT(up, burst + 20.0f);
    Frames(150);
    EXPECT_LT(meanHeight(), up - 100.0f);

    // Space after a loss: a fresh game, its chicken the only body, high up,
    // and the log saying the old scene went.
    auto spaceStartsAFreshGame = [&]
    {
        GameScene* old = Scene();
        Hold(DIK_SPACE);
        Frame();
        LetGo(DIK_SPACE);
        EXPECT_FALSE(engine->IsSceneReady()) << "Space queued no new game";
        ASSERT_TRUE(WaitForNewScene(old));
        scene = Scene();
        EXPECT_TRUE(scene->IsAlive());
        EXPECT_EQ(Player().body, 0);
        ASSERT_NE(scene->GetPhysics().GetWorld(), nullptr);
        EXPECT_EQ(scene->GetPhysics().GetBodyCount(), 1u);
        scene->GetPhysics().GetBody(0)->GetPosition(p);
        EXPECT_GT(p[1], 40.0f);
        std::string missing;
        EXPECT_TRUE(ContainsInOrder(
            Log(), {"Destroyed scene " + Address(old), "Loaded scene " + Address(scene)}, &missing))
            << "log lacks " << missing;
        ASSERT_TRUE(Settle()) << "the chicken of the fresh game never came to rest";
    };
    spaceStartsAFreshGame();
    ASSERT_FALSE(HasFatalFailure());
    const float z = Player().position.z; // its keys are bound: W walks
    walk(DIK_W, 30, 1);
    EXPECT_NEAR(Player().position.z - z, 31 * 200.0f / 60, 0.5f);

    // Backwards into the sea: a splash, no blood, the text; the eye that went
    // under stays 10 above where it was, looking at the body.
    Hold(DIK_S);
    ASSERT_TRUE(FramesUntil([&] { return !scene->IsAlive(); }, 1200));
    LetGo(DIK_S);
    EXPECT_TRUE(StartedInLastPass(scene->GetSplashSound()));
    EXPECT_FALSE(StartedInLastPass(scene->GetPopSound()));
    const D3DXVECTOR3 body = Player().position;
    EXPECT_LT(body.y + 70.0f, 0.0f);
    engine->GetPosition(eye);
    engine->GetTarget(target);
    EXPECT_LT(eye.y, 10.0f);
    EXPECT_GE(eye.y, 0.0f);
    const D3DXVECTOR3 apart = target - body; // the held S moved the body once more
    EXPECT_LT(D3DXVec3Length(&apart), 200.0f / 60 + 0.01f);
    EXPECT_EQ(scene->GetPhysics().GetBodyCount(), 1u) << "no blood in the sea";
    const int redLost = TextCount(Picture());
    EXPECT_GT(redLost, 200) << "no red text where \"Game Over! Press Space!\" goes";
    EXPECT_GT(redLost, redBefore + 150);
    // The clucks stop, their timer runs on.
    auto clucks = [&]
    {
        int n = 0;
        for (int i = 0; i < GameScene::IdleSounds; ++i)
            n += StartedSinceLoad(scene->GetIdleSound(i));
        return n;
    };
    const int clucksBefore = clucks();
    EXPECT_GT(clucksBefore, 0) << "no idle cluck while the chicken lived";
    std::set<uint32_t> timers;
    for (int i = 0; i < 180; ++i, Frame())
        timers.insert(scene->GetNextIdleTime());
    EXPECT_GE(timers.size(), 3u);
    EXPECT_EQ(clucks(), clucksBefore);

    // The egg under the sea and the chicken at it: eye under water and egg
    // in reach in the same frame. The egg wins.
    spaceStartsAFreshGame();
    ASSERT_FALSE(HasFatalFailure());
    scene->GetEgg().position = Deep;
    Place(Deep);
    Frame();
    ASSERT_FALSE(scene->IsAlive());
    EXPECT_TRUE(StartedInLastPass(scene->GetPopSound()));
    EXPECT_FALSE(StartedInLastPass(scene->GetSplashSound()));
    EXPECT_EQ(scene->GetPhysics().GetBodyCount(), 51u);
    Frames(30);
    EXPECT_EQ(StartedSinceLoad(scene->GetSplashSound()), 0);

    // Every mesh, texture and sound in base/ loads, so nothing there is dead
    // or broken; the texture report then says none failed.
    const std::string base = folder.File("base");
    EXPECT_EQ(FilesIn(base, "*.x").size(), 4u);
    for (const std::string& name : FilesIn(base, "*.x"))
    {
        tavMeshModel model(engine.get());
        EXPECT_TRUE(model.LoadFromX(("./base/" + name).c_str(), "./base/")) << name;
        EXPECT_TRUE(model.GetMesh() && model.GetMaterialCount() > 0) << name;
    }
    size_t textures = 0;
    for (const char* pattern : {"*.tex", "*.tga"})
        for (const std::string& name : FilesIn(base, pattern))
        {
            EXPECT_GE(engine->LoadTexture(("./base/" + name).c_str()), 0) << name;
            ++textures;
        }
    EXPECT_GE(textures, 6u + 1u + 32u + 2u + 8u); // sky, sea, caustics, console, GUI, materials
    EXPECT_EQ(FilesIn(base, "*.sfx").size(), 8u);
    for (const std::string& name : FilesIn(base, "*.sfx"))
        EXPECT_GE(engine->LoadSound(("./base/" + name).c_str(), false, 0), 0) << name;
    engine->ReportTexturePool();
    bool reported = false;
    for (const ConsoleLine& line : engine->GetLines())
    {
        EXPECT_EQ(line.text.find("FAILED"), std::string::npos) << line.text;
        reported = reported || line.text == "0 textures failed to load.";
    }
    EXPECT_TRUE(reported) << "the texture report does not say that none failed";

    // Escape quits.
    Hold(DIK_ESCAPE);
    EXPECT_FALSE(Frame() && Frame());
    EXPECT_TRUE(engine->IsQuitting());
}
