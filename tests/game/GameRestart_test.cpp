// Restarting does not leak: the engine frees a scene without running its
// destructor, so Destroy must give back everything, the physics world too.
#include "GameHost.h"

#include <psapi.h>

#include <cstdio>
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
} // namespace

using GameRestart = GameTest;

TEST_F(GameRestart, FiftyRestartsKeepTheProcessMemoryFlat)
{
    const int Restarts = 50;
    std::vector<double> committed, workingSet;
    ClipPicture(); // no one looks at these games
    for (int i = 0; i < Restarts; ++i)
    {
        ASSERT_TRUE(Settle());
        committed.push_back(CommittedMB());
        workingSet.push_back(WorkingSetMB());
        // Every other game ends at the egg, so the drops come and go too.
        if (i % 2)
            Scene()->GetEgg().position = Scene()->GetPlayer().position;
        else
            Place(D3DXVECTOR3(0.0f, -200.0f, 0.0f));
        Frames(2);
        ASSERT_FALSE(Scene()->IsAlive()) << "restart " << i;
        ASSERT_EQ(Scene()->GetPhysics().GetBodyCount(), i % 2 ? 51u : 1u);
        GameScene* old = Scene();
        Scene()->OnKey(GameScene::ActionJump, TAV_PRESSED);
        ASSERT_TRUE(WaitForNewScene(old)) << "restart " << i;
    }
    // Games 5 to 14 against games 40 to 49 (the first few fill the pools).
    const double early = Mean(committed, 5, 15), late = Mean(committed, 40, 50);
    const double earlySet = Mean(workingSet, 5, 15), lateSet = Mean(workingSet, 40, 50);
    const double middleSet = Mean(workingSet, 20, 30);
    std::printf("memory over %d restarts: committed %.1f -> %.1f MB (%+.2f), "
                "working set %.1f -> %.1f -> %.1f MB\n",
                Restarts, early, late, late - early, earlySet, middleSet, lateSet);
    RecordProperty("CommittedGrowthKB", int((late - early) * 1024));
    // One game's meshes, collision mesh and world take several megabytes:
    // leaking any of them 35 times over would be far above this.
    EXPECT_LT(late - early, 2.0);
    // The working set (which also counts the driver's side) may settle
    // during the first games, but then stays put.
    EXPECT_LT(lateSet - middleSet, 4.0);
}
