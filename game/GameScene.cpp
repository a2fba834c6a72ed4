// The game scene's life: construction, loading on the engine's loading
// thread, and Destroy.
#include "GameScene.h"

#include <cstdio>
#include <new>
#include <string>

namespace
{
// The sea: one quad far past the horizon, its texture repeated ten times.
const tavPrimitiveVertex SeaQuad[4] = {
    {-40000.0f, -2.0f, 40000.0f, 0.0f, 1.0f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {40000.0f, -2.0f, 40000.0f, 0.0f, 1.0f, 0.0f, 0xFFFFFFFF, 10.0f, 0.0f},
    {-40000.0f, -2.0f, -40000.0f, 0.0f, 1.0f, 0.0f, 0xFFFFFFFF, 0.0f, 10.0f},
    {40000.0f, -2.0f, -40000.0f, 0.0f, 1.0f, 0.0f, 0xFFFFFFFF, 10.0f, 10.0f},
};

const float Gravity[3] = {0.0f, -100.0f, 0.0f};

// Sound load priorities: the idle clucks never take a channel from another
// effect; the event sounds may.
const int32_t EventPriority = 4;
const int32_t IdlePriority = 0;

template <typename T> void DeleteOwned(T*& object)
{
    delete object;
    object = nullptr;
}
} // namespace

GameScene::GameScene(TAV* e)
    : engine(e), level(nullptr), eggMesh(nullptr), bloodMesh(nullptr), chicken(nullptr),
      sky(nullptr), water(nullptr), sndSplash(-1), sndJumped(-1), sndPop(-1), nextIdleTime(0),
      alive(true)
{
    egg.position = D3DXVECTOR3(6254.0f, 1264.0f, 7081.0f);
    egg.orientation = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    for (int& idle : sndIdle)
        idle = -1;
    if (engine) nextIdleTime = engine->GetMilliseconds() + uint32_t(engine->RandomInt(300, 750));
}

HRESULT GameScene::Initialize()
{
    // 1. No frame runs while the scene loads, but for one look at the
    //    loading bar half way.
    tavLockGuard frameLock(*engine);
    // 2.-4.
    engine->SetNotify(true);
    engine->SetProjection(0.5f, 40000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);
    BindKeys();
    // 5.-8.
    level = LoadMesh(new (std::nothrow) tavMeshModel(engine), "./base/level.x", "./base/");
    chicken = static_cast<ChickenModel*>(
        LoadMesh(new (std::nothrow) ChickenModel(engine), "./base/chixen.x", "base/"));
    eggMesh = LoadMesh(new (std::nothrow) tavMeshModel(engine), "./base/egg.x", "base/");
    bloodMesh = LoadMesh(new (std::nothrow) tavMeshModel(engine), "./base/blood.x", "base/");
    // 9.-11.
    CreateWorld();
    AddLevelToWorld();
    // 12.
    sky = new (std::nothrow) tavSkyBox(engine);
    if (sky)
    {
        sky->SetRotationSpeed(0.01f);
        sky->Load("./base/sky1-%d.tex");
        for (int face = 0; face < tavSkyBox::FaceCount; ++face)
            if (sky->GetFaceTexture(face) < 0)
                ReportFailure("texture", tavSkyBox::FaceFileName("./base/sky1-%d.tex", face));
    }
    // 13.
    engine->SetColourModulate(0, 0);
    engine->ApplyFilters(1);
    if (tavRigidWorld* world = physics.GetWorld()) world->SetMaterial(0, 5.0f, 0.1f, 0);
    engine->SetFollower(sky ? sky->GetFollowerMatrix() : nullptr);
    engine->SetLoadingProgress(50);
    engine->Leave();
    engine->Enter();
    // 14.-16.
    CreateSea();
    engine->SetLoadingProgress(100);
    // 17.-19.
    LoadCaustics();
    SetUpCausticStage();
    // 20.-21.
    waterBob.Init(-2.0f, 2.0f, 0.0f, 2.0f, true);
    waterSwirl.Init(-0.2f, 0.2f, 0.0f, 0.01f, true);
    // 22.
    LoadSounds();
    // 23.
    engine->WriteValue("Loaded scene ", static_cast<const void*>(this));
    return S_OK;
}

void GameScene::BindKeys()
{
    engine->Bind(DIK_W, ActionForward, 0);
    engine->Bind(DIK_S, ActionBackward, 0);
    engine->Bind(DIK_A, ActionTurnLeft, 0);
    engine->Bind(DIK_D, ActionTurnRight, 0);
    engine->Bind(DIK_SPACE, ActionJump, 1000);
    engine->Bind(DIK_E, ActionNothing, 1000);
    engine->Bind(DIK_ESCAPE, ActionQuit, 0);
}

void GameScene::ReportFailure(const char* what, const std::string& path, bool logged)
{
    if (!logged)
        engine->Write("<font color=\"red\">Failed loading " + std::string(what) + " \"" + path +
                      "\"</font>");
    engine->tavConsole::Printf(0xFFFF0000, "Failed loading %s \"%s\"", what, path.c_str());
}

tavMeshModel* GameScene::LoadMesh(tavMeshModel* model, const char* file, const char* folder)
{
    if (model && !model->LoadFromX(file, folder)) ReportFailure("mesh", file);
    return model;
}

void GameScene::CreateWorld()
{
    physics.Create(0, 1, 50, Gravity);
    // The chicken is the world's first body: handle 0.
    player.position = D3DXVECTOR3(0.0f, 60.0f, 0.0f);
    player.body = physics.AddSphere(&player.position.x, 20.0f, 5.0f, 0.0f, 0.0f, false);
}

void GameScene::AddLevelToWorld()
{
    // The world copies the triangles: the record is ours to free.
    tavTriangleMesh record = {};
    if (level && level->GetMesh() && tavPhysics::ConvertMesh(level, &record))
        physics.AddStaticMesh(&record);
    record.Release();
}

int GameScene::LoadTexture(const char* path)
{
    const int number = engine->LoadTexture(path, 0, 9);
    if (number < 0) ReportFailure("texture", path);
    return number;
}

void GameScene::CreateSea()
{
    water = new (std::nothrow) tavPrimitiveBuffer(engine);
    if (!water) return;
    water->Create(4, 2, SeaQuad);
    water->SetTexture(LoadTexture("base/water.tex"));
}

void GameScene::LoadCaustics()
{
    // The pool numbers new textures in load order, so the frames take
    // consecutive numbers and the animator steps through them one by one.
    // Frames that fail get no number: the range spans those that loaded.
    int first = -1, last = -1;
    for (int d = 0; d < CausticFrames; ++d)
    {
        char name[32];
        std::snprintf(name, sizeof name, "./base/caust%d.tga", d);
        const int number = LoadTexture(name);
        if (number < 0) continue;
        if (first < 0) first = number;
        last = number;
    }
    caustics.Init(uint32_t(first), uint32_t(last), 1, 0, engine->GetMilliseconds(), 33);
}

void GameScene::SetUpCausticStage()
{
    // Stage 1 adds the caustic frame, lit by what stage 0 made of the sea:
    // current + caustic x current.
    IDirect3DDevice9* device = engine->GetDevice();
    if (!device) return;
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
}

int GameScene::LoadSound(const char* path, int32_t priority)
{
    const int handle = engine->LoadSound(path, false, priority);
    // The sound pool logs why.
    if (handle < 0) ReportFailure("sound", path, true);
    return handle;
}

void GameScene::LoadSounds()
{
    sndSplash = LoadSound("./base/splash.sfx", EventPriority);
    sndJumped = LoadSound("./base/jumped.sfx", EventPriority);
    for (int i = 0; i < IdleSounds; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof name, "./base/idle%d.sfx", i + 1);
        sndIdle[i] = LoadSound(name, IdlePriority);
    }
    sndPop = LoadSound("./base/pop.sfx", EventPriority);
}

HRESULT GameScene::Destroy()
{
    // The camera must not keep moving a sky that is gone.
    if (sky) engine->SetFollower(nullptr);
    DeleteOwned(level);
    DeleteOwned(chicken);
    DeleteOwned(sky);
    DeleteOwned(eggMesh);
    DeleteOwned(bloodMesh);
    DeleteOwned(water);
    // No destructor runs on a scene: the world goes here.
    physics.Release();
    return S_OK;
}
