// The camera: mouse look and its limits, movement, collision, visibility,
// projection and the listener velocity.
#include "RenderCheck.h"

#include "graphics/tavCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace
{
::testing::AssertionResult Near(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f)
{
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
        std::fabs(a.z - b.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

// Eye at `eye` looking down +z, perspective as the engine sets it up.
tavCamera LookingAlongZ(const D3DXVECTOR3& eye = D3DXVECTOR3(0, 0, 0))
{
    tavCamera camera;
    camera.SetProjection(1.0f, 1000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);
    camera.SetView(eye, eye + D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0));
    return camera;
}
} // namespace

TEST(Camera, MouseLookStopsShortOfThePitchLimitMovesCollideAndVisibilityUsesClipSpace)
{
    // Mouse look refuses a pitch of exactly the limit but still turns.
    for (float dy : {1200.0f, -1200.0f})
    {
        tavCamera camera = LookingAlongZ();
        camera.Look(100.0f, dy, 1.0f);
        D3DXVECTOR3 direction;
        camera.GetDirection(direction);
        EXPECT_EQ(direction.y, 0.0f) << dy; // no pitch at all
        EXPECT_EQ(camera.GetLastPitchStep(), 0.0f) << dy;
        // Yaw by 100 x -0.001 radians about +y.
        EXPECT_TRUE(Near(direction, D3DXVECTOR3(std::sin(-0.1f), 0, std::cos(-0.1f))));
        EXPECT_NEAR(camera.MeasureYaw(), -0.1f, 1e-5f);
        EXPECT_EQ(camera.GetYaw(), 0.0f); // measured before this turn
    }
    // Just inside the limit the pitch is taken, about direction x up.
    tavCamera camera = LookingAlongZ();
    camera.Look(0.0f, 1199.0f, 1.0f);
    EXPECT_FLOAT_EQ(camera.GetLastPitchStep(), 1.199f);
    D3DXVECTOR3 axis;
    camera.GetPitchAxis(axis);
    EXPECT_TRUE(Near(axis, D3DXVECTOR3(-1, 0, 0)));
    EXPECT_NEAR(std::fabs(camera.GetPitch()), 1.199f, 1e-3f);
    camera = LookingAlongZ(); // limits of our own
    camera.SetPitchLimits(0.2f, -0.2f);
    camera.Look(0.0f, 300.0f, 1.0f);
    EXPECT_EQ(camera.GetLastPitchStep(), 0.0f);
    camera.Look(300.0f, 100.0f, 1.0f);
    EXPECT_FLOAT_EQ(camera.GetLastPitchStep(), 0.1f);
    // Moves keep the view direction.
    camera = tavCamera();
    camera.SetView(D3DXVECTOR3(1, 5, 1), D3DXVECTOR3(4, 1, 5), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 direction, after, velocity;
    camera.GetDirection(direction);
    camera.Walk(1.0f);    // horizontal only: 20 x 0.0001 along (3, 0, 4) / 5
    camera.MoveUp(10.0f); // 10 x 0.0001 up
    camera.GetDirection(after);
    EXPECT_TRUE(Near(direction, after));
    EXPECT_TRUE(Near(camera.GetPosition(), D3DXVECTOR3(1.0012f, 5.001f, 1.0016f)));
    camera.GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0.0012f, 0.001f, 0.0016f)));
    // The eye is pushed a radius (1) away from the triangle from either side; beside it,
    // nothing; near an edge from outside, a push; fewer than three corners, nothing.
    const float triangle[] = {-10, -10, 0, 0, 10, 0, 10, -10, 0};
    const std::tuple<D3DXVECTOR3, int, bool, D3DXVECTOR3> collisions[] = {
        {{1, 0, -0.5f}, 3, true, {1, 0, -1}},         {{1, 0, -1}, 3, false, {1, 0, -1}},
        {{0, 0, 0.25f}, 3, true, {0, 0, 1}},          {{30, 0, 0.1f}, 3, false, {30, 0, 0.1f}},
        {{0, -10.3f, 0.1f}, 3, true, {0, -10.3f, 1}}, {{1, 0, -0.5f}, 2, false, {1, 0, -0.5f}},
        {{1, 0, -0.5f}, 0, false, {1, 0, -0.5f}}}; // eye, corners read, pushed, eye after
    for (const auto& [eye, corners, pushed, after] : collisions)
    {
        SCOPED_TRACE(testing::Message() << eye.x << ", " << eye.y << ", " << eye.z);
        camera.SetView(eye, eye + D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(0, 1, 0));
        ASSERT_EQ(camera.Collide(triangle, corners), pushed);
        EXPECT_TRUE(Near(camera.GetPosition(), after));
        EXPECT_TRUE(Near(camera.GetTarget(), after + D3DXVECTOR3(0, 0, 5)));
    }
    EXPECT_FALSE(camera.Collide(nullptr, 3));
    // Before the near plane, past the far one, off to the side; a sphere just behind the
    // eye reaching past it; the radius in clip units.
    const tavCamera looking = LookingAlongZ();
    EXPECT_TRUE(looking.IsPointVisible(D3DXVECTOR3(0, 0, 10)));
    for (const D3DXVECTOR3& point : {D3DXVECTOR3(0, 0, 0.5f), D3DXVECTOR3(0, 0, 2000),
                                     D3DXVECTOR3(50, 0, 10), D3DXVECTOR3(0, 0, -0.5f)})
        EXPECT_FALSE(looking.IsPointVisible(point)) << point.x << ", " << point.z;
    const float record[4] = {0, 0, -0.5f, 2.0f};
    EXPECT_TRUE(looking.IsSphereVisible(record));
    EXPECT_FALSE(looking.IsSphereVisible(D3DXVECTOR3(0, 0, -10), 1.0f));
    EXPECT_TRUE(looking.IsSphereVisible(D3DXVECTOR3(20, 0, 10), 30.0f));
    EXPECT_FALSE(looking.IsSphereVisible(D3DXVECTOR3(50, 0, 10), 1.0f));
}

