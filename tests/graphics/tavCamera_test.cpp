// The camera: mouse look and its limits, movement, collision, visibility,
// projection, the listener velocity and the report.
#include "graphics/tavCamera.h"

#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const float Pi = 3.14159265f;

::testing::AssertionResult Near(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f)
{
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
        std::fabs(a.z - b.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

// A camera of its own, without a device: eye at the origin looking down +z,
// perspective as the engine sets it up.
tavCamera LookingAlongZ()
{
    tavCamera camera;
    camera.SetProjection(1.0f, 1000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);
    camera.SetView(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0));
    return camera;
}
} // namespace

TEST(Camera, MouseLookRefusesAPitchOfExactlyTheLimitButStillTurns)
{
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

    // Limits of our own.
    tavCamera narrow = LookingAlongZ();
    narrow.SetPitchLimits(0.2f, -0.2f);
    narrow.Look(0.0f, 300.0f, 1.0f);
    EXPECT_EQ(narrow.GetLastPitchStep(), 0.0f);
    narrow.Look(0.0f, 100.0f, 1.0f);
    EXPECT_FLOAT_EQ(narrow.GetLastPitchStep(), 0.1f);

    // No movement: nothing changes, not even the measured yaw.
    narrow.Look(300.0f, 0.0f, 1.0f); // measures the turns so far
    narrow.Look(0.0f, 50.0f, 1.0f);
    const float yaw = narrow.GetYaw();
    const D3DXVECTOR3 before = narrow.GetTarget();
    narrow.Look(0.0f, 0.0f, 5.0f);
    EXPECT_EQ(narrow.GetTarget(), before);
    EXPECT_EQ(narrow.GetYaw(), yaw);
    EXPECT_FLOAT_EQ(narrow.GetLastPitchStep(), 0.05f);
}

TEST(Camera, BothRotationsTurnTheTargetAlike)
{
    tavCamera quaternion = LookingAlongZ(), formula = LookingAlongZ();
    quaternion.RotateTarget(Pi / 2, 0, 1, 0);
    EXPECT_TRUE(Near(quaternion.GetTarget(), D3DXVECTOR3(1, 0, 0)));

    const float n = 1.0f / std::sqrt(3.0f);
    quaternion.RotateTarget(0.7f, n, n, n);
    formula.RotateTargetAxisAngle(Pi / 2, 0, 1, 0);
    formula.RotateTargetAxisAngle(0.7f, n, n, n);
    EXPECT_TRUE(Near(quaternion.GetTarget(), formula.GetTarget()));
    EXPECT_TRUE(Near(quaternion.GetPosition(), D3DXVECTOR3(0, 0, 0)));
}

TEST(Camera, MovesKeepTheViewDirectionAndSumTheVelocity)
{
    tavCamera camera;
    camera.SetView(D3DXVECTOR3(1, 5, 1), D3DXVECTOR3(4, 1, 5), D3DXVECTOR3(0, 1, 0));
    camera.Apply3D(); // the side vector for Strafe
    D3DXVECTOR3 direction, after;
    camera.GetDirection(direction);
    camera.Walk(1.0f);    // horizontal only: 20 x 0.0001 along (3, 0, 4) / 5
    camera.MoveUp(10.0f); // 10 x 0.0001 up
    camera.GetDirection(after);
    EXPECT_TRUE(Near(direction, after));
    EXPECT_TRUE(Near(camera.GetPosition(), D3DXVECTOR3(1.0012f, 5.001f, 1.0016f)));
    D3DXVECTOR3 velocity;
    camera.GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0.0012f, 0.001f, 0.0016f)));

    camera.Strafe(1.0f);
    D3DXVECTOR3 side;
    camera.GetSide(side);
    EXPECT_NEAR(side.x * side.x + side.y * side.y + side.z * side.z, 1.0f, 1e-5f);
    camera.GetVelocity(velocity);
    EXPECT_NEAR(velocity.x, 0.0012f + side.x * 0.001f, 1e-6f);
    EXPECT_NEAR(velocity.y, 0.001f, 1e-6f); // strafing ignores side.y
}

