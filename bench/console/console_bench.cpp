// A full console (12 lines of 60 characters, the panel, the prompt and the
// caret) drawn over and over: the draw calls of one frame, counted on the
// device, against the fewest the 50-glyph batches allow, and the CPU time
// the console's Draw takes per frame.
#include "console/tavFont.h"
#include "support/DrawCallCounter.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestFolder.h"

#include <cstdio>
#include <memory>
#include <string>

namespace
{
class BenchEngine : public TAV
{
public:
    HRESULT GameInitialize() override { return S_OK; }
};

const int Lines = 12;
const int Columns = 60;
const int Frames = 300;

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

double ThreadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t)
    { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7; };
    return seconds(kernel) + seconds(user);
}

// One frame of the console alone, in the engine's 2D set-up.
void DrawFrame(BenchEngine& engine)
{
    IDirect3DDevice9* device = engine.GetDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    engine.Begin2D();
    engine.tavConsole::Draw();
    device->EndScene();
}
} // namespace

int main()
{
    TestFolder folder;
    WriteTextFile("tav.cfg", DefaultTestConfig());
    const std::string caption = "TAV Console Bench " + std::to_string(GetCurrentProcessId());
    tavSettings settings;
    settings.caption = caption.c_str();
    settings.instance = GetModuleHandleA(nullptr);
    settings.useSound = false;
    std::unique_ptr<BenchEngine> engine(new BenchEngine());
    if (FAILED(engine->Initialize(settings)))
    {
        std::fprintf(stderr, "console bench: the engine did not start\n");
        return 1;
    }

    // A full screen of lines, every character a glyph.
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int i = 0; i < Lines; ++i)
        engine->Print(alphabet.substr(size_t(i), Columns).c_str(), 0xFFFFFFB8);
    engine->Toggle();

    // The fewest calls: the panel, two batches per 60-glyph line, the
    // prompt and the caret (the input line is empty).
    const int batchesPerLine = (Columns + 49) / 50;
    const long fewest = 1 + Lines * batchesPerLine + 1 + 1;

    DrawCallCounter counter(engine->GetDevice());
    if (!counter.IsHooked())
    {
        std::fprintf(stderr, "console bench: cannot count draw calls on this device\n");
        return 1;
    }
    DrawFrame(*engine);
    counter.Reset();
    DrawFrame(*engine);
    const long calls = counter.Count();

    const double wallStart = Now(), cpuStart = ThreadCpuSeconds();
    double drawSeconds = 0;
    for (int i = 0; i < Frames; ++i)
    {
        IDirect3DDevice9* device = engine->GetDevice();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        engine->Begin2D();
        const double before = Now();
        engine->tavConsole::Draw();
        drawSeconds += Now() - before;
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    const double cpuPerFrame = (ThreadCpuSeconds() - cpuStart) / Frames;
    const double wallPerFrame = (Now() - wallStart) / Frames;

    std::printf("console: %d lines of %d characters, %d frames\n", Lines, Columns, Frames);
    std::printf("console: %ld draw calls per frame, fewest possible %ld\n", calls, fewest);
    std::printf("console: Draw %.1f us per frame; whole frame %.1f us CPU, %.1f us wall\n",
                drawSeconds / Frames * 1e6, cpuPerFrame * 1e6, wallPerFrame * 1e6);
    std::printf("BENCH console-draw-calls %ld calls ratio=%.2f vs fewest possible (%ld)\n", calls,
                double(calls) / double(fewest), fewest);
    std::printf("BENCH console-draw-us %.1f us\n", drawSeconds / Frames * 1e6);
    std::fflush(stdout);
    return calls == fewest ? 0 : 1;
}
