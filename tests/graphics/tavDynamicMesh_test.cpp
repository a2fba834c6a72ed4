// The dynamic mesh under a real device: the generated arm loads, saves back
// byte for byte, and is drawn posed at both ends of its first animation
// (arm out, arm up), before and after a device reset; the bone tree is
// updated parents first; bad files leave an empty mesh and a red line.
#include "RenderCheck.h"

#include "graphics/tavDynamicMesh.h"
#include "graphics/tavMeshBytes.h"
#include "physics/tavPhysics.h"
#include "support/TestFiles.h"

#include "MeshSamples.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const D3DCOLOR Backdrop = 0xFF000000, PostColour = 0xFF0000FF, ArmColour = 0xFFFF0000;

class DynamicMeshTest : public GraphicsTest
{
protected:
    // The arm posed at `now`: on the arm held out along +x, where the same
    // point is once it is up, and on the post.
    void ExpectPose(tavDynamicMesh& mesh, uint32_t now, D3DCOLOR out, D3DCOLOR up)
    {
        mesh.AnimateAt(now);
        const Picture p = Draw(Backdrop, [&] {
            LookFlat(*engine, D3DXVECTOR3(0.75f, 1.75f, -8), D3DXVECTOR3(0.75f, 1.75f, 0));
            EXPECT_EQ(mesh.Draw(), 24u);
            engine->ResetWorldTransform();
        });
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(1.5f, 1.75f, -0.25f)), out)) << "held out, at " << now;
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.25f, 3.0f, -0.25f)), up)) << "up, at " << now;
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 1, -0.25f)), PostColour)) << "post, at " << now;
    }
};
} // namespace

TEST_F(DynamicMeshTest, ArmIsDrawnAtBothKeyTimesAndAgainAfterAReset)
{
    const std::string file = ContentPath("samples/arm.edm");
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass ? "after a reset" : "before a reset");
        tavDynamicMesh mesh(engine.get());
        ASSERT_TRUE(mesh.Load(file.c_str(), ContentPath("").c_str()));
        EXPECT_EQ(mesh.GetFileVersion(), 396);
        EXPECT_EQ(mesh.GetNumVerts(), 48u);
        EXPECT_EQ(mesh.GetNumBones(), 2u);
        EXPECT_EQ(mesh.GetNumAnimations(), 2u);
        mesh.Save("again.edm");
        EXPECT_EQ(ReadBinaryFile("again.edm"), ReadBinaryFile(file));
        Paint(*mesh.GetMaterial(0), PostColour);
        Paint(*mesh.GetMaterial(1), ArmColour);
        // The first update starts animation 0 at its first keyframe.
        ExpectPose(mesh, 1000, ArmColour, Backdrop);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 0);
        // Its whole duration later the blend is done: the arm is up.
        ExpectPose(mesh, 2000, Backdrop, ArmColour);
        EXPECT_EQ(mesh.GetBlend(), 1.0f);
        // The next update moves on to animation 1, from the raised keyframe.
        ExpectPose(mesh, 2014, Backdrop, ArmColour);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 1);
        if (pass == 0)
        {
            ASSERT_EQ(engine->ResetDevice(), S_OK);
        }
    }
}

TEST_F(DynamicMeshTest, ChildrenMoveWithTheirParentAndUpdatesWaitThirteenMilliseconds)
{
    // Three bones in a chain, each turning a quarter about z at its pivot.
    tavMeshVertex v[3] = {};
    const uint16_t idx[3] = {0, 1, 2};
    tavKeyframe turn;
    turn.k[2] = turn.k[3] = std::sqrt(0.5f);
    tavBoneData root;
    root.keyframes = {turn, turn};
    root.children.resize(1);
    root.children[0].pivot[0] = 1;
    root.children[0].keyframes = {turn, turn};
    tavAnimation once = {0, 1, 100, 0};
    tavDynamicMesh mesh(engine.get());
    ASSERT_TRUE(mesh.ImportFromMemory(v, 3, idx, 3, nullptr, 0, root, &once, 1, 2));
    EXPECT_EQ(mesh.GetNumBones(), 2u);
    EXPECT_NE(Log().find("Import from Memory (EDM)"), std::string::npos);
    EXPECT_NE(Log().find("NumBones: 2"), std::string::npos);
    mesh.AnimateAt(500);
    // The child's pivot (1, 0, 0) is carried by the root's turn to (0, 1, 0);
    // a point at (2, 0, 0) turns twice: to (0, 1, 0) + (-1, 0, 0).
    D3DXVECTOR3 p(2, 0, 0), q;
    D3DXVec3TransformCoord(&q, &p, mesh.GetBoneTransform(1));
    EXPECT_NEAR(q.x, -1, 1e-5);
    EXPECT_NEAR(q.y, 1, 1e-5);
    mesh.AnimateAt(505); // within 13 ms: nothing moves
    EXPECT_EQ(mesh.GetBlend(), 0.0f);
    mesh.AnimateAt(550);
    EXPECT_FLOAT_EQ(mesh.GetBlend(), 0.5f);
}