TEST(Camera, CollidePushesTheEyeOutOfATriangle)
{
    const float triangle[] = {-10, -10, 0, 0, 10, 0, 10, -10, 0};
    tavCamera camera;
    camera.SetView(D3DXVECTOR3(1, 0, -0.5f), D3DXVECTOR3(1, 0, 5), D3DXVECTOR3(0, 1, 0));
    ASSERT_TRUE(camera.Collide(triangle, 3));
    EXPECT_TRUE(Near(camera.GetPosition(), D3DXVECTOR3(1, 0, -1)));
    EXPECT_TRUE(Near(camera.GetTarget(), D3DXVECTOR3(1, 0, 4.5f)));
    EXPECT_FALSE(camera.Collide(triangle, 3)); // now exactly a radius away

    // From the other side the push goes the other way.
    camera.SetView(D3DXVECTOR3(0, 0, 0.25f), D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(0, 1, 0));
    ASSERT_TRUE(camera.Collide(triangle, 3));
    EXPECT_TRUE(Near(camera.GetPosition(), D3DXVECTOR3(0, 0, 1)));

    // Beside the triangle, and near an edge from outside it.
    camera.SetView(D3DXVECTOR3(30, 0, 0.1f), D3DXVECTOR3(30, 0, 5), D3DXVECTOR3(0, 1, 0));
    EXPECT_FALSE(camera.Collide(triangle, 3));
    camera.SetView(D3DXVECTOR3(0, -10.3f, 0.1f), D3DXVECTOR3(0, -10.3f, 5), D3DXVECTOR3(0, 1, 0));
    EXPECT_TRUE(camera.Collide(triangle, 3));

    // Incomplete triangles are not read.
    camera.SetView(D3DXVECTOR3(1, 0, -0.5f), D3DXVECTOR3(1, 0, 5), D3DXVECTOR3(0, 1, 0));
    EXPECT_FALSE(camera.Collide(triangle, 2));
    EXPECT_FALSE(camera.Collide(triangle, 0));
    EXPECT_FALSE(camera.Collide(nullptr, 3));
}

TEST(Camera, VisibilityOfPointsAndSpheres)
{
    const tavCamera camera = LookingAlongZ();
    EXPECT_TRUE(camera.IsPointVisible(D3DXVECTOR3(0, 0, 10)));
    EXPECT_FALSE(camera.IsPointVisible(D3DXVECTOR3(0, 0, 0.5f))); // before the near plane
    EXPECT_FALSE(camera.IsPointVisible(D3DXVECTOR3(0, 0, 2000))); // past the far plane
    EXPECT_FALSE(camera.IsPointVisible(D3DXVECTOR3(50, 0, 10)));

    // Just behind the eye, but reaching past it.
    EXPECT_FALSE(camera.IsPointVisible(D3DXVECTOR3(0, 0, -0.5f)));
    EXPECT_TRUE(camera.IsSphereVisible(D3DXVECTOR3(0, 0, -0.5f), 2.0f));
    const float record[4] = {0, 0, -0.5f, 2.0f};
    EXPECT_TRUE(camera.IsSphereVisible(record));
    EXPECT_FALSE(camera.IsSphereVisible(D3DXVECTOR3(0, 0, -10), 1.0f));
    // The radius is compared in clip units: a wide sphere off to the side.
    EXPECT_TRUE(camera.IsSphereVisible(D3DXVECTOR3(20, 0, 10), 30.0f));
    EXPECT_FALSE(camera.IsSphereVisible(D3DXVECTOR3(50, 0, 10), 1.0f));
}

