// The game moves its chicken by writing the body's position each frame and
// zeroing its horizontal velocity; these tests drive a sphere the same way.

#include "physics/tavPhysics.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const float Gravity[3] = {0, -100, 0};
const float Frame = 1.0f / 60.0f;
const float Degrees = 3.14159265f / 180.0f;

struct Walker
{
    tavPhysics physics;
    int32_t body = -1;

    explicit Walker(const tavTestMesh& level, const tavVec3& start)
    {
        physics.Create(0, 1, 50, Gravity);
        physics.GetWorld()->SetMaterial(0, 5.0f, 0.1f, 0);
        tavTriangleMesh record = level.Record();
        physics.AddStaticMesh(&record);
        record.Release();
        const float at[3] = {start.x, start.y, start.z};
        body = physics.AddSphere(at, 20, 5, 0, 0, false);
    }
    tavRigidBody& Body() { return *physics.GetBody((uint32_t)body); }
    tavVec3 Position() { return PositionOf(Body()); }

    // One frame of the game: step, keep upright, drop horizontal speed, then
    // walk by `direction` (units per second) for the frame.
    void Tick(const tavVec3& direction)
    {
        physics.Step(Frame, 0);
        float q[4];
        Body().GetOrientation(q);
        const float upright[4] = {0, q[1], 0, q[3]};
        Body().SetOrientation(upright);
        const tavVec3 v = VelocityOf(Body());
        const float vertical[3] = {0, v.y, 0};
        Body().SetLinearVelocity(vertical);
        if (LengthSquared(direction) > 0)
        {
            const tavVec3 p = Position() + direction * Frame;
            const float moved[3] = {p.x, p.y, p.z};
            Body().SetPosition(moved);
        }
    }
    void Walk(const tavVec3& direction, float seconds)
    {
        for (float t = 0; t < seconds; t += Frame)
            Tick(direction);
    }
    // Settle, walk, and take the last step before it is drawn.
    tavVec3 SettleAndWalk(const tavVec3& direction, float seconds)
    {
        Walk(tavVec3(), 0.5f);
        Walk(direction, seconds);
        Tick(tavVec3());
        return Position();
    }
};

// Flat ground for x < 0, then a ramp rising at `angle` along +x up to 400
// wide, then a platform.
tavTestMesh Ramp(float angle)
{
    const float run = 400, rise = std::tan(angle) * run;
    tavTestMesh m;
    m.AddGrid(tavVec3(-400, 0, -200), tavVec3(0, 0, 400), tavVec3(400, 0, 0), 8, 8);
    m.AddGrid(tavVec3(0, 0, -200), tavVec3(0, 0, 400), tavVec3(run, rise, 0), 8, 8);
    m.AddGrid(tavVec3(run, rise, -200), tavVec3(0, 0, 400), tavVec3(400, 0, 0), 8, 8);
    return m;
}
} // namespace

TEST(tavPhysicsWalk, ClimbsAThirtyDegreeRampAndStandsStillOnIt)
{
    Walker walker(Ramp(30 * Degrees), tavVec3(-100, 10, 0));
    const tavVec3 p = walker.SettleAndWalk(tavVec3(200, 0, 0), 2.5f); // onto the ramp and up
    // 0.5 s to the foot of the ramp, then the slope takes cos^2(30 deg) of
    // each move forward (the rest goes into lifting).
    EXPECT_NEAR(p.x, 2.0f * 200.0f * 0.75f, 15.0f);
    // Resting on the slope: centre one radius from the surface.
    const float surface = std::tan(30 * Degrees) * p.x;
    EXPECT_NEAR(p.y, surface + 10.0f / std::cos(30 * Degrees), 1.5f);
    // Left alone there it stands still.
    walker.Walk(tavVec3(), 1.0f);
    const tavVec3 settled = walker.Position();
    walker.Walk(tavVec3(), 4.0f);
    EXPECT_LT(Length(walker.Position() - settled), 0.2f);
}

TEST(tavPhysicsWalk, StopsAtAWallAndSlidesAlongIt)
{
    tavTestMesh m = Floor(1000, 10);
    m.AddBox(tavVec3(100, 0, -500), tavVec3(140, 100, 500), 4);
    Walker walker(m, tavVec3(0, 10, 0));
    const float diagonal = 200.0f * std::sqrt(0.5f);
    const tavVec3 p = walker.SettleAndWalk(tavVec3(diagonal, 0, diagonal), 2.0f);
    EXPECT_LT(p.x, 90.5f);
    EXPECT_GT(p.x, 88.0f);
    EXPECT_GT(p.z, 0.9f * diagonal * 2.0f); // sliding on, barely slowed
    EXPECT_NEAR(p.y, 10.0f, 0.5f);
}

TEST(tavPhysicsWalk, StepsUpASmallLedge)
{
    tavTestMesh m = Floor(1000, 10);
    m.AddBox(tavVec3(50, 0, -300), tavVec3(400, 4, 300), 2);
    Walker walker(m, tavVec3(0, 10, 0));
    const tavVec3 p = walker.SettleAndWalk(tavVec3(200, 0, 0), 1.5f);
    EXPECT_GT(p.x, 250.0f);
    EXPECT_NEAR(p.y, 14.0f, 0.5f);
}
