#include "LevelDesign.h"
#include "MeshChecks.h"
#include "RouteWalker.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen;

namespace
{
const Mesh& Level()
{
    static const Mesh level = LevelDesign::Build();
    return level;
}
} // namespace

TEST(LevelDesign, EverySolidIsClosedAndWoundOutward)
{
    for (const MeshPiece& piece : Level().pieces)
        EXPECT_EQ(CheckClosedAndOutward(Level(), piece), "") << piece.name;
}

TEST(LevelDesign, TrianglesAreWellFormedAndFitSixteenBitIndices)
{
    size_t worst = 0;
    const float angle = SmallestAngle(Level(), &worst);
    EXPECT_GE(angle, 12.0f) << "triangle " << worst;
    EXPECT_LT(Level().vertices.size(), 65536u);
    EXPECT_GT(Level().triangles.size(), 3000u);
    EXPECT_LT(Level().triangles.size(), 60000u);
    for (const MeshVertex& v : Level().vertices)
        ASSERT_NEAR(Length(v.normal), 1.0f, 1e-3f);
}

TEST(LevelDesign, FloorsUnderTheStartAndTheEgg)
{
    RouteWalker walker(TriangleCorners(Level()));
    const Vec3 start = LevelDesign::Start;
    const Vec3 egg = LevelDesign::EggPosition;
    const float startFloor = walker.GroundBelow(start.x, start.y, start.z, 100.0f);
    EXPECT_LT(startFloor, 50.0f);
    EXPECT_GT(startFloor, 45.0f);
    EXPECT_NEAR(walker.GroundBelow(egg.x, egg.y, egg.z, 100.0f), 1254.0f, 0.01f);
}

TEST(LevelDesign, RouteWalksFromTheStartToTheEgg)
{
    RouteWalker walker(TriangleCorners(Level()));
    const RouteWalkResult walk =
        walker.Walk(LevelDesign::Start, LevelDesign::Route(), LevelDesign::EggPosition, 60.0f);
    EXPECT_TRUE(walk.reachedEgg) << walk.failure << " at (" << walk.position.x << ", "
                                 << walk.position.y << ", " << walk.position.z << ")";
    EXPECT_FALSE(walk.drowned);
    // Walking and falling only: never more than a walk step plus the fall
    // speed of a frame (no teleporting).
    EXPECT_LT(walk.largestMove, 12.0f);
    EXPECT_GE(walk.jumps, 8);
    RecordProperty("seconds", int(walk.seconds));
    RecordProperty("jumps", walk.jumps);
}

TEST(LevelDesign, TheGapsAndStepsCannotBeWalked)
{
    // The same route with every jump replaced by a walk falls or sticks.
    std::vector<LevelRouteStep> walkOnly = LevelDesign::Route();
    for (LevelRouteStep& step : walkOnly)
        step.kind = LevelRouteStep::Walk;
    RouteWalker walker(TriangleCorners(Level()));
    const RouteWalkResult walk =
        walker.Walk(LevelDesign::Start, walkOnly, LevelDesign::EggPosition, 30.0f);
    EXPECT_FALSE(walk.reachedEgg);
    EXPECT_LT(walk.stepsDone, 5u); // it fails at the first gap, the plaza's north edge
}
