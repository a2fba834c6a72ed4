#include "physics/rigid/tavMeshCollider.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

TEST(tavRigidBody, InertiaFormulas)
{
    EXPECT_FLOAT_EQ(tavRigidBody::SphereInertia(20, 5).z, 200.0f);  // 0.4 * 5 * 10^2
    EXPECT_FLOAT_EQ(tavRigidBody::BoxInertia(1, 3, 2, 6).y, 36.0f); // 2 * 6 * 3^2 / 3
    const tavVec3 cylinder = tavRigidBody::CylinderInertia(4, 6, 3);
    EXPECT_FLOAT_EQ(cylinder.x, 12.0f); // 3 * 36 / 12 + 3 * 4 / 4
    EXPECT_FLOAT_EQ(cylinder.y, 6.0f);  // 3 * 4 / 2
}

TEST(tavRigidBody, OrientationImpulseAndDampingPerStep)
{
    tavWorldPtr w = MakeWorld(0.0f);
    tavRigidBody* b = w->CreateBody(1);
    const float q[4] = {0, 2, 0, 2}, p[3] = {1, 2, 3}; // 90 degrees about y, stored normalised
    b->SetOrientation(q);
    b->SetPosition(p);
    float m[16], back[4];
    b->GetTransform(m);
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-6f) << "element " << i;
    b->GetOrientation(back);
    EXPECT_NEAR(back[1], std::sqrt(0.5f), 1e-6f);

    b->SetMass(4);
    const float impulse[3] = {40, 0, 0}, spin[3] = {0, 2, 0};
    b->ApplyImpulse(impulse);
    EXPECT_FLOAT_EQ(VelocityOf(*b).x, 10.0f); // at once, before any step
    b->SetLinearDamping(-0.1f);               // the absolute value is kept
    EXPECT_FLOAT_EQ(b->GetLinearDamping(), 0.1f);
    b->SetAngularVelocity(spin);
    b->SetAngularDamping(0.5f);
    ASSERT_TRUE(w->Advance(0.01f, 10, 0));
    EXPECT_NEAR(VelocityOf(*b).x, 9.0f, 1e-5f);
    ASSERT_TRUE(w->Advance(0.02f, 3, 0));
    EXPECT_NEAR(VelocityOf(*b).x, 8.1f, 1e-5f);
    b->GetAngularVelocity(back);
    EXPECT_NEAR(back[1], 0.5f, 1e-5f);
    EXPECT_NEAR(PositionOf(*b).x, 1.28f, 1e-4f); // 0.01 s at 10, 0.02 s at 9: damped after
}

