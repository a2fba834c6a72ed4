#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace
{
// A square pit: a floor and four walls 100 high around [-size, size].
tavTestMesh Pit(float size)
{
    tavTestMesh m = Floor(size, 10);
    for (int side = 0; side < 4; ++side)
    {
        const float s = side < 2 ? -1.0f : 1.0f;
        const tavVec3 up(0, 100, 0);
        if (side % 2 == 0)
            m.AddGrid(tavVec3(s * size, 0, -size), tavVec3(0, 0, 2 * size), up, 4, 2);
        else
            m.AddGrid(tavVec3(-size, 0, s * size), tavVec3(2 * size, 0, 0), up, 4, 2);
    }
    return m;
}
} // namespace

TEST(tavRigidContact, BounceKeepsRestitutionSquaredOfTheHeight)
{
    tavWorldPtr w = MakeWorld();
    ASSERT_TRUE(w->SetMaterial(0, 0.5f, 0.5f, 0));
    AddMesh(*w, Floor());
    tavRigidBody* ball = AddBall(*w, tavVec3(0, 210, 0)); // 200 above its resting height
    bool bounced = false;
    float apex = 0;
    for (int i = 0; i < 600; ++i)
    {
        w->Advance(1.0f / 120, 10, 0);
        const float vy = VelocityOf(*ball).y;
        if (vy > 0) bounced = true;
        if (bounced) apex = std::fmax(apex, PositionOf(*ball).y - 10.0f);
        if (bounced && vy < 0) break;
    }
    EXPECT_NEAR(apex, 0.25f * 200.0f, 0.15f * 50.0f);
}

TEST(tavRigidContact, FrictionStopsASlidingSphere)
{
    float travelled[2];
    const float friction[2] = {5.0f, 0.5f};
    for (int k = 0; k < 2; ++k)
    {
        tavWorldPtr w = MakeWorld();
        ASSERT_TRUE(w->SetMaterial(0, friction[k], 0.1f, 0));
        AddMesh(*w, Floor(3000));
        tavRigidBody* ball = AddBall(*w, tavVec3(0, 10, 0));
        const float v[3] = {100, 0, 0};
        ball->SetLinearVelocity(v);
        RunFor(*w, 12.0f);
        EXPECT_LT(Length(VelocityOf(*ball)), 0.01f) << "friction " << friction[k];
        travelled[k] = PositionOf(*ball).x;
        RunFor(*w, 2.0f);
        EXPECT_FLOAT_EQ(PositionOf(*ball).x, travelled[k]);
        EXPECT_NEAR(PositionOf(*ball).y, 10.0f, 0.06f);
    }
    EXPECT_GT(travelled[0], 0.0f);
    EXPECT_LT(travelled[0], travelled[1]);
}

TEST(tavRigidContact, TiltedBoxLandsFlat)
{
    tavWorldPtr w = MakeWorld();
    AddMesh(*w, Floor());
    tavRigidBody* box = AddBox(*w, tavVec3(0, 60, 0), tavVec3(15, 10, 8), 2);
    const float q[4] = {0.2f, 0.1f, 0.05f, 1.0f};
    box->SetOrientation(q);
    RunFor(*w, 6.0f);
    float m[16];
    box->GetTransform(m);
    // One of the box's axes points straight up, and its half size along it
    // is the height of its centre.
    const float halves[3] = {15, 10, 8};
    int up = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (std::fabs(m[axis * 4 + 1]) > std::fabs(m[up * 4 + 1])) up = axis;
    EXPECT_GT(std::fabs(m[up * 4 + 1]), 0.9999f);
    EXPECT_NEAR(m[13], halves[up], 0.1f);
    EXPECT_LT(Length(VelocityOf(*box)), 0.05f);
    EXPECT_TRUE(box->IsSleeping());
}

TEST(tavRigidContact, CylinderRollsDownASlopeAndABoxStays)
{
    // A 15 degree slope falling towards +x.
    tavTestMesh slope;
    const float drop = std::tan(15.0f * 3.14159265f / 180.0f) * 2000.0f;
    slope.AddGrid(tavVec3(-1000, drop / 2, -500), tavVec3(0, 0, 1000), tavVec3(2000, -drop, 0), 20,
                  10);
    tavWorldPtr w = MakeWorld();
    AddMesh(*w, slope);
    tavRigidBody* cylinder = w->CreateBody(1);
    cylinder->GetShape()->SetCylinder(20, 40);
    Place(cylinder, tavVec3(-500, drop / 4 + 12, 0), 1, tavRigidBody::CylinderInertia(20, 40, 1));
    const float lying[4] = {std::sqrt(0.5f), 0, 0, std::sqrt(0.5f)}; // axis along z
    cylinder->SetOrientation(lying);
    tavRigidBody* box = AddBox(*w, tavVec3(300, -drop * 0.15f + 12, 0), tavVec3(10, 10, 10), 1);
    const float tilt[4] = {0, 0, -std::sin(7.5f * 3.14159265f / 180.0f),
                           std::cos(7.5f * 3.14159265f / 180.0f)};
    box->SetOrientation(tilt);
    RunFor(*w, 0.5f);
    const tavVec3 boxSettled = PositionOf(*box);
    const float speedBefore = Length(VelocityOf(*cylinder));
    RunFor(*w, 2.0f);

    // A rolling cylinder (I = m r^2 / 2) gains g sin(15 deg) / 1.5 per second.
    const tavVec3 v = VelocityOf(*cylinder);
    const float gained = Length(v) - speedBefore;
    EXPECT_NEAR(gained, 2.0f * 100.0f * std::sin(15.0f * 3.14159265f / 180.0f) / 1.5f,
                0.1f * gained);
    EXPECT_GT(v.x, 0.0f);
    // Rolling, not sliding: the spin about the axis matches the speed.
    float w3[3];
    cylinder->GetAngularVelocity(w3);
    EXPECT_NEAR(std::fabs(w3[2]) * 10.0f, Length(v), 0.05f * Length(v));
    // Friction 0.5 holds a box on 15 degrees.
    EXPECT_LT(Length(PositionOf(*box) - boxSettled), 0.1f);
}

