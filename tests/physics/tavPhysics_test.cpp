#include "physics/tavPhysics.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace
{
const float Gravity[3] = {0, -100, 0};
const float NaN = std::numeric_limits<float>::quiet_NaN();

struct tavPhysicsTest : ::testing::Test
{
    tavPhysics physics;
    tavReportCatcher reports;
    void SetUp() override
    {
        ASSERT_TRUE(physics.Create(0, 1, 50, Gravity));
        reports.Attach(*physics.GetWorld());
    }
};
} // namespace

TEST(tavPhysicsCreate, CapacityRecordOfTheGame)
{
    tavPhysics physics;
    EXPECT_EQ(physics.GetWorld(), nullptr);
    EXPECT_EQ(physics.GetLastStep(), 0.0f);
    ASSERT_TRUE(physics.Create(0, 1, 50, Gravity));
    EXPECT_EQ(physics.GetWorld()->GetCapacity(4), 1275); // every pair of the 51 bodies
    EXPECT_FALSE(physics.Create(0, 1, 50, Gravity));
    EXPECT_EQ(physics.GetWorld()->GetGravity().y, -100.0f);

    // Room for exactly one kind-0 body and fifty of kind 1.
    const float at[3] = {0, 60, 0};
    EXPECT_EQ(physics.AddSphere(at, 20, 5, 0, 0, false), 0);
    EXPECT_EQ(physics.AddSphere(at, 20, 5, 0, 0, false), -1);
    for (int i = 1; i <= 50; ++i)
        ASSERT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), i);
    EXPECT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), -1);
}

// Each step at most 1.2 and at least 0.8 times the last, and never over the
// cap of 0.02222 s; the first only capped.
TEST(tavPhysicsStep, StepClampsToTheLastStepAndTheCap)
{
    const struct
    {
        std::vector<float> asked, taken;
    } runs[] = {
        {{0.5f}, {0.02222f}},
        {{0.01f, 0.1f, 0.1f, 0.02f, 0.001f}, {0.01f, 0.012f, 0.0144f, 0.01728f, 0.013824f}},
        {{0.02f, 0.001f, 0.03f, 0.03f}, {0.02f, 0.016f, 0.0192f, 0.02222f}},
    };
    for (const auto& run : runs)
    {
        tavPhysics physics;
        ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
        double time = 0;
        for (size_t i = 0; i < run.asked.size(); ++i)
        {
            ASSERT_TRUE(physics.Step(run.asked[i], 0));
            EXPECT_FLOAT_EQ(physics.GetLastStep(), run.taken[i]) << "step " << i;
            time += run.taken[i];
        }
        EXPECT_NEAR(physics.GetWorld()->GetTime(), time, 1e-6);
    }
}

TEST(tavPhysicsStep, StepsThatComeOutEmptyAreRefused)
{
    tavPhysics physics;
    EXPECT_FALSE(physics.Step(0.01f, 0)); // no world
    ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
    tavReportCatcher reports;
    reports.Attach(*physics.GetWorld());
    const float at[3] = {0, 60, 0};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    EXPECT_FALSE(physics.Step(0, 0));
    EXPECT_FALSE(physics.Step(-0.01f, 0));
    EXPECT_FALSE(physics.Step(NaN, 0));
    EXPECT_EQ(physics.GetLastStep(), 0.0f);
    EXPECT_EQ(physics.GetWorld()->GetTime(), 0.0);
    EXPECT_EQ(reports.count, 3);
    // With a last step, a bad value is raised to 0.8 of it and runs.
    ASSERT_TRUE(physics.Step(0.01f, 0));
    EXPECT_TRUE(physics.Step(-1.0f, 0));
    EXPECT_FLOAT_EQ(physics.GetLastStep(), 0.008f);
    EXPECT_FALSE(physics.Step(NaN, 0));
    EXPECT_FLOAT_EQ(physics.GetLastStep(), 0.008f);
    float p[3];
    physics.GetBody(ball)->GetPosition(p);
    EXPECT_LT(p[1], 60.0f);
}

