// The rigid-body library, the box overlap test and the physics wrapper.
#include "physics/tavPhysics.h"
#include "physics/tavOrientedBox.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

// Inertia: a sphere 0.4 m r^2, a box m (a^2 + b^2) / 3 of half sizes, a
// cylinder m h^2 / 12 + m r^2 / 4 across and m r^2 / 2 along its axis.
TEST(tavRigidBody, InertiaOrientationImpulseAndDampingPerStep)
{
    const tavVec3 cylinder = tavRigidBody::CylinderInertia(4, 6, 3);
    const float inertia[4] = {tavRigidBody::SphereInertia(20, 5).z,
                              tavRigidBody::BoxInertia(1, 3, 2, 6).y, cylinder.x, cylinder.y},
                expectedInertia[4] = {200, 36, 12, 6};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(inertia[i], expectedInertia[i]) << i;
    tavWorldPtr w = MakeWorld(0.0f);
    tavRigidBody* b = w->CreateBody(1);
    const float q[4] = {0, 2, 0, 2}, p[3] = {1, 2, 3}; // 90 degrees about y, stored normalised
    float m[16], back[4];
    b->SetOrientation(q), b->SetPosition(p), b->GetTransform(m), b->GetOrientation(back);
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-6f) << "element " << i;
    EXPECT_NEAR(back[1], std::sqrt(0.5f), 1e-6f);
    // An impulse acts at once; damping (its absolute value kept) after each step.
    const float impulse[3] = {40, 0, 0}, spin[3] = {0, 2, 0};
    b->SetMass(4), b->ApplyImpulse(impulse);
    EXPECT_FLOAT_EQ(VelocityOf(*b).x, 10.0f);
    b->SetLinearDamping(-0.1f), b->SetAngularVelocity(spin), b->SetAngularDamping(0.5f);
    EXPECT_FLOAT_EQ(b->GetLinearDamping(), 0.1f);
    ASSERT_TRUE(w->Advance(0.01f, 10, 0));
    EXPECT_NEAR(VelocityOf(*b).x, 9.0f, 1e-5f);
    ASSERT_TRUE(w->Advance(0.02f, 3, 0));
    b->GetAngularVelocity(back);
    EXPECT_TRUE(std::fabs(VelocityOf(*b).x - 8.1f) < 1e-5f && std::fabs(back[1] - 0.5f) < 1e-5f &&
                std::fabs(PositionOf(*b).x - 1.28f) < 1e-4f) // 0.01 s at 10, 0.02 s at 9
        << VelocityOf(*b).x << " " << back[1] << " " << PositionOf(*b).x;
}

// Bodies up to the record; bad values and steps refused, a bad step count clamped.
TEST(tavRigidWorld, CapacityRecordBadValuesMaterialsAndSteps)
{
    const int32_t record[12] = {1, 1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5}, // 3 in all
        negative[12] = {1, -1, 2, 50, 6, 3, 0, 100, 2000, 100, 20, 5};
    tavWorldPtr w = MakeWorld(-100, record);
    tavReportCatcher reports;
    reports.Attach(*w);
    tavRigidBody* b = w->CreateBody(0);
    ASSERT_NE(b, nullptr);
    // Kind 0 is full, there is no kind 2, and the third body fills the world.
    EXPECT_TRUE(!w->CreateBody(0) && !w->CreateBody(2) && w->CreateBody(1) &&
                w->CreateFixedBody() && !w->CreateBody(1) && w->GetBodyCount() == 2u);
    EXPECT_EQ(CreateWorld(negative, 0, nullptr), nullptr);
    EXPECT_EQ(CreateWorld(nullptr, 1, nullptr), nullptr); // the reserved argument must be 0

    const float p[3] = {1, 50, 3}, nanP[3] = {0, NaN, 0}, badI[3] = {1, 0, 1},
                nanQ[4] = {NaN, 0, 0, 1};
    b->SetMass(2), b->SetPosition(p);
    for (float bad : {0.0f, -1.0f, NaN})
        b->SetMass(bad);
    b->SetPosition(nanP), b->SetPosition(nullptr), b->SetInertia(badI), b->SetOrientation(nanQ);
    EXPECT_FALSE(b->GetShape()->SetSphere(0) || b->GetShape()->SetBox(1, -1, 1) ||
                 b->GetShape()->SetCylinder(NaN, 1));
    float q[4];
    b->GetOrientation(q);
    EXPECT_TRUE(q[3] == 1.0f && b->GetMass() == 2.0f && PositionOf(*b).y == 50.0f &&
                b->GetShape()->GetType() == tavRigidShape::None);
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
    EXPECT_TRUE(w->GetTime() == 0.0 && PositionOf(*b).y == 50.0f);
    EXPECT_TRUE(w->Advance(0.01f, -5, 0) && PositionOf(*b).y < 50.0f);
}