TEST_F(GraphicsTest, CameraMovesTheListenerOnceAndProjectsToItsViewport)
{
    engine->SetFixedFrameTime(0.5);
    engine->FrameEnd();
    engine->SetView(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 2), D3DXVECTOR3(0, 1, 0));
    engine->MoveForward(1.0f);
    engine->MoveForward(2.0f);
    D3DXVECTOR3 velocity;
    engine->GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0, 0, 30))); // (1 + 2) x 20 x 0.5 along +z
    EXPECT_TRUE(Near(engine->GetPosition(), D3DXVECTOR3(0, 0, 30)));
    // The headless session has a sound card: the listener hears one frame's move, once.
    IDirectSound3DListener* listener = engine->GetListener();
    ASSERT_NE(listener, nullptr) << "no 3D listener: did the sound system start?";
    engine->UpdateListener();
    D3DVECTOR heard = {}, at = {};
    listener->GetVelocity(&heard);
    listener->GetPosition(&at);
    EXPECT_TRUE(Near(D3DXVECTOR3(heard.x, heard.y, at.z), D3DXVECTOR3(0, 0, 30)));
    EXPECT_EQ(heard.z, 30.0f);
    engine->GetVelocity(velocity);
    EXPECT_EQ(velocity, D3DXVECTOR3(0, 0, 0));
    engine->UpdateListener();
    listener->GetVelocity(&heard);
    EXPECT_EQ(heard.z, 0.0f);
    engine->SetView(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 screen;
    engine->ProjectToScreen(screen, D3DXVECTOR3(0, 0, 0));
    EXPECT_TRUE(
        Near(screen, D3DXVECTOR3(engine->GetWidth() / 2, engine->GetHeight() / 2, screen.z), 0.5f));
}
