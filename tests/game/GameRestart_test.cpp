// Restarting does not leak: the engine frees a scene without running its
// destructor, so Destroy must give back everything, the physics world too.
#include "GameHost.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

using GameRestart = GameTest;

TEST_F(GameRestart, RestartsThroughTheSpaceKeyKeepTheProcessMemoryFlat)
{
    // 20 games here, TAV_RESTARTS of them in a soak.
    const char* value = std::getenv("TAV_RESTARTS");
    const int restarts = value && std::atoi(value) >= 20 ? std::atoi(value) : 20;
    const int every = restarts >= 500 ? 100 : 10;
    std::vector<double> committed, workingSet;
    ClipPicture();
    for (int i = 0; i < restarts; ++i)
    {
        ASSERT_TRUE(Settle());
        // Committed private memory summed over the address space (PrivateUsage
        // is not filled in everywhere): heaps, the world, managed copies.
        double bytes = 0;
        MEMORY_BASIC_INFORMATION info;
        for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
             at = static_cast<const char*>(info.BaseAddress) + info.RegionSize)
            if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
                bytes += double(info.RegionSize);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        committed.push_back(bytes / (1024 * 1024));
        workingSet.push_back(double(counters.WorkingSetSize) / (1024 * 1024));
        if (i % every == 0)
        {
            std::printf("game %d: committed %.1f MB, working set %.1f MB\n", i, committed.back(),
                        workingSet.back());
            std::fflush(stdout); // a soak's progress shows as it goes
        }
        // Every other game ends at the egg, so the drops come and go too.
        if (i % 2)
            Scene()->GetEgg().position = Scene()->GetPlayer().position;
        else
            Place(D3DXVECTOR3(0.0f, -200.0f, 0.0f));
        Frames(2);
        ASSERT_FALSE(Scene()->IsAlive()) << "restart " << i;
        ASSERT_EQ(Scene()->GetPhysics().GetBodyCount(), i % 2 ? 51u : 1u);
        ASSERT_TRUE(RestartWithSpace()) << "restart " << i;
    }
    // Means (single samples swing by a megabyte or two) after the first tenth,
    // which fills the pools, against the last fifth.
    const size_t n = size_t(restarts);
    auto mean = [](const std::vector<double>& v, size_t from, size_t to)
    { return std::accumulate(v.begin() + from, v.begin() + to, 0.0) / double(to - from); };
    const double early = mean(committed, n / 10, 3 * n / 10), late = mean(committed, 4 * n / 5, n);
    const double middleSet = mean(workingSet, 2 * n / 5, 3 * n / 5);
    const double lateSet = mean(workingSet, 4 * n / 5, n);
    std::printf("memory over %d restarts: committed %.1f -> %.1f MB, working set %.1f -> %.1f MB\n",
                restarts, early, late, middleSet, lateSet);
    RecordProperty("CommittedGrowthKB", int((late - early) * 1024));
    // A game's meshes, collision mesh and world take several megabytes each.
    EXPECT_LT(late - early, 2.0);
    // The working set (the driver's side too, moving by a few megabytes on a
    // loaded machine) may settle early, then stays: a leaked game adds tens.
    EXPECT_LT(lateSet - middleSet, 8.0);
}