// Rolling across 50-unit quads also finds the seams of a flat stretch inactive.
TEST(tavRigidContact, BounceKeepsRestitutionSquaredOfTheHeightAndRollingNeverHops)
{
    tavWorldPtr w = MakeWorld();
    ASSERT_TRUE(w->SetMaterial(0, 0.5f, 0.5f, 0));
    AddMesh(*w, Floor());
    tavRigidBody* ball = AddBall(*w, tavVec3(0, 210, 0)); // 200 above its resting height
    float apex = 0;
    for (int i = 0; i < 600 && !(apex > 0 && VelocityOf(*ball).y < 0); ++i)
        if (w->Advance(1.0f / 120, 10, 0), VelocityOf(*ball).y > 0)
            apex = std::fmax(apex, PositionOf(*ball).y - 10.0f);
    EXPECT_NEAR(apex, 0.25f * 200.0f, 0.15f * 50.0f);

    tavWorldPtr fine = MakeWorld();
    fine->SetMaterial(0, 0.5f, 0.0f, 0);
    AddMesh(*fine, Floor(2000, 80)); // 50-unit quads: seams all the way
    ball = AddBall(*fine, tavVec3(-1500, 10, 3));
    const float v[3] = {300, 0, 130};
    ball->SetLinearVelocity(v);
    float highest = 0;
    for (int i = 0; i < 300; ++i)
        fine->Advance(1.0f / 60, 10, 0), highest = std::fmax(highest, PositionOf(*ball).y);
    EXPECT_TRUE(PositionOf(*ball).x > -500.0f && highest < 10.01f) << highest;
}

// A sliding sphere stops, sooner with more friction; a tilted box lands flat.
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
        float m[16];
        box->GetTransform(m);
        int up = 0; // the axis pointing up; the centre its half size high
        for (int axis = 1; axis < 3; ++axis)
            up = std::fabs(m[axis * 4 + 1]) > std::fabs(m[up * 4 + 1]) ? axis : up;
        // On the rough ground it tips up towards its balance point and falls
        // back: it must not fall asleep on its edge at the turn.
        EXPECT_TRUE(std::fabs(m[up * 4 + 1]) > 0.9999f && std::fabs(m[13] - halves[up]) < 0.1f &&
                    box->IsSleeping())
            << m[up * 4 + 1] << " " << m[13];
    }
    EXPECT_TRUE(travelled[0] > 0.0f && travelled[0] < travelled[1]);
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

// Fifty spheres dropped in one spot part, rest, never sink, and repeat to the bit.
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

namespace
{
std::string captured; // the boxes' descriptions

tavOrientedBox Box(float hx, float hy, float hz, float px = 0, float py = 0, float pz = 0)
{
    tavOrientedBox box;
    const float v[6] = {hx, hy, hz, px, py, pz};
    std::copy(v, v + 3, box.halfExtents), std::copy(v + 3, v + 6, box.position);
    return box;
}

// Rows are the box's axes in the world; the inverse is the transpose.
void SetRotation(tavOrientedBox& box, const double rows[3][3])
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            box.orientation[r][c] = box.inverseOrientation[c][r] = float(rows[r][c]);
}

