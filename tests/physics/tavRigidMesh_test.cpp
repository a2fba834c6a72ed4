#include "physics/rigid/tavMeshCollider.h"
#include "tavPhysicsTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

TEST(tavMeshCollider, SeamsOfAFlatStretchAreInactive)
{
    tavTestMesh m;
    m.AddBox(tavVec3(0, 0, 0), tavVec3(100, 100, 100), 2); // 6 faces of 2 x 2 quads
    tavTriangleMesh record = m.Record();
    tavMeshCollider collider;
    tavMeshCollider::Stats stats;
    ASSERT_TRUE(collider.Build(record, stats));
    record.Release();
    ASSERT_EQ(collider.GetTriangleCount(), 48u);
    int activeEdges = 0, activeCorners = 0;
    for (uint32_t i = 0; i < collider.GetTriangleCount(); ++i)
    {
        const tavMeshCollider::Triangle& t = collider.GetTriangle(i);
        for (int k = 0; k < 3; ++k)
        {
            activeEdges += (t.activeEdges >> k) & 1;
            activeCorners += (t.activeCorners >> k) & 1;
        }
    }
    // Each cube edge is cut in two and seen from both faces: 12 * 2 * 2 uses.
    // Only the centre of each face has every edge in one plane; six
    // triangles of each face meet there.
    EXPECT_EQ(activeEdges, 48);
    EXPECT_EQ(activeCorners, 48 * 3 - 6 * 6);
}

TEST(tavMeshCollider, QueryFindsTheTrianglesUnderABoxInOrder)
{
    tavTestMesh m = Floor(1000, 20); // 100-unit quads
    tavTriangleMesh record = m.Record();
    tavMeshCollider collider;
    tavMeshCollider::Stats stats;
    ASSERT_TRUE(collider.Build(record, stats));
    record.Release();
    std::vector<uint32_t> found;
    collider.Query(tavVec3(10, -1, 10), tavVec3(20, 1, 20), found);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_LT(found[0], found[1]);
    found.clear();
    collider.Query(tavVec3(5000, -1, 0), tavVec3(5100, 1, 10), found);
    EXPECT_TRUE(found.empty());
}

TEST(tavMeshCollider, BadTrianglesAreSkippedAndCounted)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    tavTriangleMesh r;
    ASSERT_TRUE(r.Allocate(5, 5));
    const float p[5][3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}, {200, 0, 0}, {nan, 0, 0}};
    for (int i = 0; i < 5; ++i)
    {
        r.vertices[i].x = p[i][0];
        r.vertices[i].y = p[i][1];
        r.vertices[i].z = p[i][2];
    }
    const uint32_t tris[5][3] = {{0, 2, 1}, {0, 1, 3}, {0, 1, 4}, {0, 1, 5}, {2, 2, 1}};
    for (int t = 0; t < 5; ++t)
        for (int k = 0; k < 3; ++k)
            r.triangles[t].index[k] = tris[t][k];
    tavWorldPtr w = MakeWorld();
    tavReportCatcher reports;
    reports.Attach(*w);
    EXPECT_EQ(w->AddStaticMesh(&r), 0);
    EXPECT_NE(reports.text.find("skipped 4 of 5 triangles (1 with an index out of range, 1 with "
                                "a position that is not finite, 2 without area)"),
              std::string::npos)
        << reports.text;

    // Nothing usable at all: refused, and the world goes on.
    for (int t = 0; t < 5; ++t)
        r.triangles[t].index[0] = r.triangles[t].index[1] = 0;
    EXPECT_EQ(w->AddStaticMesh(&r), -1);
    EXPECT_EQ(w->AddStaticMesh(nullptr), -1);
    r.Release();
    tavRigidBody* ball = AddBall(*w, tavVec3(20, 50, 20));
    RunFor(*w, 2.0f);
    EXPECT_NEAR(PositionOf(*ball).y, 10.0f, 0.06f); // the one good triangle holds it
}

TEST(tavMeshCollider, BallRollsAcrossAFinelyCutFloorWithoutHopping)
{
    tavWorldPtr w = MakeWorld();
    w->SetMaterial(0, 0.5f, 0.0f, 0);
    AddMesh(*w, Floor(2000, 80)); // 50-unit quads
    tavRigidBody* ball = AddBall(*w, tavVec3(-1500, 10, 3));
    const float v[3] = {300, 0, 130};
    ball->SetLinearVelocity(v);
    float highest = 0;
    for (int i = 0; i < 300; ++i)
    {
        w->Advance(1.0f / 60, 10, 0);
        highest = std::fmax(highest, PositionOf(*ball).y);
    }
    EXPECT_GT(PositionOf(*ball).x, -500.0f); // it rolled on
    EXPECT_LT(highest, 10.01f);
}
