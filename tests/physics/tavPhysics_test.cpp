#include "physics/tavPhysics.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
const float Gravity[3] = {0, -100, 0};
} // namespace

TEST(tavPhysics, CapacityOfTheGameAndBadBodies)
{
    tavPhysics physics;
    EXPECT_EQ(physics.GetWorld(), nullptr);
    ASSERT_TRUE(physics.Create(0, 1, 50, Gravity));
    EXPECT_FALSE(physics.Create(0, 1, 50, Gravity));
    EXPECT_EQ(physics.GetWorld()->GetCapacity(4), 1275); // every pair of the 51 bodies
    tavReportCatcher reports;
    reports.Attach(*physics.GetWorld());
    // Bad bodies take no room, each with a report.
    const float at[3] = {1, 60, 2}, nanAt[3] = {0, NaN, 0};
    for (int32_t bad :
         {physics.AddSphere(nullptr, 20, 5, 0, 0, true),
          physics.AddSphere(nanAt, 20, 5, 0, 0, true), physics.AddSphere(at, 0, 5, 0, 0, true),
          physics.AddSphere(at, 20, 0, 0, 0, true), physics.AddBox(at, 10, -1, 10, 1, 0, 0, true),
          physics.AddCylinder(at, 10, 10, NaN, 0, 0, true),
          physics.AddFixedBox(at, 10, 10, 10, nullptr)}) // no room for fixed ones
        EXPECT_EQ(bad, -1);
    EXPECT_EQ(reports.count, 7);
    EXPECT_EQ(physics.AddBody(nullptr), -1);
    // Room for exactly one kind-0 body and fifty of kind 1.
    EXPECT_EQ(physics.AddSphere(at, 20, 5, 0, 0, false), 0);
    EXPECT_EQ(physics.AddSphere(at, 20, 5, 0, 0, false), -1);
    for (int i = 1; i <= 50; ++i)
        ASSERT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), i);
    EXPECT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), -1);
    EXPECT_EQ(physics.GetBody(1)->GetKind(), 1);
    EXPECT_FLOAT_EQ(physics.GetBody(1)->GetAngularDamping(), 0.0001f);
    EXPECT_EQ(physics.GetBody(51), nullptr);

    float m[16], untouched[16] = {5}, copy[16] = {5};
    physics.GetTransform(0, m, true);
    EXPECT_EQ(m[13], 60.0f);
    physics.GetTransform(51, untouched, true); // no such body, no such fixed body:
    physics.GetTransform(0, untouched, false); // the matrix is left as it was
    EXPECT_EQ(std::memcmp(copy, untouched, sizeof(copy)), 0);
}

// Each step 0.8 to 1.2 times the last and never over 0.02222 s; the first
// only capped; a bad value with no last step refused, with one raised.
TEST(tavPhysics, StepClampsToTheLastStepAndTheCap)
{
    const struct
    {
        std::vector<float> asked, taken; // 0 taken: refused
    } runs[] = {
        {{0.5f}, {0.02222f}},
        {{0.01f, 0.1f, 0.1f, 0.02f, 0.001f}, {0.01f, 0.012f, 0.0144f, 0.01728f, 0.013824f}},
        {{0.02f, 0.001f, 0.03f, 0.03f}, {0.02f, 0.016f, 0.0192f, 0.02222f}},
        {{0, -0.01f, NaN, 0.01f, -1.0f, NaN}, {0, 0, 0, 0.01f, 0.008f, 0}},
    };
    tavPhysics none;
    EXPECT_FALSE(none.Step(0.01f, 0));
    for (const auto& run : runs)
    {
        tavPhysics physics;
        ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
        const float at[3] = {0, 60, 0};
        const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
        double time = 0;
        float last = 0;
        for (size_t i = 0; i < run.asked.size(); ++i)
        {
            EXPECT_EQ(physics.Step(run.asked[i], 0), run.taken[i] > 0) << "step " << i;
            last = run.taken[i] > 0 ? run.taken[i] : last;
            EXPECT_FLOAT_EQ(physics.GetLastStep(), last) << "step " << i;
            time += run.taken[i];
        }
        EXPECT_NEAR(physics.GetWorld()->GetTime(), time, 1e-6);
        EXPECT_LT(PositionOf(*physics.GetBody(ball)).y, 60.0f);
    }
}

