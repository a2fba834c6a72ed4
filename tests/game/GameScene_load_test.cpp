// Loading the game: every asset with its exact path and settings, the
// device states, the caustics, the physics world and the camera, and every
// file of base/ loading through the engine.
#include "GameHost.h"

#include <set>
#include <string>
#include <vector>

namespace
{
int TextureNumber(TAV& engine, const std::string& name)
{
    std::string key = name;
    return engine.FindTexture(key, 0, TAV_TEX_FILE);
}
} // namespace

using GameLoad = GameTest;

TEST_F(GameLoad, EveryAssetLoadsTheDeviceIsSetUpAndTheChickenLandsOnTheStartFloor)
{
    GameScene* scene = Scene();
    EXPECT_NE(Log().find("Loaded scene "), std::string::npos);
    EXPECT_EQ(Log().find("Failed loading"), std::string::npos);
    EXPECT_EQ(engine->GetLoadingProgress(), 100.0f);

    // Meshes, with the chicken's nine animated subsets.
    ASSERT_NE(scene->GetLevel(), nullptr);
    EXPECT_NE(scene->GetLevel()->GetMesh(), nullptr);
    EXPECT_EQ(scene->GetLevel()->GetTextureFolder(), "./base/");
    ASSERT_NE(scene->GetChicken(), nullptr);
    EXPECT_EQ(scene->GetChicken()->GetMaterialCount(), 9u);
    EXPECT_EQ(scene->GetChicken()->GetFileName(), "./base/chixen.x");
    EXPECT_EQ(scene->GetChicken()->GetTextureFolder(), "base/");
    for (tavMeshModel* model : {scene->GetEggMesh(), scene->GetBloodMesh()})
    {
        ASSERT_NE(model, nullptr);
        EXPECT_NE(model->GetMesh(), nullptr);
    }

    // Textures: none failed; the sky and the sea have theirs.
    EXPECT_EQ(engine->GetFailedCount(), 0u);
    ASSERT_NE(scene->GetSky(), nullptr);
    for (int face = 0; face < tavSkyBox::FaceCount; ++face)
        EXPECT_EQ(scene->GetSky()->GetFaceTexture(face),
                  TextureNumber(*engine, "./base/sky1-" + std::to_string(face) + ".tex"));
    ASSERT_NE(scene->GetWater(), nullptr);
    EXPECT_TRUE(scene->GetWater()->IsCreated());
    EXPECT_EQ(scene->GetWater()->GetTexture(), TextureNumber(*engine, "base/water.tex"));
    EXPECT_GE(scene->GetWater()->GetTexture(), 0);

    // Sounds: eight different handles, the idle ones never stealing a channel.
    std::set<int> handles;
    for (int h : {scene->GetSplashSound(), scene->GetJumpedSound(), scene->GetPopSound()})
    {
        SoundEntry entry;
        ASSERT_TRUE(engine->GetSound(h, entry));
        EXPECT_EQ(entry.priority, 4);
        EXPECT_FALSE(entry.is3D);
        handles.insert(h);
    }
    for (int i = 0; i < GameScene::IdleSounds; ++i)
    {
        SoundEntry entry;
        ASSERT_TRUE(engine->GetSound(scene->GetIdleSound(i), entry));
        EXPECT_EQ(entry.name, "./base/idle" + std::to_string(i + 1) + ".sfx");
        EXPECT_EQ(entry.priority, 0);
        handles.insert(scene->GetIdleSound(i));
    }
    EXPECT_EQ(handles.size(), 8u);

    // The sea: stage 1 adds the caustic frame lit by stage 0, current +
    // texture x current.
    IDirect3DDevice9* device = engine->GetDevice();
    const struct
    {
        DWORD stage, state, value;
    } states[] = {{1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD},
                  {1, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                  {1, D3DTSS_COLORARG2, D3DTA_CURRENT},
                  {1, D3DTSS_TEXCOORDINDEX, 0},
                  {0, D3DTSS_COLOROP, D3DTOP_MODULATE}};
    for (const auto& s : states)
    {
        DWORD value = 0;
        device->GetTextureStageState(s.stage, D3DTEXTURESTAGESTATETYPE(s.state), &value);
        EXPECT_EQ(value, s.value) << "stage " << s.stage << " state " << s.state;
    }
    DWORD filter = 0;
    device->GetSamplerState(1, D3DSAMP_MAGFILTER, &filter);
    EXPECT_EQ(filter, DWORD(engine->GetFilter(1)));
    // The game's own projection: near 0.5, far 40000 (the sea's edge).
    D3DXMATRIX projection, expected;
    engine->GetProjection(projection);
    D3DXMatrixPerspectiveFovLH(&expected, 0.7853982f, 1.25f, 0.5f, 40000.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(projection.m[i / 4][i % 4], expected.m[i / 4][i % 4]);

    // The caustic frames have consecutive numbers from the first.
    const int first = TextureNumber(*engine, "./base/caust0.tga");
    ASSERT_GE(first, 0);
    for (int d = 1; d < GameScene::CausticFrames; ++d)
        EXPECT_EQ(TextureNumber(*engine, "./base/caust" + std::to_string(d) + ".tga"), first + d)
            << "frame " << d;

    // The chicken is the world's first and only body.
    tavPhysics& physics = scene->GetPhysics();
    ASSERT_NE(physics.GetWorld(), nullptr);
    EXPECT_EQ(scene->GetPlayer().body, 0);
    EXPECT_EQ(physics.GetBodyCount(), 1u);
    EXPECT_EQ(physics.GetBody(0)->GetKind(), 0);
    EXPECT_FLOAT_EQ(physics.GetBody(0)->GetMass(), 5.0f);
    EXPECT_FLOAT_EQ(physics.GetBody(0)->GetShape()->GetRadius(), 10.0f);

    // Over 150 frames: one caustic frame every 33 ms of the engine clock,
    // wrapping after the last; meanwhile the chicken lands on the level
    // (the start floor is at 48) instead of falling through.
    ClipPicture();
    const tavFrameAnimator& caustics = scene->GetCaustics();
    std::set<uint32_t> shown;
    for (int i = 0; i < 150; ++i)
    {
        Frame();
        shown.insert(caustics.Current());
    }
    EXPECT_EQ(*shown.begin(), uint32_t(first));
    EXPECT_EQ(*shown.rbegin(), uint32_t(first + GameScene::CausticFrames - 1));
    EXPECT_EQ(shown.size(), size_t(GameScene::CausticFrames));
    ASSERT_TRUE(Settle());
    EXPECT_NEAR(scene->GetPlayer().position.y, 58.0f, 0.5f);
    EXPECT_NEAR(scene->GetPlayer().position.x, 0.0f, 0.01f);
    EXPECT_TRUE(scene->IsAlive());
    // The follow camera: 70 above and 270 behind, looking 50 above it.
    D3DXVECTOR3 eye, target;
    engine->GetPosition(eye);
    engine->GetTarget(target);
    EXPECT_NEAR(eye.y - scene->GetPlayer().position.y, 70.0f, 0.01f);
    EXPECT_NEAR(eye.z - scene->GetPlayer().position.z, -270.0f, 0.01f);
    EXPECT_NEAR(target.y - scene->GetPlayer().position.y, 50.0f, 0.01f);

    // Not only what the game asks for: every mesh, texture and sound the
    // content holds loads, so nothing in base/ is dead or broken.
    const std::string base = folder.File("base");
    const std::vector<std::string> meshes = FilesIn(base, "*.x");
    EXPECT_EQ(meshes.size(), 4u);
    for (const std::string& name : meshes)
    {
        tavMeshModel model(engine.get());
        EXPECT_TRUE(model.LoadFromX(("./base/" + name).c_str(), "./base/")) << name;
        EXPECT_NE(model.GetMesh(), nullptr) << name;
        EXPECT_GT(model.GetMaterialCount(), 0u) << name;
    }
    size_t textures = 0;
    for (const char* pattern : {"*.tex", "*.tga"})
        for (const std::string& name : FilesIn(base, pattern))
        {
            EXPECT_GE(engine->LoadTexture(("./base/" + name).c_str()), 0) << name;
            ++textures;
        }
    // Six sky faces, the sea, 32 caustic frames, console, GUI and the
    // textures the models name.
    EXPECT_GE(textures, 6u + 1u + 32u + 2u + 8u);
    const std::vector<std::string> sounds = FilesIn(base, "*.sfx");
    EXPECT_EQ(sounds.size(), 8u);
    for (const std::string& name : sounds)
        EXPECT_GE(engine->LoadSound(("./base/" + name).c_str(), false, 0), 0) << name;
    engine->ReportTexturePool();
    bool reported = false;
    for (const ConsoleLine& line : engine->GetLines())
    {
        EXPECT_EQ(line.text.find("FAILED"), std::string::npos) << line.text;
        reported = reported || line.text == "0 textures failed to load.";
    }
    EXPECT_TRUE(reported) << "the texture report does not say that none failed";
}