void RandomRotation(std::mt19937& rng, tavOrientedBox& box)
{
    std::normal_distribution<double> normal;
    double x = normal(rng), y = normal(rng), z = normal(rng), w = normal(rng);
    const double l = std::sqrt(x * x + y * y + z * z + w * w);
    x /= l, y /= l, z /= l, w /= l;
    const double rows[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
                               {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
                               {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}};
    SetRotation(box, rows);
}

// The reference, plain geometry and no separating axes: two boxes (grown
// or shrunk by `scale`) meet when an edge of one meets the other solid.
bool EdgeMeets(const tavOrientedBox& x, const tavOrientedBox& y, double scale)
{
    for (int corner = 0; corner < 8; ++corner)
        for (int e = 0; e < 3; ++e)
        {
            if ((corner >> e) & 1) continue; // each edge once, from its minus end
            double from = 0, to = 1;         // clip the edge to y's slabs
            for (int i = 0; i < 3 && from <= to; ++i)
            {
                double start = 0, speed = 0;
                for (int c = 0; c < 3; ++c)
                {
                    double p = x.position[c] - y.position[c];
                    for (int k = 0; k < 3; ++k)
                        p += ((corner >> k) & 1 ? 1 : -1) * scale * x.halfExtents[k] *
                             x.orientation[k][c];
                    start += p * y.orientation[i][c];
                    speed +=
                        2 * scale * x.halfExtents[e] * x.orientation[e][c] * y.orientation[i][c];
                }
                const double half = scale * y.halfExtents[i];
                if (std::fabs(speed) < 1e-12)
                {
                    if (std::fabs(start) > half) from = 2;
                    continue;
                }
                const double t0 = (-half - start) / speed, t1 = (half - start) / speed;
                from = std::max(from, std::min(t0, t1));
                to = std::min(to, std::max(t0, t1));
            }
            if (from <= to) return true;
        }
    return false;
}
} // namespace

// Touching and contained boxes overlap, the slightest gap separates; each
// call describes the centroids, the offset in both frames and b's axes in a's.
TEST(tavOrientedBox, TouchingBoxesOverlapTheSlightestGapSeparatesAndEachCallIsDescribed)
{
    const tavDebugOutput previous = tavSetDebugOutput([](const char* t) { captured += t; });
    const double quarterTurnZ[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}; // x to y, y to -x
    const tavOrientedBox unit = Box(1, 1, 1);
    tavOrientedBox turned = Box(2, 1, 1), inner = Box(0.1f, 0.1f, 0.1f); // turned reaches 1 in x
    SetRotation(turned, quarterTurnZ);
    std::mt19937 rng(7);
    RandomRotation(rng, inner);
    tavOrientedBox a = unit, b = Box(1, 1, 1, 3, 0, 0);
    SetRotation(a, quarterTurnZ);
    b.centroid[2] = 4.0f;
    captured.clear();
    EXPECT_EQ(OrientedBoxesOverlap(a, b), 0);
    EXPECT_EQ(captured, "A Centroid: 0.00, 0.00, 0.00\nB Centroid: 0.00, 0.00, 4.00\n"
                        "vPosB: 0.00, -3.00, 0.00\nvSub: 3.00, 0.00, 0.00\n"
                        "X-Axis: 0.00, 1.00, 0.00\nY-Axis: -1.00, 0.00, 0.00\n"
                        "Z-Axis: 0.00, 0.00, 1.00\n\n");
    EXPECT_EQ(FindSeparatingAxis(a, b), 1); // a's y axis points along world -x
    const struct
    {
        tavOrientedBox a, b;
        float x, y, z;
        int axis; // -1: overlapping
    } cases[] = {
        {unit, unit, 2, 0, 0, -1},       {unit, unit, 0, -2, 0, -1},
        {unit, unit, 2, 2, 2, -1},       {unit, unit, 2.001f, 0, 0, 0},
        {unit, unit, 0, 0, -2.01f, 2},   {unit, turned, 2, 0, 0, -1},
        {unit, turned, 2.001f, 0, 0, 0}, {unit, turned, 0, 3, 0, -1},
        {unit, turned, 0, 3.001f, 0, 1}, {Box(3, 3, 3), inner, 0.5f, 0.5f, 0.5f, -1},
    };
    for (const auto& c : cases)
    {
        tavOrientedBox b = c.b;
        b.position[0] = c.x, b.position[1] = c.y, b.position[2] = c.z;
        SCOPED_TRACE(testing::Message() << "at " << c.x << ", " << c.y << ", " << c.z);
        EXPECT_EQ(FindSeparatingAxis(c.a, b), c.axis);
        EXPECT_EQ(OrientedBoxesOverlap(c.a, b), c.axis < 0 ? 4 : 0);
        EXPECT_EQ(OrientedBoxesOverlap(b, c.a), c.axis < 0 ? 4 : 0);
    }
    tavSetDebugOutput(previous);
}

