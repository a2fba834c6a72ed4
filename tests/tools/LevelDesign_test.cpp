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

TEST(LevelDesign, EverySolidIsClosedWellFormedAndFitsSixteenBitIndices)
{
    for (const MeshPiece& piece : Level().pieces)
        EXPECT_EQ(CheckClosedAndOutward(Level(), piece), "") << piece.name;
    size_t worst = 0;
    const float angle = SmallestAngle(Level(), &worst);
    EXPECT_GE(angle, 12.0f) << "triangle " << worst;
    EXPECT_LT(Level().vertices.size(), 65536u);
    EXPECT_GT(Level().triangles.size(), 3000u);
    EXPECT_LT(Level().triangles.size(), 60000u);
    for (const MeshVertex& v : Level().vertices)
        ASSERT_NEAR(Length(v.normal), 1.0f, 1e-3f);
}

TEST(LevelDesign, RouteWalksFromTheStartToTheEggAndNotWithoutItsJumps)
{
    RouteWalker walker(TriangleCorners(Level()));
    const Vec3 start = LevelDesign::Start, egg = LevelDesign::EggPosition;
    const float startFloor = walker.GroundBelow(start.x, start.y, start.z, 100.0f);
    EXPECT_LT(startFloor, 50.0f);
    EXPECT_GT(startFloor, 45.0f);
    EXPECT_NEAR(walker.GroundBelow(egg.x, egg.y, egg.z, 100.0f), 1254.0f, 0.01f);

    const RouteWalkResult walk = walker.Walk(start, LevelDesign::Route(), egg, 60.0f);
    EXPECT_TRUE(walk.reachedEgg) << walk.failure << " at (" << walk.position.x << ", "
                                 << walk.position.y << ", " << walk.position.z << ")";
    EXPECT_FALSE(walk.drowned);
    // Walking and falling only: never more than a walk step plus the fall
    // speed of a frame (no teleporting).
    EXPECT_LT(walk.largestMove, 12.0f);
    EXPECT_GE(walk.jumps, 8);
    RecordProperty("seconds", int(walk.seconds));
    RecordProperty("jumps", walk.jumps);

    // Every jump replaced by a walk: it fails at the first gap, the plaza's
    // north edge.
    std::vector<LevelRouteStep> walkOnly = LevelDesign::Route();
    for (LevelRouteStep& step : walkOnly)
        step.kind = LevelRouteStep::Walk;
    const RouteWalkResult stuck = walker.Walk(start, walkOnly, egg, 30.0f);
    EXPECT_FALSE(stuck.reachedEgg);
    EXPECT_LT(stuck.stepsDone, 5u);
}