TEST_F(tavPhysicsTest, HandlesTransformsAndBadBodies)
{
    const float at[3] = {1, 60, 2};
    EXPECT_EQ(physics.AddSphere(at, 20, 5, 0, 0, false), 0);
    EXPECT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), 1);
    EXPECT_EQ(physics.GetBody(1)->GetKind(), 1);
    EXPECT_FLOAT_EQ(physics.GetBody(1)->GetAngularDamping(), 0.0001f);
    EXPECT_EQ(physics.GetBody(2), nullptr);
    EXPECT_EQ(physics.AddBody(nullptr), -1);
    EXPECT_EQ(physics.AddFixedBody(nullptr), -1);

    float m[16];
    physics.GetTransform(0, m, true);
    EXPECT_EQ(m[13], 60.0f);
    // No such body, or no such fixed body: the matrix is left as it was.
    float untouched[16] = {5}, copy[16] = {5};
    physics.GetTransform(2, untouched, true);
    physics.GetTransform(0, untouched, false);
    EXPECT_EQ(std::memcmp(copy, untouched, sizeof(copy)), 0);

    // Bad bodies take no room, each with a report.
    const int before = reports.count;
    const float nanAt[3] = {0, NaN, 0};
    EXPECT_EQ(physics.AddSphere(nullptr, 20, 5, 0, 0, true), -1);
    EXPECT_EQ(physics.AddSphere(nanAt, 20, 5, 0, 0, true), -1);
    EXPECT_EQ(physics.AddSphere(at, 0, 5, 0, 0, true), -1);
    EXPECT_EQ(physics.AddSphere(at, 20, 0, 0, 0, true), -1);
    EXPECT_EQ(physics.AddSphere(at, 20, -5, 0, 0, true), -1);
    EXPECT_EQ(physics.AddBox(at, 10, -1, 10, 1, 0, 0, true), -1);
    EXPECT_EQ(physics.AddCylinder(at, 10, 10, NaN, 0, 0, true), -1);
    EXPECT_EQ(physics.AddFixedBox(at, 10, 10, 10, nullptr), -1); // no room for fixed bodies
    EXPECT_EQ(reports.count - before, 8);
    EXPECT_EQ(physics.GetWorld()->GetBodyCount(), 2u);
    EXPECT_EQ(physics.AddSphere(at, 20, 1, 0.0001f, 0, true), 2);
}

TEST(tavPhysicsShapes, BoxesCylindersAndFixedBodies)
{
    tavPhysics physics;
    ASSERT_TRUE(physics.Create(2, 0, 2, Gravity));
    const float floorAt[3] = {0, -10, 0};
    const float turned[4] = {0, std::sin(0.3f), 0, std::cos(0.3f)};
    EXPECT_EQ(physics.AddFixedBox(floorAt, 400, 20, 400, turned), 0);
    const float postAt[3] = {100, 20, 0};
    EXPECT_EQ(physics.AddFixedCylinder(postAt, 20, 60, nullptr), 1);
    const float boxAt[3] = {0, 50, 0}, cylinderAt[3] = {-60, 50, 0};
    EXPECT_EQ(physics.AddBox(boxAt, 20, 10, 30, 2, 0, 0, true), 0);
    EXPECT_EQ(physics.AddCylinder(cylinderAt, 20, 40, 1, 0, 0, true), 1);
    for (int i = 0; i < 180; ++i)
        physics.Step(1.0f / 60, 0);
    float m[16];
    physics.GetTransform(0, m, true);
    EXPECT_NEAR(m[13], 5.0f, 0.1f); // resting on its 10-unit side on the fixed box
    physics.GetTransform(1, m, true);
    EXPECT_NEAR(m[13], 20.0f, 0.1f); // the cylinder stands on its end
    physics.GetTransform(0, m, false);
    EXPECT_NEAR(m[0], std::cos(0.6f), 1e-5f);
    EXPECT_EQ(m[13], -10.0f);
}

TEST(tavPhysicsConvert, PlainDataFillsTheRecord)
{
    struct Vertex
    {
        float p[3], n[3], uv[2];
    } vertices[4] = {
        {{0, 0, 0}, {}, {}}, {{1, 2, 3}, {}, {}}, {{4, 5, 6}, {}, {}}, {{7, 8, 9}, {}, {}}};
    const uint16_t narrow[6] = {0, 1, 2, 2, 1, 3};
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertMesh(vertices, sizeof(Vertex), 4, narrow, false, 2, &record));
    ASSERT_EQ(record.vertexCount, 4);
    ASSERT_EQ(record.triangleCount, 2);
    EXPECT_EQ(record.vertices[3].x, 7.0f);
    EXPECT_EQ(record.vertices[3].z, 9.0f);
    const uint32_t expected[2][6] = {{0, 1, 2, 0, 0, 0}, {2, 1, 3, 0, 0, 0}};
    EXPECT_EQ(std::memcmp(record.triangles, expected, sizeof(expected)), 0);
    record.Release();
    EXPECT_EQ(record.triangles, nullptr);

    const uint32_t wide[3] = {3, 0, 70000};
    ASSERT_TRUE(tavPhysics::ConvertMesh(vertices, sizeof(Vertex), 4, wide, true, 1, &record));
    EXPECT_EQ(record.triangles[0].index[2], 70000u); // kept, and refused when added
    tavPhysics physics;
    ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
    tavReportCatcher reports;
    reports.Attach(*physics.GetWorld());
    EXPECT_EQ(physics.AddStaticMesh(&record), -1);
    record.Release();

    EXPECT_FALSE(tavPhysics::ConvertMesh(nullptr, 32, 4, narrow, false, 2, &record));
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 32, 4, nullptr, false, 2, &record));
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 8, 4, narrow, false, 2, &record));
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 32, 4, narrow, false, 2, nullptr));
}