// Bodies by kind and in all up to the record; bad values refused, each with
// a report; bad steps refused, a bad step count clamped.
TEST(tavRigidWorld, CapacityRecordBadValuesMaterialsAndSteps)
{
    const int32_t record[12] = {1, 1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5}, // 3 in all
        negative[12] = {1, -1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5};
    tavWorldPtr w = MakeWorld(-100, record);
    tavReportCatcher reports;
    reports.Attach(*w);
    tavRigidBody* b = w->CreateBody(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(w->CreateBody(0), nullptr);
    EXPECT_EQ(w->CreateBody(2), nullptr);
    EXPECT_NE(w->CreateBody(1), nullptr);
    EXPECT_NE(w->CreateFixedBody(), nullptr);
    EXPECT_EQ(w->CreateBody(1), nullptr);
    EXPECT_EQ(w->GetBodyCount(), 2u);
    EXPECT_EQ(CreateWorld(negative, 0, nullptr), nullptr);
    EXPECT_EQ(CreateWorld(nullptr, 1, nullptr), nullptr); // the reserved argument must be 0
    tavWorldPtr defaults(CreateWorld(nullptr, 0, nullptr), DestroyWorld);
    EXPECT_EQ(defaults->GetCapacity(4), 1225);
    EXPECT_EQ(defaults->GetCapacity(11), -1);

    const float p[3] = {1, 50, 3}, nanP[3] = {0, NaN, 0}, badI[3] = {1, 0, 1},
                nanQ[4] = {NaN, 0, 0, 1};
    b->SetMass(2);
    b->SetPosition(p);
    for (float bad : {0.0f, -1.0f, NaN})
        b->SetMass(bad);
    b->SetPosition(nanP);
    b->SetPosition(nullptr);
    b->SetInertia(badI);
    b->SetOrientation(nanQ);
    EXPECT_FALSE(b->GetShape()->SetSphere(0) || b->GetShape()->SetBox(1, -1, 1) ||
                 b->GetShape()->SetCylinder(NaN, 1));
    float q[4];
    b->GetOrientation(q);
    EXPECT_EQ(q[3], 1.0f);
    EXPECT_FLOAT_EQ(b->GetMass(), 2.0f);
    EXPECT_FLOAT_EQ(PositionOf(*b).y, 50.0f);
    EXPECT_EQ(b->GetShape()->GetType(), tavRigidShape::None);
    EXPECT_EQ(reports.count, 10);
    EXPECT_NE(reports.text.find("ignored a mass that is not positive and finite"),
              std::string::npos);

    EXPECT_TRUE(w->SetMaterial(255, 0, 0, 0));
    for (const auto& bad : {std::vector<float>{256, 1, 0}, {-1, 1, 0}, {3, -1, 0}, {3, 1, NaN}})
        EXPECT_FALSE(w->SetMaterial((int32_t)bad[0], bad[1], bad[2], 0)) << bad[0];
    b->GetShape()->SetSphere(20);
    Place(b, tavVec3(0, 50, 0), 1, tavRigidBody::SphereInertia(20, 1));
    for (float bad : {0.0f, -0.01f, NaN})
        EXPECT_FALSE(w->Advance(bad, 10, 0)) << bad;
    EXPECT_EQ(w->GetTime(), 0.0);
    EXPECT_FLOAT_EQ(PositionOf(*b).y, 50.0f);
    EXPECT_TRUE(w->Advance(0.01f, -5, 0));
    EXPECT_LT(PositionOf(*b).y, 50.0f);
}

TEST(tavMeshCollider, SeamsOfAFlatStretchAreInactiveAndQueriesFindTrianglesInOrder)
{
    tavTestMesh m;
    m.AddBox(tavVec3(0, 0, 0), tavVec3(100, 100, 100), 2); // 6 faces of 2 x 2 quads
    tavTriangleMesh record = m.Record();
    tavMeshCollider collider;
    tavMeshCollider::Stats stats;
    ASSERT_TRUE(collider.Build(record, stats));
    record.Release();
    ASSERT_EQ(collider.GetTriangleCount(), 48u);
    int edges = 0, corners = 0;
    for (uint32_t i = 0; i < collider.GetTriangleCount(); ++i)
        for (int k = 0; k < 3; ++k)
        {
            edges += (collider.GetTriangle(i).activeEdges >> k) & 1;
            corners += (collider.GetTriangle(i).activeCorners >> k) & 1;
        }
    // Each cube edge is cut in two and seen from both faces; only the centre
    // of each face, where six triangles meet, has every edge in one plane.
    EXPECT_EQ(edges, 12 * 2 * 2);
    EXPECT_EQ(corners, 48 * 3 - 6 * 6);

    record = Floor(1000, 20).Record(); // 100-unit quads
    ASSERT_TRUE(collider.Build(record, stats));
    record.Release();
    std::vector<uint32_t> found;
    collider.Query(tavVec3(10, -1, 10), tavVec3(20, 1, 20), found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_LT(found[0], found[1]);
    found.clear();
    collider.Query(tavVec3(5000, -1, 0), tavVec3(5100, 1, 10), found);
    EXPECT_TRUE(found.empty());
}

TEST(tavRigidContact, BounceKeepsRestitutionSquaredOfTheHeightAndRollingNeverHops)
{
    tavWorldPtr w = MakeWorld();
    ASSERT_TRUE(w->SetMaterial(0, 0.5f, 0.5f, 0));
    AddMesh(*w, Floor());
    tavRigidBody* ball = AddBall(*w, tavVec3(0, 210, 0)); // 200 above its resting height
    float apex = 0;
    for (int i = 0; i < 600 && !(apex > 0 && VelocityOf(*ball).y < 0); ++i)
    {
        w->Advance(1.0f / 120, 10, 0);
        if (VelocityOf(*ball).y > 0) apex = std::fmax(apex, PositionOf(*ball).y - 10.0f);
    }
    EXPECT_NEAR(apex, 0.25f * 200.0f, 0.15f * 50.0f);

    tavWorldPtr fine = MakeWorld();
    fine->SetMaterial(0, 0.5f, 0.0f, 0);
    AddMesh(*fine, Floor(2000, 80)); // 50-unit quads: seams all the way
    ball = AddBall(*fine, tavVec3(-1500, 10, 3));
    const float v[3] = {300, 0, 130};
    ball->SetLinearVelocity(v);
    float highest = 0;
    for (int i = 0; i < 300; ++i)
    {
        fine->Advance(1.0f / 60, 10, 0);
        highest = std::fmax(highest, PositionOf(*ball).y);
    }
    EXPECT_GT(PositionOf(*ball).x, -500.0f);
    EXPECT_LT(highest, 10.01f);
}

// A sliding sphere stops, sooner with more friction; a tilted box lands flat
// on one of its faces and sleeps.
TEST(tavRigidContact, FrictionStopsASlidingSphereAndATiltedBoxLandsFlat)
{
    float travelled[2];
    const float friction[2] = {5.0f, 0.5f}, q[4] = {0.2f, 0.1f, 0.05f, 1.0f},
                halves[3] = {15, 10, 8};
    for (int k = 0; k < 2; ++k)
    {
        SCOPED_TRACE(friction[k]);
        tavWorldPtr w = MakeWorld();
        ASSERT_TRUE(w->SetMaterial(0, friction[k], 0.1f, 0));
        AddMesh(*w, Floor(3000));
        tavRigidBody* ball = AddBall(*w, tavVec3(0, 10, 0));
        tavRigidBody* box = AddBox(*w, tavVec3(0, 60, 500), tavVec3(15, 10, 8), 2);
        box->SetOrientation(q);
        const float v[3] = {100, 0, 0};
        ball->SetLinearVelocity(v);
        RunFor(*w, 12.0f);
        EXPECT_LT(Length(VelocityOf(*ball)), 0.01f);
        travelled[k] = PositionOf(*ball).x;
        RunFor(*w, 2.0f);
        EXPECT_FLOAT_EQ(PositionOf(*ball).x, travelled[k]);
        EXPECT_NEAR(PositionOf(*ball).y, 10.0f, 0.06f);
        if (k == 0) continue; // the box on the smoother ground only
        float m[16];
        box->GetTransform(m);
        int up = 0; // the axis pointing up; the centre its half size high
        for (int axis = 1; axis < 3; ++axis)
            if (std::fabs(m[axis * 4 + 1]) > std::fabs(m[up * 4 + 1])) up = axis;
        EXPECT_GT(std::fabs(m[up * 4 + 1]), 0.9999f);
        EXPECT_NEAR(m[13], halves[up], 0.1f);
        EXPECT_TRUE(box->IsSleeping());
    }
    EXPECT_GT(travelled[0], 0.0f);
    EXPECT_LT(travelled[0], travelled[1]);
}

TEST(tavRigidContact, CylinderRollsDownASlopeAndABoxStays)
{
    const float rad = 3.14159265f / 180.0f, drop = std::tan(15 * rad) * 2000.0f;
    tavTestMesh slope; // 15 degrees, falling towards +x
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
    const float tilt[4] = {0, 0, -std::sin(7.5f * rad), std::cos(7.5f * rad)};
    box->SetOrientation(tilt);
    RunFor(*w, 0.5f);
    const tavVec3 boxSettled = PositionOf(*box);
    const float speedBefore = Length(VelocityOf(*cylinder));
    RunFor(*w, 2.0f);
    // Rolling (I = m r^2 / 2) it gains g sin(15 deg) / 1.5 per second, and
    // its spin about the axis matches its speed.
    const tavVec3 v = VelocityOf(*cylinder);
    const float gained = Length(v) - speedBefore;
    EXPECT_NEAR(gained, 2.0f * 100.0f * std::sin(15 * rad) / 1.5f, 0.1f * gained);
    EXPECT_GT(v.x, 0.0f);
    float spin[3];
    cylinder->GetAngularVelocity(spin);
    EXPECT_NEAR(std::fabs(spin[2]) * 10.0f, Length(v), 0.05f * Length(v));
    EXPECT_LT(Length(PositionOf(*box) - boxSettled), 0.1f); // friction 0.5 holds it
}

TEST(tavRigidContact, FastSpheresDoNotPassThroughThinGeometry)
{
    tavWorldPtr w = MakeWorld();
    tavTestMesh floor = Floor(2000, 1); // and a thin wall struck sideways at 500 per second
    floor.AddGrid(tavVec3(600, -100, -500), tavVec3(0, 500, 0), tavVec3(0, 0, 1000), 1, 1);
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
    RunFor(*w, 5.0f / 60);
    EXPECT_EQ(reports.text, "Overlap Pair buffer full. Increase buffer size.\n");
    EXPECT_GE(w->GetPairCount(), 3u);
}

// Fifty spheres dropped in one spot of a walled pit: run twice, the same
// transforms to the bit; they part, come to rest, never sink through.
TEST(tavRigidContact, FiftySpheresInOneSpotSeparateRestAndRepeatExactly)
{
    auto run = [](bool check)
    {
        tavWorldPtr w = MakeWorld();
        w->SetMaterial(0, 5.0f, 0.1f, 0);
        tavTestMesh pit = Floor(150, 10);
        for (float s : {-150.0f, 150.0f})
        {
            pit.AddGrid(tavVec3(s, 0, -150), tavVec3(0, 0, 300), tavVec3(0, 100, 0), 4, 2);
            pit.AddGrid(tavVec3(-150, 0, s), tavVec3(300, 0, 0), tavVec3(0, 100, 0), 4, 2);
        }
        AddMesh(*w, pit);
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
        EXPECT_GT(lowest, 9.0f);
        for (size_t i = 0; i < balls.size(); ++i)
        {
            const tavVec3 p = PositionOf(*balls[i]);
            EXPECT_TRUE(p.y > 9.9f && std::fabs(p.x) < 150.0f && balls[i]->IsSleeping()) << i;
            for (size_t j = i + 1; j < balls.size(); ++j)
                EXPECT_GT(Length(PositionOf(*balls[j]) - p), 19.7f) << i << " and " << j;
        }
        return out;
    };
    const std::vector<float> first = run(true), second = run(false);
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}
