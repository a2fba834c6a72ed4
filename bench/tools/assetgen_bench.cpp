// The whole of base/ written into a temporary folder, and the level mesh on
// its own (the largest single piece of work).
#include "AssetGenerator.h"
#include "LevelDesign.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace
{
namespace fs = std::filesystem;
using assetgen::AssetGenerator;
using assetgen::LevelDesign;

double baseSeconds = 0.0;
double levelSeconds = 0.0;

template <typename Work> void Timed(benchmark::State& state, double& seconds, Work work)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        work();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    seconds = spent.count() / double(state.iterations());
}

void GenerateBase(benchmark::State& state)
{
    const fs::path folder = fs::temp_directory_path() / "tav-bench-assetgen";
    fs::create_directories(folder);
    Timed(state, baseSeconds,
          [&]
          {
              AssetGenerator generator;
              std::string error;
              if (!generator.Generate(folder.string(), error)) state.SkipWithError(error.c_str());
          });
    fs::remove_all(folder);
}

void BuildLevel(benchmark::State& state)
{
    Timed(state, levelSeconds, [] { benchmark::DoNotOptimize(LevelDesign::Build()); });
}
} // namespace

BENCHMARK(GenerateBase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BuildLevel)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("BENCH assetgen-base-seconds %.2f s\n", baseSeconds);
    std::printf("BENCH assetgen-level-ms %.1f ms\n", levelSeconds * 1000.0);
    return 0;
}