// Pairs a hair from touching left out; both outcomes and the edge axes must occur.
TEST(tavOrientedBox, AgreesWithEdgeIntersectionReferenceOnRandomPairs)
{
    const tavDebugOutput previous = tavSetDebugOutput([](const char*) {});
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> half(0.1f, 2.0f), place(-1, 1);
    int overlapping = 0, separated = 0, byEdgeAxes = 0, undecided = 0;
    for (int n = 0; n < 20000; ++n)
    {
        tavOrientedBox a = Box(half(rng), half(rng), half(rng), place(rng), place(rng), place(rng));
        tavOrientedBox b =
            Box(half(rng), half(rng), half(rng), 3 * place(rng), 3 * place(rng), 3 * place(rng));
        RandomRotation(rng, a);
        RandomRotation(rng, b);
        const bool surely = EdgeMeets(a, b, 0.999) || EdgeMeets(b, a, 0.999);
        const bool maybe = EdgeMeets(a, b, 1.001) || EdgeMeets(b, a, 1.001);
        const int axis = FindSeparatingAxis(a, b), result = OrientedBoxesOverlap(a, b);
        ASSERT_EQ(result, axis < 0 ? 4 : 0);
        ASSERT_TRUE(surely ? result == 4 : maybe || result == 0)
            << "pair " << n << ": " << (surely ? "parted by axis " : "separated, overlapping ")
            << axis;
        overlapping += surely, separated += !maybe;
        byEdgeAxes += !maybe && axis >= 6, undecided += maybe && !surely;
    }
    tavSetDebugOutput(previous);
    EXPECT_TRUE(overlapping > 2000 && separated > 2000 && byEdgeAxes > 20 && undecided < 200)
        << overlapping << " " << separated << " " << byEdgeAxes << " " << undecided;
}

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
    const float floorAt[3] = {0, -10, 0}, postAt[3] = {100, 20, 0}, boxAt[3] = {0, 50, 0},
                cylinderAt[3] = {-60, 50, 0}, turned[4] = {0, std::sin(0.3f), 0, std::cos(0.3f)};
    EXPECT_EQ((std::vector<int32_t>{physics.AddFixedBox(floorAt, 400, 20, 400, turned),
                                    physics.AddFixedCylinder(postAt, 20, 60, nullptr),
                                    physics.AddBox(boxAt, 20, 10, 30, 2, 0, 0, true),
                                    physics.AddCylinder(cylinderAt, 20, 40, 1, 0, 0, true)}),
              (std::vector<int32_t>{0, 1, 0, 1}));
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
    EXPECT_FALSE(tavPhysics::ConvertMesh(vertices, 32, 4, nullptr, false, 2, &record) ||
                 tavPhysics::ConvertMesh(vertices, 32, 4, narrow, false, 2, nullptr));
    const float at[3] = {20, 50, 20};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 120; ++i)
        physics.Step(1.0f / 60, 0);
    EXPECT_NEAR(PositionOf(*physics.GetBody(ball)).y, 10.0f, 0.06f); // the good triangle holds it
}

// Moved as the game moves its chicken (position written, horizontal speed
// dropped), a sphere climbs a 30 degree ramp, slides along a wall, steps up a ledge.
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
    // Up the slope each move keeps cos^2(30 deg) of itself; one radius off the surface.
    EXPECT_NEAR(end[0].x, 2.0f * 200.0f * 0.75f, 15.0f);
    EXPECT_NEAR(end[0].y, std::tan(30 * rad) * end[0].x + 10.0f / std::cos(30 * rad), 1.5f);
    // At the wall, sliding on barely slowed; up on the ledge.
    EXPECT_TRUE(end[1].x < 90.5f && end[1].x > 88.0f && end[1].z > 0.9f * diagonal * 2.0f &&
                std::fabs(end[1].y - 10.0f) < 0.5f);
    EXPECT_TRUE(end[2].x > 250.0f && std::fabs(end[2].y - 14.0f) < 0.5f);
}