TEST(tavPhysics, BoxesCylindersAndFixedBodies)
{
    tavPhysics physics;
    ASSERT_TRUE(physics.Create(2, 0, 2, Gravity));
    const float floorAt[3] = {0, -10, 0}, postAt[3] = {100, 20, 0};
    const float turned[4] = {0, std::sin(0.3f), 0, std::cos(0.3f)};
    EXPECT_EQ(physics.AddFixedBox(floorAt, 400, 20, 400, turned), 0);
    EXPECT_EQ(physics.AddFixedCylinder(postAt, 20, 60, nullptr), 1);
    const float boxAt[3] = {0, 50, 0}, cylinderAt[3] = {-60, 50, 0};
    EXPECT_EQ(physics.AddBox(boxAt, 20, 10, 30, 2, 0, 0, true), 0);
    EXPECT_EQ(physics.AddCylinder(cylinderAt, 20, 40, 1, 0, 0, true), 1);
    for (int i = 0; i < 180; ++i)
        physics.Step(1.0f / 60, 0);
    // The box on its 10-unit side on the fixed box, the cylinder on its end.
    float m[3][16];
    physics.GetTransform(0, m[0], true), physics.GetTransform(1, m[1], true);
    physics.GetTransform(0, m[2], false);
    EXPECT_TRUE(std::fabs(m[0][13] - 5.0f) < 0.1f && std::fabs(m[1][13] - 20.0f) < 0.1f &&
                std::fabs(m[2][0] - std::cos(0.6f)) < 1e-5f && m[2][13] == -10.0f)
        << m[0][13] << " " << m[1][13] << " " << m[2][0] << " " << m[2][13];
}

// Bad triangles are skipped and counted; a mesh with none usable is refused.
TEST(tavPhysics, ConvertingPlainDataFillsTheRecordAndBadTrianglesAreSkipped)
{
    using Vertex = float[8]; // position, normal, texture coordinates
    const Vertex vertices[5] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}, {200, 0, 0}, {NaN, 0, 0}};
    const uint16_t narrow[15] = {0, 2, 1, 0, 1, 3, 0, 1, 4, 0, 1, 5, 2, 2, 1};
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertMesh(vertices, sizeof(Vertex), 5, narrow, false, 5, &record));
    ASSERT_EQ(record.vertexCount, 5);
    ASSERT_EQ(record.triangleCount, 5);
    EXPECT_EQ(record.vertices[3].x, 200.0f);
    const uint32_t expected[2][6] = {{0, 2, 1, 0, 0, 0}, {0, 1, 3, 0, 0, 0}};
    EXPECT_EQ(std::memcmp(record.triangles, expected, sizeof(expected)), 0);
    tavPhysics physics;
    ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
    tavReportCatcher reports;
    reports.Attach(*physics.GetWorld());
    EXPECT_EQ(physics.AddStaticMesh(&record), 0);
    EXPECT_NE(reports.text.find("skipped 4 of 5 triangles (1 with an index out of range, 1 with "
                                "a position that is not finite, 2 without area)"),
              std::string::npos)
        << reports.text;
    record.Release();

    const uint32_t wide[3] = {3, 0, 70000};
    ASSERT_TRUE(tavPhysics::ConvertMesh(vertices, sizeof(Vertex), 4, wide, true, 1, &record));
    EXPECT_EQ(record.triangles[0].index[2], 70000u); // kept, and refused when added
    EXPECT_EQ(physics.AddStaticMesh(&record), -1);
    EXPECT_EQ(physics.AddStaticMesh(nullptr), -1);
    record.Release();
    for (const auto& bad : {std::make_pair((const void*)nullptr, 32u), {vertices, 8u}})
        EXPECT_FALSE(tavPhysics::ConvertMesh(bad.first, bad.second, 4, narrow, false, 2, &record));
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 32, 4, nullptr, false, 2, &record));
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 32, 4, narrow, false, 2, nullptr));
    const float at[3] = {20, 50, 20};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 120; ++i)
        physics.Step(1.0f / 60, 0);
    EXPECT_NEAR(PositionOf(*physics.GetBody(ball)).y, 10.0f, 0.06f); // the good triangle holds it
}

