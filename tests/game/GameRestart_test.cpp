// Restarting does not leak: the engine frees a scene without running its
// destructor, so Destroy must give back everything, the physics world too.
#include "GameHost.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace
{
// The process's own committed memory (heaps, the physics world, the
// driver's system copies of managed resources), summed over its address
// space: PrivateUsage is not filled in everywhere.
double CommittedMB()
{
    double bytes = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize)
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) bytes += double(info.RegionSize);
    return bytes / (1024 * 1024);
}

double WorkingSetMB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.WorkingSetSize) / (1024 * 1024);
}

// The mean of samples [from, to): single samples swing by a megabyte or two
// with where the allocator happens to stand.
double Mean(const std::vector<double>& v, size_t from, size_t to)
{
    return std::accumulate(v.begin() + from, v.begin() + to, 0.0) / double(to - from);
}

// How many games: 30 here, TAV_RESTARTS in the environment for a soak.
int Restarts()
{
    const char* value = std::getenv("TAV_RESTARTS");
    const int n = value ? std::atoi(value) : 0;
    return n >= 20 ? n : 30;
}
} // namespace

using GameRestart = GameTest;

TEST_F(GameRestart, RestartsThroughTheSpaceKeyKeepTheProcessMemoryFlat)
{
    const int restarts = Restarts();
    const int every = restarts >= 500 ? 100 : 10;
    std::vector<double> committed, workingSet;
    ClipPicture(); // no one looks at these games
    for (int i = 0; i < restarts; ++i)
    {
        ASSERT_TRUE(Settle());
        committed.push_back(CommittedMB());
        workingSet.push_back(WorkingSetMB());
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
    // The games after the first tenth (which fill the pools) against the
    // last fifth.
    const size_t n = size_t(restarts);
    const double early = Mean(committed, n / 10, 3 * n / 10), late = Mean(committed, 4 * n / 5, n);
    const double earlySet = Mean(workingSet, n / 10, 3 * n / 10);
    const double middleSet = Mean(workingSet, 2 * n / 5, 3 * n / 5);
    const double lateSet = Mean(workingSet, 4 * n / 5, n);
    std::printf("memory over %d restarts: committed %.1f -> %.1f MB (%+.2f), "
                "working set %.1f -> %.1f -> %.1f MB\n",
                restarts, early, late, late - early, earlySet, middleSet, lateSet);
    RecordProperty("CommittedGrowthKB", int((late - early) * 1024));
    // One game's meshes, collision mesh and world take several megabytes:
    // leaking any of them in every game would be far above this.
    EXPECT_LT(late - early, 2.0);
    // The working set (which also counts the driver's side and moves by a
    // few megabytes on a loaded machine) may settle during the first games,
    // but then stays put: a game's worth leaked per game would add tens.
    EXPECT_LT(lateSet - middleSet, 8.0);
}
