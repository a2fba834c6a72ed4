#include "RouteWalker.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

namespace
{
// A square floor (two triangles) at height `y`, from `x0` to `x1` along x
// and from -1000 to 1000 along z.
void Floor(std::vector<Vec3>& out, float x0, float x1, float y)
{
    const Vec3 a(x0, y, -1000), b(x1, y, -1000), c(x0, y, 1000), d(x1, y, 1000);
    out.insert(out.end(), {a, c, b, b, c, d});
}
} // namespace

TEST(RouteWalker, WalksTwoHundredUnitsPerSecondAndFallsFromEdges)
{
    std::vector<Vec3> level;
    Floor(level, -1000, 1000, 0);
    RouteWalker walker(level);
    // Facing +z at the start, as in the game.
    const RouteWalkResult walk =
        walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 0, 600}}, {0, 10, 5000}, 60.0f);
    EXPECT_EQ(walk.stepsDone, 1u);
    EXPECT_NEAR(walk.seconds, 600.0f / 200.0f, 0.1f);
    EXPECT_NEAR(walk.position.y, 10.0f, 0.5f);
    EXPECT_LT(walk.largestMove, 200.0f / 60.0f + 0.5f);

    const RouteWalkResult off =
        walker.Walk({0, 10, 0}, {{LevelRouteStep::Walk, 1500, 0}}, {0, 10, 5000}, 60.0f);
    EXPECT_TRUE(off.drowned);
}

TEST(RouteWalker, AJumpCarriesAboutEightHundredUnitsAndNoFurther)
{
    // Two floors with a gap between x = 0 and x = gap.
    for (float gap : {700.0f, 900.0f})
    {
        std::vector<Vec3> level;
        Floor(level, -400, 0, 0);
        Floor(level, gap, gap + 1000, 0);
        RouteWalker walker(level);
        const RouteWalkResult walk = walker.Walk(
            {-20, 10, 0}, {{LevelRouteStep::Walk, -15, 0}, {LevelRouteStep::Jump, gap + 300, 0}},
            {gap + 300, 10, 0}, 60.0f);
        EXPECT_EQ(walk.reachedEgg, gap < 800.0f) << gap << ": " << walk.failure;
        EXPECT_EQ(walk.drowned, gap > 800.0f) << gap;
    }
}

TEST(RouteWalker, ClimbsAGentleRampButNotAWall)
{
    // A ramp rising 200 over 800 (14 degrees) up to a landing.
    std::vector<Vec3> level;
    Floor(level, -400, 0, 0);
    const Vec3 a(0, 0, -1000), b(800, 200, -1000), c(0, 0, 1000), d(800, 200, 1000);
    level.insert(level.end(), {a, c, b, b, c, d});
    Floor(level, 800, 1200, 200);
    RouteWalker walker(level);
    const RouteWalkResult up =
        walker.Walk({-100, 10, 0}, {{LevelRouteStep::Walk, 1000, 0}}, {1000, 210, 0}, 60.0f);
    EXPECT_TRUE(up.reachedEgg) << up.failure;

    // A 100-unit step without a jump stops the walk.
    std::vector<Vec3> wall;
    Floor(wall, -400, 0, 0);
    Floor(wall, 0, 400, 100);
    wall.insert(wall.end(), {{0, 0, -1000},
                             {0, 100, -1000},
                             {0, 0, 1000},
                             {0, 0, 1000},
                             {0, 100, -1000},
                             {0, 100, 1000}});
    RouteWalker blocked(wall);
    const RouteWalkResult stuck =
        blocked.Walk({-100, 10, 0}, {{LevelRouteStep::Walk, 200, 0}}, {200, 110, 0}, 5.0f);
    EXPECT_LT(stuck.position.x, 0.0f);
    // A jump pressed against the step sticks to it (friction 5 on the
    // wall); taken from a run-up it clears the step.
    const RouteWalkResult pressed = blocked.Walk(
        {-100, 10, 0}, {{LevelRouteStep::Walk, -12, 0}, {LevelRouteStep::Jump, 200, 0}},
        {200, 110, 0}, 10.0f);
    EXPECT_FALSE(pressed.reachedEgg);
    EXPECT_EQ(pressed.jumps, 1);
    const RouteWalkResult runUp = blocked.Walk(
        {-200, 10, 0}, {{LevelRouteStep::Walk, -100, 0}, {LevelRouteStep::Jump, 200, 0}},
        {200, 110, 0}, 10.0f);
    EXPECT_TRUE(runUp.reachedEgg) << runUp.failure;
}