TEST_F(EngineTest, CameraReportsSummedMovementOnceToTheListener)
{
    ASSERT_EQ(StartEngine(), S_OK);
    engine->SetFixedFrameTime(0.5);
    engine->FrameEnd();
    engine->SetView(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 2), D3DXVECTOR3(0, 1, 0));
    engine->MoveForward(1.0f);
    engine->MoveForward(2.0f);
    D3DXVECTOR3 velocity;
    engine->GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0, 0, 30))); // (1 + 2) x 20 x 0.5 along +z
    EXPECT_TRUE(Near(engine->GetPosition(), D3DXVECTOR3(0, 0, 30)));

    // The headless session has a sound card: the listener hears one frame's
    // displacement, once.
    IDirectSound3DListener* listener = engine->GetListener();
    ASSERT_NE(listener, nullptr) << "no 3D listener: did the sound system start?";
    engine->UpdateListener();
    D3DVECTOR heard = {};
    listener->GetVelocity(&heard);
    EXPECT_TRUE(Near(D3DXVECTOR3(heard.x, heard.y, heard.z), D3DXVECTOR3(0, 0, 30)));
    D3DVECTOR at = {};
    listener->GetPosition(&at);
    EXPECT_EQ(at.z, 30.0f);
    engine->GetVelocity(velocity);
    EXPECT_EQ(velocity, D3DXVECTOR3(0, 0, 0));
    engine->UpdateListener();
    listener->GetVelocity(&heard);
    EXPECT_EQ(heard.z, 0.0f);
}

TEST_F(EngineTest, CameraProjectsToThePixelsOfItsViewport)
{
    ASSERT_EQ(StartEngine(), S_OK);
    engine->SetView(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 screen, back;
    engine->ProjectToScreen(screen, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(screen.x, engine->GetWidth() / 2, 0.5f);
    EXPECT_NEAR(screen.y, engine->GetHeight() / 2, 0.5f);
    engine->ProjectToScreen(screen, D3DXVECTOR3(2, 3, 4));
    engine->UnprojectFromScreen(back, screen);
    EXPECT_TRUE(Near(back, D3DXVECTOR3(2, 3, 4), 1e-2f));

    // 2D set-up: no depth, no lighting, y grows upward.
    ASSERT_EQ(engine->Begin2D(), S_OK);
    DWORD z = 1, zWrite = 1, lighting = 1;
    engine->GetDevice()->GetRenderState(D3DRS_ZENABLE, &z);
    engine->GetDevice()->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    engine->GetDevice()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(z + zWrite + lighting, 0u);
    ASSERT_EQ(engine->Apply3D(), S_OK);
    engine->GetDevice()->GetRenderState(D3DRS_ZENABLE, &z);
    engine->GetDevice()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(z, DWORD(D3DZB_TRUE));
    EXPECT_EQ(lighting, 1u);
}

TEST_F(EngineTest, CameraReportPrintsItsLines)
{
    ASSERT_EQ(StartEngine(), S_OK);
    engine->SetView(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 3, 4), D3DXVECTOR3(0, 1, 0));
    engine->Look(-1000.0f, 0.0f, 1.0f); // yaw measured: 0; then turned
    engine->Look(1.0f, 0.0f, 1.0f);     // yaw measured after the first turn
    const size_t before = engine->GetLines().size();
    engine->ReportPosition();
    std::vector<std::string> lines;
    for (size_t i = before; i < engine->GetLines().size(); ++i)
    {
        lines.push_back(engine->GetLines()[i].text);
        EXPECT_EQ(engine->GetLines()[i].colour, 0xFFFFFFB8u);
    }
    char yaw[64], pitch[64];
    std::snprintf(yaw, sizeof(yaw), "Angle Y: %.3fr / %.3f*", engine->GetYaw(),
                  engine->GetYaw() * 57.29578f);
    std::snprintf(pitch, sizeof(pitch), "Angle X: %.3fr / %.3f*", engine->GetPitch(),
                  engine->GetPitch() * 57.29578f);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "=== Camera Position ===", "Position: (1.000, 2.000, 3.000)", yaw, pitch,
                         "Limit X: Lower: -1.2000, Upper: 1.2000"}));
    EXPECT_STREQ(yaw, "Angle Y: 1.000r / 57.296*");
    EXPECT_STREQ(pitch, "Angle X: 0.785r / 45.000*");
}
