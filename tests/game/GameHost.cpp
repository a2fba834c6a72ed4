#include "GameHost.h"

#include <algorithm>
#include <cmath>

namespace
{
// Actions of the key poll go to the current scene.
class SceneListener final : public tavInputMap::tavListener
{
public:
    explicit SceneListener(TAV& e) : engine(e) {}
    void OnAction(uint32_t action, int32_t state) override
    {
        if (tavScene* scene = engine.GetScene()) scene->OnKey(action, state);
    }
    bool OnLeftButton(bool) override { return false; }

private:
    TAV& engine;
};
} // namespace

bool CopyFolder(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do
    {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string source = from + "\\" + name, target = to + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyFolder(source, target) && ok;
        else
            ok = CopyFileA(source.c_str(), target.c_str(), FALSE) && ok;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

void GameTest::SetUp()
{
    CopyContent();
    ASSERT_TRUE(StartGame()) << "the game scene did not load";
}

void GameTest::CopyContent()
{
    settings.consoleTexture = "./base/console.tex"; // as the game's own start
    settings.cursorTexture = "./base/gui.tex";
    ASSERT_TRUE(CopyFolder(TAV_TEST_BASE_DIR, folder.File("base"))) << TAV_TEST_BASE_DIR;
}

bool GameTest::StartGame()
{
    if (FAILED(StartEngine())) return false;
    engine->SetFixedFrameTime(1.0 / 60.0);
    engine->SetNextScene(tavNewScene<GameScene>(engine.get()));
    return FramesUntil([this] { return engine->IsSceneReady(); }, 1200);
}

void GameTest::ClipPicture()
{
    IDirect3DDevice9* device = engine->GetDevice();
    const RECT corner = {0, 0, 16, 16};
    device->SetScissorRect(&corner);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
}

bool GameTest::Frame()
{
    const bool running = Pump();
    engine->tavDSound::Update();
    PollKeys();
    WatchSounds();
    return running;
}

void GameTest::Frames(int count)
{
    for (int i = 0; i < count; ++i)
        Frame();
}

bool GameTest::FramesUntil(const std::function<bool()>& done, int limit)
{
    for (int i = 0; i < limit; ++i)
    {
        if (done()) return true;
        if (!Frame()) return done();
    }
    return done();
}

bool GameTest::Settle(int limit)
{
    int still = 0;
    return FramesUntil(
        [&]
        {
            still = std::fabs(Speed(1)) < 1.0f ? still + 1 : 0;
            return still >= 10;
        },
        limit);
}

bool GameTest::WaitForNewScene(tavScene* old, int limit)
{
    return FramesUntil(
        [&] { return engine->IsSceneReady() && engine->GetScene() && engine->GetScene() != old; },
        limit);
}

bool GameTest::RestartWithSpace()
{
    tavScene* old = Scene();
    Hold(DIK_SPACE);
    const bool queued = FramesUntil([&] { return !engine->IsSceneReady(); }, 180);
    LetGo(DIK_SPACE);
    return queued && WaitForNewScene(old);
}

void GameTest::PollKeys()
{
    // As the engine: only a ready scene hears keys, with the bindings it made.
    if (!engine->IsSceneReady() || !engine->GetScene()) return;
    if (engine->GetScene() != boundScene)
    {
        keys = engine->GetInputMap();
        boundScene = engine->GetScene();
        startedAll.clear(); // counted from the load of each game
    }
    SceneListener listener(*engine);
    keys.BeginPoll();
    keys.Fire(keyboard, nullptr, nullptr, engine->GetMilliseconds(), listener);
}

void GameTest::Place(const D3DXVECTOR3& at)
{
    tavRigidBody* body = Scene()->GetPhysics().GetBody(uint32_t(Scene()->GetPlayer().body));
    ASSERT_NE(body, nullptr);
    const float still[3] = {0, 0, 0};
    body->SetPosition(&at.x);
    body->SetLinearVelocity(still);
    body->SetAngularVelocity(still);
}

float GameTest::Heading() const
{
    const D3DXQUATERNION& q = Scene()->GetPlayer().orientation;
    return 2.0f * std::atan2(q.y, q.w);
}

void GameTest::WatchSounds()
{
    started.clear();
    std::vector<IDirectSoundBuffer8*> now;
    for (const SoundChannel& channel : engine->GetPlaying())
    {
        if (!channel.buffer) continue;
        now.push_back(channel.buffer);
        if (std::find(seen.begin(), seen.end(), channel.buffer) != seen.end()) continue;
        DSBCAPS caps = {};
        caps.dwSize = sizeof caps;
        int sound = -1;
        SoundEntry entry;
        if (SUCCEEDED(channel.buffer->GetCaps(&caps)))
            for (size_t h = 0; h < engine->GetSoundCount() && sound < 0; ++h)
                if (engine->GetSound(int(h), entry) && entry.dataSize == caps.dwBufferBytes)
                    sound = int(h);
        started.push_back(sound);
    }
    seen.swap(now);
    startedAll.insert(startedAll.end(), started.begin(), started.end());
}

int GameTest::StartedSinceLoad(int handle) const
{
    return int(std::count(startedAll.begin(), startedAll.end(), handle));
}

bool GameTest::StartedInLastPass(int handle) const
{
    return handle >= 0 && std::find(started.begin(), started.end(), handle) != started.end();
}

TestImage GameTest::Picture()
{
    IDirect3DDevice9* device = engine->GetDevice();
    TestImage image;
    DWORD clipped = FALSE; // the whole picture even after ClipPicture
    device->GetRenderState(D3DRS_SCISSORTESTENABLE, &clipped);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    Scene()->Render();
    device->EndScene();
    ReadBackBuffer(device, image);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, clipped);
    return image;
}