TEST(tavRigidContact, FastSpheresDoNotPassThroughOneTriangle)
{
    tavWorldPtr w = MakeWorld();
    tavTestMesh floor;
    floor.AddTriangle(tavVec3(-2000, 0, -2000), tavVec3(0, 0, 2000), tavVec3(2000, 0, -2000));
    // A thin wall of one triangle, struck sideways at 500 units per second.
    floor.AddTriangle(tavVec3(600, -100, -500), tavVec3(600, 400, 0), tavVec3(600, -100, 500));
    AddMesh(*w, floor);
    tavRigidBody* fallen = AddBall(*w, tavVec3(-300, 1300, 0));
    tavRigidBody* thrown = AddBall(*w, tavVec3(300, 10, 0));
    const float fast[3] = {500, 0, 0};
    thrown->SetLinearVelocity(fast);
    for (int i = 0; i < 600; ++i)
    {
        w->Advance(0.02222f, 10, 0);
        ASSERT_GT(PositionOf(*fallen).y, 9.0f) << "step " << i;
        ASSERT_LT(PositionOf(*thrown).x, 591.0f) << "step " << i;
    }
    EXPECT_NEAR(PositionOf(*fallen).y, 10.0f, 0.06f);
}

TEST(tavRigidContact, PairBufferFullIsReportedOnce)
{
    const int32_t record[12] = {0, 0, 4, 50, 2, 4, 0, 100, 2000, 100, 20, 5};
    tavWorldPtr w = MakeWorld(-100, record);
    tavReportCatcher reports;
    reports.Attach(*w);
    AddMesh(*w, Floor());
    for (int i = 0; i < 4; ++i)
        AddBall(*w, tavVec3((float)i * 5.0f, 10, 0));
    for (int i = 0; i < 5; ++i)
        w->Advance(1.0f / 60, 10, 0);
    EXPECT_EQ(reports.text, "Overlap Pair buffer full. Increase buffer size.\n");
    EXPECT_GE(w->GetPairCount(), 3u);
}

// Fifty spheres dropped in one spot: run twice, the same transforms to the
// bit; they part, come to rest and never sink through the floor.
TEST(tavRigidContact, FiftySpheresInOneSpotSeparateRestAndRepeatExactly)
{
    auto run = [](bool check)
    {
        tavWorldPtr w = MakeWorld();
        w->SetMaterial(0, 5.0f, 0.1f, 0);
        AddMesh(*w, Pit(150));
        std::mt19937 random(7);
        std::uniform_real_distribution<float> u(-1, 1);
        std::vector<tavRigidBody*> balls;
        for (int i = 0; i < 50; ++i)
            balls.push_back(AddBall(*w, tavVec3(2 * u(random), 12 + 2 * u(random), 2 * u(random))));
        float lowest = 1e9f;
        for (int i = 0; i < 600; ++i)
        {
            w->Advance(1.0f / 60, 10, 0);
            for (tavRigidBody* b : balls)
                lowest = std::fmin(lowest, PositionOf(*b).y);
        }
        std::vector<float> out(16 * balls.size());
        for (size_t i = 0; i < balls.size(); ++i)
            balls[i]->GetTransform(&out[16 * i]);
        if (!check) return out;
        EXPECT_GT(lowest, 9.0f); // never pushed through the floor
        int asleep = 0;
        for (size_t i = 0; i < balls.size(); ++i)
        {
            const tavVec3 p = PositionOf(*balls[i]);
            EXPECT_GT(p.y, 9.9f);
            EXPECT_LT(std::fabs(p.x), 150.0f);
            for (size_t j = i + 1; j < balls.size(); ++j)
                EXPECT_GT(Length(PositionOf(*balls[j]) - p), 19.7f) << i << " and " << j;
            asleep += balls[i]->IsSleeping();
        }
        EXPECT_EQ(asleep, 50);
        return out;
    };
    const std::vector<float> first = run(true), second = run(false);
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}
