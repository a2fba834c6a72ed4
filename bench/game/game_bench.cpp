// The game scene's frame at the window's size next to an empty frame (clear
// and present only) measured in the same run, and the time the scene takes
// to load (its Initialize on the loading thread, cold: nothing in the pools).
// Prints:
//   BENCH game-frame <ms> ms ratio=<game/empty> vs empty frame
//   BENCH game-fps <fps> fps
//   BENCH scene-load-ms <ms> ms
#include "Game.h"
#include "GameScene.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
const int WarmUpFrames = 60;
const int FramesPerRound = 150;
const int Rounds = 4;

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The game scene with its loading timed.
class TimedGameScene : public GameScene
{
public:
    explicit TimedGameScene(TAV* engine) : GameScene(engine) {}
    HRESULT Initialize() override
    {
        const double start = Now();
        const HRESULT hr = GameScene::Initialize();
        loadMs = Now() - start;
        return hr;
    }
    static double loadMs;
};
double TimedGameScene::loadMs = 0;

// Draws nothing: the frame is the engine's clear, begin, end and present.
class EmptyScene : public tavScene
{
public:
    explicit EmptyScene(TAV*) {}
    HRESULT Initialize() override { return S_OK; }
    HRESULT Render() override { return S_OK; }
    HRESULT Destroy() override { return S_OK; }
};

bool Pass(TAV& engine)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const bool running = engine.Step();
    engine.tavDSound::Update();
    return running;
}

bool WaitReady(TAV& engine)
{
    for (int i = 0; i < 2000 && !engine.IsSceneReady(); ++i)
        if (!Pass(engine)) return false;
    return engine.IsSceneReady();
}

// Milliseconds per frame over one round.
double Round(TAV& engine)
{
    const double start = Now();
    for (int i = 0; i < FramesPerRound; ++i)
        Pass(engine);
    return (Now() - start) / FramesPerRound;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void WriteConfig()
{
    if (FILE* f = std::fopen("tav.cfg", "wb"))
    {
        std::fputs("[TAV]\nIsSetup=1\nAdapter=0\nDevice=1\nFormat=22\nBackBuffer=22\n"
                   "FullScreen=0\nResolution=-1\nVSync=0\nFilter=2\nChannels=32\n",
                   f);
        std::fclose(f);
    }
}
} // namespace

int main()
{
    WriteConfig();
    Game engine;
    tavSettings settings;
    settings.instance = GetModuleHandleA(nullptr);
    settings.caption = "Gavo Beta frame benchmark";
    settings.consoleTexture = "./base/console.tex";
    settings.cursorTexture = "./base/gui.tex";
    settings.logFile = "./bench-game-output.html";
    if (FAILED(engine.Initialize(settings)))
    {
        std::printf("the engine did not start\n");
        return 1;
    }

    engine.SetNextScene(tavNewScene<TimedGameScene>(&engine));
    if (!WaitReady(engine))
    {
        std::printf("the game scene did not load\n");
        return 1;
    }
    const double loadMs = TimedGameScene::loadMs;
    EmptyScene* empty = tavNewScene<EmptyScene>(&engine);

    // Rounds of the game and of the empty frame in turn, so that both see
    // the same machine; the game scene waits while the empty one runs.
    std::vector<double> gameMs, emptyMs;
    for (int i = 0; i < WarmUpFrames; ++i)
        Pass(engine);
    for (int r = 0; r < Rounds; ++r)
        gameMs.push_back(Round(engine));
    std::printf("game scene: %.0fx%.0f, rounds of %d frames:", double(engine.GetWidth()),
                double(engine.GetHeight()), FramesPerRound);
    for (double ms : gameMs)
        std::printf(" %.2f", ms);
    std::printf(" ms\n");
    engine.SetNextScene(empty);
    if (!WaitReady(engine)) return 1;
    for (int i = 0; i < WarmUpFrames; ++i)
        Pass(engine);
    for (int r = 0; r < Rounds; ++r)
        emptyMs.push_back(Round(engine));
    std::printf("empty frame: rounds of %d frames:", FramesPerRound);
    for (double ms : emptyMs)
        std::printf(" %.2f", ms);
    std::printf(" ms\n");

    const double frame = Median(gameMs), bare = Median(emptyMs);
    std::printf("BENCH game-frame %.2f ms ratio=%.2f vs empty frame\n", frame, frame / bare);
    std::printf("BENCH game-fps %.1f fps\n", 1000.0 / frame);
    std::printf("BENCH scene-load-ms %.0f ms\n", loadMs);
    return 0;
}