// The game moves its chicken by writing the body's position each frame and
// dropping its horizontal speed; a sphere driven so climbs a 30 degree ramp
// and stands on it, stops at a wall and slides along it, steps up a ledge.
TEST(tavPhysics, AWalkingSphereClimbsRampsSlidesAlongWallsAndStepsUpLedges)
{
    const float rad = 3.14159265f / 180.0f, rise = std::tan(30 * rad) * 400, diagonal = 141.42f;
    tavTestMesh levels[3] = {tavTestMesh(), Floor(1000, 10), Floor(1000, 10)};
    for (int n = 0; n < 3; ++n) // flat, a ramp up 400 along x, flat again
        levels[0].AddGrid(tavVec3(-400.0f + 400 * n, n == 2 ? rise : 0, -200), tavVec3(0, 0, 400),
                          tavVec3(400, n == 1 ? rise : 0, 0), 8, 8);
    levels[1].AddBox(tavVec3(100, 0, -500), tavVec3(140, 100, 500), 4);
    levels[2].AddBox(tavVec3(50, 0, -300), tavVec3(400, 4, 300), 2);
    const tavVec3 starts[3] = {{-100, 10, 0}, {0, 10, 0}, {0, 10, 0}},
                  directions[3] = {{200, 0, 0}, {diagonal, 0, diagonal}, {200, 0, 0}};
    const float seconds[3] = {2.5f, 2.0f, 1.5f};
    tavVec3 end[3];
    for (int n = 0; n < 3; ++n)
    {
        tavPhysics physics;
        physics.Create(0, 1, 50, Gravity), physics.GetWorld()->SetMaterial(0, 5.0f, 0.1f, 0);
        tavTriangleMesh record = levels[n].Record();
        physics.AddStaticMesh(&record);
        record.Release();
        tavRigidBody& body = *physics.GetBody(physics.AddSphere(&starts[n].x, 20, 5, 0, 0, 0));
        // One frame: step, keep upright, drop horizontal speed, walk.
        auto walk = [&](const tavVec3& direction, float time)
        {
            for (float t = 0; t < time; t += 1.0f / 60)
            {
                float q[4], vertical[3] = {0, 0, 0};
                physics.Step(1.0f / 60, 0), body.GetOrientation(q), q[0] = q[2] = 0;
                vertical[1] = VelocityOf(body).y;
                body.SetOrientation(q), body.SetLinearVelocity(vertical);
                const tavVec3 p = PositionOf(body) + direction * (1.0f / 60);
                if (LengthSquared(direction) > 0) body.SetPosition(&p.x);
            }
        };
        walk(tavVec3(), 0.5f); // settle
        walk(directions[n], seconds[n]);
        walk(tavVec3(), 1.0f / 60); // the last step before it is drawn
        end[n] = PositionOf(body);
        walk(tavVec3(), 1.0f); // left alone it stands still, on the slope too
        const tavVec3 settled = PositionOf(body);
        walk(tavVec3(), 4.0f);
        EXPECT_LT(Length(PositionOf(body) - settled), 0.2f) << n;
    }
    // Up the slope each move forward keeps cos^2(30 deg) of itself, and the
    // centre rests one radius from the surface.
    EXPECT_NEAR(end[0].x, 2.0f * 200.0f * 0.75f, 15.0f);
    EXPECT_NEAR(end[0].y, std::tan(30 * rad) * end[0].x + 10.0f / std::cos(30 * rad), 1.5f);
    // At the wall, sliding on barely slowed; up on the ledge.
    EXPECT_TRUE(end[1].x < 90.5f && end[1].x > 88.0f && end[1].z > 0.9f * diagonal * 2.0f &&
                std::fabs(end[1].y - 10.0f) < 0.5f);
    EXPECT_TRUE(end[2].x > 250.0f && std::fabs(end[2].y - 14.0f) < 0.5f);
}