TEST_F(DynamicMeshTest, BadFilesLeaveAnEmptyMeshAndARedLine)
{
    const std::vector<uint8_t> good = ReadBinaryFile(ContentPath("samples/arm.edm"));
    ASSERT_FALSE(good.empty());
    std::vector<uint8_t> other = good;
    other[0] = 20;
    std::vector<uint8_t> cut(good.begin(), good.end() - 10);
    ASSERT_TRUE(tavWriteWholeFile("other.edm", other));
    ASSERT_TRUE(tavWriteWholeFile("cut.edm", cut));
    tavDynamicMesh mesh(engine.get());
    for (const char* name : {"other.edm", "cut.edm"})
    {
        ASSERT_TRUE(mesh.Load(ContentPath("samples/arm.edm").c_str(), ""));
        EXPECT_FALSE(mesh.Load(name, ""));
        EXPECT_EQ(mesh.GetFileVersion(), 0);
        mesh.AnimateAt(5000);
        EXPECT_EQ(mesh.Draw(), 0u);
        EXPECT_NE(Log().find(std::string("Invalid Dynamic Mesh: ") + name), std::string::npos);
    }
    EXPECT_FALSE(mesh.Load("missing.edm", ""));
    EXPECT_NE(Log().find("Can't open dynamic mesh: missing.edm"), std::string::npos);
    ASSERT_TRUE(mesh.Load(ContentPath("samples/arm.edm").c_str(), ""));
    mesh.Save("no/such/folder/arm.edm");
    EXPECT_NE(Log().find("Can't open file for mesh output: no/such/folder/arm.edm"),
              std::string::npos);
}

TEST_F(DynamicMeshTest, ASphereDroppedOnTheConvertedMeshComesToRestOnIt)
{
    // A slab 200 wide whose top is at y = 10, as a one-bone dynamic mesh.
    std::vector<tavMeshVertex> v;
    std::vector<uint16_t> idx;
    const float min[3] = {-100, -10, -100}, max[3] = {100, 10, 100};
    assetgen::MeshSamples::Box(min, max, v, idx);
    tavBoneData root;
    root.part.faceCount = uint32_t(idx.size() / 3);
    root.part.vertexCount = uint32_t(v.size());
    tavDynamicMesh mesh(engine.get());
    ASSERT_TRUE(mesh.ImportFromMemory(v.data(), uint32_t(v.size()), idx.data(),
                                      uint32_t(idx.size()), nullptr, 0, root, nullptr, 0, 0));
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertDynamicMesh(&mesh, &record));
    EXPECT_EQ(record.triangleCount, 12);
    EXPECT_EQ(record.vertexCount, 24);
    EXPECT_EQ(record.triangles[11].index[2], idx[35]);

    tavPhysics physics;
    const float gravity[3] = {0, -100, 0}, at[3] = {0, 100, 0};
    ASSERT_TRUE(physics.Create(0, 1, 0, gravity));
    EXPECT_EQ(physics.AddStaticMesh(&record), 0);
    record.Release();
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 240; ++i)
        physics.Step(1.0f / 60, 0);
    float m[16];
    physics.GetTransform(uint32_t(ball), m, true);
    EXPECT_NEAR(m[13], 20.0f, 0.06f) << "resting on the top at 10 with its radius of 10";

    tavDynamicMesh empty(engine.get());
    EXPECT_FALSE(tavPhysics::ConvertDynamicMesh(&empty, &record));
}
