#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
const float NaN = std::numeric_limits<float>::quiet_NaN();
}

TEST(tavRigidBody, InertiaFormulas)
{
    EXPECT_FLOAT_EQ(tavRigidBody::SphereInertia(20, 5).z, 200.0f); // 0.4 * 5 * 10^2
    // 2 * 6 * 3^2 / 3, the largest size on every axis
    EXPECT_FLOAT_EQ(tavRigidBody::BoxInertia(1, 3, 2, 6).y, 36.0f);
    const tavVec3 cylinder = tavRigidBody::CylinderInertia(4, 6, 3);
    EXPECT_FLOAT_EQ(cylinder.x, 12.0f); // 3 * 36 / 12 + 3 * 4 / 4
    EXPECT_FLOAT_EQ(cylinder.y, 6.0f);  // 3 * 4 / 2
}

TEST(tavRigidBody, OrientationRebuildsTheRowVectorTransform)
{
    tavWorldPtr w = MakeWorld();
    tavRigidBody* b = w->CreateBody(0);
    // Not unit length: stored normalised. 90 degrees about y.
    const float q[4] = {0, 2, 0, 2};
    b->SetOrientation(q);
    const float p[3] = {1, 2, 3};
    b->SetPosition(p);
    float m[16];
    b->GetTransform(m);
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-6f) << "element " << i;
    float back[4];
    b->GetOrientation(back);
    EXPECT_NEAR(back[1], std::sqrt(0.5f), 1e-6f);
}

TEST(tavRigidBody, ImpulseMassAndDampingPerStep)
{
    tavWorldPtr w = MakeWorld(0.0f);
    tavRigidBody* b = w->CreateBody(1);
    b->SetMass(4);
    const float impulse[3] = {40, 0, 0};
    b->ApplyImpulse(impulse);
    EXPECT_FLOAT_EQ(VelocityOf(*b).x, 10.0f); // at once, before any step
    b->SetLinearDamping(-0.1f);               // the absolute value is kept
    EXPECT_FLOAT_EQ(b->GetLinearDamping(), 0.1f);
    const float spin[3] = {0, 2, 0};
    b->SetAngularVelocity(spin);
    b->SetAngularDamping(0.5f);
    ASSERT_TRUE(w->Advance(0.01f, 10, 0));
    EXPECT_NEAR(VelocityOf(*b).x, 9.0f, 1e-5f);
    ASSERT_TRUE(w->Advance(0.02f, 3, 0));
    EXPECT_NEAR(VelocityOf(*b).x, 8.1f, 1e-5f);
    float av[3];
    b->GetAngularVelocity(av);
    EXPECT_NEAR(av[1], 0.5f, 1e-5f);
    // 0.01 s at 10, then 0.02 s at 9 (damping applies at the end of a step).
    EXPECT_NEAR(PositionOf(*b).x, 0.1f + 0.18f, 1e-4f);
}

TEST(tavRigidBody, BadValuesAreRefusedAndReported)
{
    tavWorldPtr w = MakeWorld();
    tavReportCatcher reports;
    reports.Attach(*w);
    tavRigidBody* b = w->CreateBody(0);
    b->SetMass(2);
    const float p[3] = {1, 2, 3};
    b->SetPosition(p);
    for (float bad : {0.0f, -1.0f, NaN})
        b->SetMass(bad);
    EXPECT_FLOAT_EQ(b->GetMass(), 2.0f);
    const float nanPosition[3] = {0, NaN, 0}, badInertia[3] = {1, 0, 1}, nanQ[4] = {NaN, 0, 0, 1};
    b->SetPosition(nanPosition);
    b->SetPosition(nullptr);
    EXPECT_FLOAT_EQ(PositionOf(*b).y, 2.0f);
    b->SetInertia(badInertia);
    b->SetOrientation(nanQ);
    float q[4];
    b->GetOrientation(q);
    EXPECT_EQ(q[3], 1.0f);
    EXPECT_FALSE(b->GetShape()->SetSphere(0));
    EXPECT_FALSE(b->GetShape()->SetBox(1, -1, 1));
    EXPECT_FALSE(b->GetShape()->SetCylinder(NaN, 1));
    EXPECT_EQ(b->GetShape()->GetType(), tavRigidShape::None);
    EXPECT_EQ(reports.count, 10);
    EXPECT_NE(reports.text.find("ignored a mass that is not positive and finite"),
              std::string::npos);
    ASSERT_TRUE(w->Advance(0.016f, 10, 0));
    EXPECT_TRUE(IsFinite(PositionOf(*b)));
}

TEST(tavRigidWorld, CapacityRecordLimitsEachKind)
{
    // kind 0: 1, fixed: 1, kind 1: 2, pairs 6, total 3.
    const int32_t record[12] = {1, 1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5};
    tavWorldPtr w = MakeWorld(-100, record);
    ASSERT_TRUE(w);
    EXPECT_NE(w->CreateBody(0), nullptr);
    EXPECT_EQ(w->CreateBody(0), nullptr);
    EXPECT_EQ(w->CreateBody(2), nullptr);
    EXPECT_NE(w->CreateBody(1), nullptr);
    EXPECT_NE(w->CreateFixedBody(), nullptr);
    EXPECT_EQ(w->CreateBody(1), nullptr); // the total of 3 is used up
    EXPECT_EQ(w->GetBodyCount(), 2u);

    const int32_t negative[12] = {1, -1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5};
    EXPECT_EQ(CreateWorld(negative, 0, nullptr), nullptr);
    tavWorldPtr defaults(CreateWorld(nullptr, 0, nullptr));
    EXPECT_EQ(defaults->GetCapacity(4), 1225);
    EXPECT_EQ(defaults->GetCapacity(11), -1);
    EXPECT_EQ(CreateWorld(nullptr, 1, nullptr), nullptr); // the reserved argument must be 0
}

TEST(tavRigidWorld, MaterialsAndBadSteps)
{
    tavWorldPtr w = MakeWorld();
    tavReportCatcher reports;
    reports.Attach(*w);
    EXPECT_TRUE(w->SetMaterial(255, 0, 0, 0));
    EXPECT_FALSE(w->SetMaterial(256, 1, 0, 0));
    EXPECT_FALSE(w->SetMaterial(-1, 1, 0, 0));
    EXPECT_FALSE(w->SetMaterial(3, -1, 0, 0));
    EXPECT_FALSE(w->SetMaterial(3, 1, NaN, 0));
    tavRigidBody* b = AddBall(*w, tavVec3(0, 50, 0));
    for (float bad : {0.0f, -0.01f, NaN})
        EXPECT_FALSE(w->Advance(bad, 10, 0)) << bad;
    EXPECT_EQ(w->GetTime(), 0.0);
    EXPECT_FLOAT_EQ(PositionOf(*b).y, 50.0f);
    EXPECT_TRUE(w->Advance(0.01f, -5, 0)); // a bad step count is clamped
    EXPECT_TRUE(w->Advance(1000.0f, 1000, 0));
    EXPECT_TRUE(IsFinite(PositionOf(*b)));
    EXPECT_TRUE(IsFinite(VelocityOf(*b)));
}
