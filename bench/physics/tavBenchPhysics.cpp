// One step of the game's scene (the level, the chicken and a burst of fifty
// drops, over the first ten seconds after the burst) in our library and in
// Bullet, and the same with 200 and 1000 drops. Ends with the BENCH lines.

#include "tavBenchScene.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace
{
typedef tavBenchWorld* (*Maker)(const tavBenchScene&);

const tavBenchScene& Scene(int drops)
{
    static std::map<int, std::unique_ptr<tavBenchScene>> scenes;
    std::unique_ptr<tavBenchScene>& s = scenes[drops];
    if (!s)
        s.reset(new tavBenchScene(drops));
    return *s;
}

// One iteration is the ten seconds after the burst; the time reported is
// per step.
void RunScene(benchmark::State& state, Maker make)
{
    const tavBenchScene& scene = Scene((int)state.range(0));
    for (auto _ : state)
    {
        state.PauseTiming();
        std::unique_ptr<tavBenchWorld> world(make(scene));
        state.ResumeTiming();
        for (int f = 0; f < tavBenchScene::Frames; ++f)
            world->Frame();
        state.PauseTiming();
        world.reset();
        state.ResumeTiming();
    }
    state.counters["us_per_step"] = benchmark::Counter(
        (double)state.iterations() * tavBenchScene::Frames,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

// Where the drops ended up in each engine: the two must simulate the same
// kind of outcome for their times to be comparable.
void PrintOutcome(const char* engine, Maker make)
{
    const tavBenchScene& scene = Scene(50);
    std::unique_ptr<tavBenchWorld> world(make(scene));
    for (int f = 0; f < tavBenchScene::Frames; ++f)
        world->Frame();
    int onLevel = 0;
    float spread = 0;
    for (int i = 1; i <= (int)scene.drops.size(); ++i)
    {
        const tavVec3 p = world->Position(i);
        onLevel += p.y > -100.0f;
        spread += Length(tavVec3(p.x - scene.chicken.x, 0, p.z - scene.chicken.z));
    }
    std::printf("scene check (%s): %d of 50 drops still on the level after 10 s, mean distance "
                "from the burst %.0f units\n",
                engine, onLevel, spread / (float)scene.drops.size());
}

void Ours(benchmark::State& state) { RunScene(state, MakeOurWorld); }
void Bullet(benchmark::State& state) { RunScene(state, MakeBulletWorld); }

// Processor time: the machines are shared, and both engines run on one thread.
BENCHMARK(Ours)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Bullet)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);

// Keeps the microseconds per step of every run.
class Collector : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> microseconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            microseconds[r.benchmark_name()] =
                r.GetAdjustedCPUTime() * 1000.0 / tavBenchScene::Frames;
    }
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    const struct
    {
        const char* name;
        int drops;
    } figures[] = {{"physics-game-scene-step", 50},
                   {"physics-scene-step-200", 200},
                   {"physics-scene-step-1000", 1000}};
    std::printf("\n");
    PrintOutcome("ours", MakeOurWorld);
    PrintOutcome("Bullet", MakeBulletWorld);
    for (const auto& f : figures)
    {
        const std::string arg = "/" + std::to_string(f.drops);
        const double ours = collector.microseconds["Ours" + arg];
        const double bullet = collector.microseconds["Bullet" + arg];
        if (ours > 0 && bullet > 0)
            std::printf("BENCH %s %.1f us ratio=%.2f vs Bullet\n", f.name, ours, ours / bullet);
    }
    return 0;
}
