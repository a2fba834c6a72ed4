// The engine's static and dynamic mesh files under a real device: loaded,
// saved back byte for byte, drawn part by part before and after a device
// reset; imported models; bad files leave an empty mesh and a red line.
#include "RenderCheck.h"
#include "XFiles.h"

#include "graphics/tavDynamicMesh.h"
#include "graphics/tavMeshBytes.h"
#include "graphics/tavSimpleStaticMesh.h"
#include "graphics/tavStaticMesh.h"
#include "physics/tavPhysics.h"
#include "support/TestFiles.h"

#include "MeshSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
const D3DCOLOR Backdrop = 0xFF000000, RedColour = 0xFFFF0000, GreenColour = 0xFF00FF00,
               BlueColour = 0xFF0000FF;

class MeshesTest : public GraphicsTest
{
protected:
    // The crate from the front and a little above, painted: a side face at
    // the centre, the top face above it.
    void ExpectCrate(tavStaticMesh& mesh)
    {
        Paint(*mesh.GetMaterial(0), RedColour);
        Paint(*mesh.GetMaterial(1), GreenColour);
        const Picture p = Draw(Backdrop, [&] {
            LookFlat(*engine, D3DXVECTOR3(0, 3, -6), D3DXVECTOR3(0, 0, 0));
            EXPECT_EQ(mesh.Draw(), 12u);
        });
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, -0.5f, -1)), RedColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 1, 0)), GreenColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(2.5f, 0, 0)), Backdrop));
    }
    // Writes `good` spoiled each way and expects Load to refuse it with `line`.
    template <class Mesh>
    void ExpectRefused(Mesh& mesh, const std::string& good, const char* line,
                       const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files)
    {
        for (const auto& [name, bytes] : files)
        {
            ASSERT_TRUE(tavWriteWholeFile(name.c_str(), bytes));
            ASSERT_TRUE(mesh.Load(good.c_str(), ""));
            EXPECT_FALSE(mesh.Load(name.c_str(), "")) << name;
            EXPECT_EQ(mesh.Draw(), 0u) << name;
            EXPECT_NE(Log().find(line + name), std::string::npos) << name;
        }
    }
};
} // namespace

TEST_F(MeshesTest, StaticCrateLoadsInBothOrdersSavesByteForByteAndDrawsAfterAReset)
{
    for (bool simple : {false, true})
    {
        SCOPED_TRACE(simple ? "simple order" : "with bounds");
        const std::string file =
            ContentPath(simple ? "samples/crate-simple.msh" : "samples/crate.msh");
        std::unique_ptr<tavStaticMesh> mesh(simple ? new tavSimpleStaticMesh(engine)
                                                   : new tavStaticMesh(engine));
        ASSERT_TRUE(mesh->Load(file.c_str(), ContentPath("").c_str()));
        EXPECT_EQ(mesh->GetNumVertices() + mesh->GetNumIndices(), 24u + 36u);
        ASSERT_EQ(mesh->GetNumParts() + mesh->GetNumMaterials(), 4u);
        EXPECT_GE(mesh->GetMaterial(0)->textures[0], 0) << "caust0.tga from base/";
        EXPECT_GE(mesh->GetMaterial(1)->textures[0], 0) << "water.tex from base/";
        tavBoundingBox box;
        tavBoundingSphere sphere;
        mesh->GetBox(box);
        mesh->GetSphere(sphere);
        EXPECT_EQ(box.max.x, 1.0f);
        EXPECT_EQ(box.min.z, -1.0f);
        EXPECT_FLOAT_EQ(sphere.radius, std::sqrt(3.0f));
        mesh->Save("crate-again.msh");
        EXPECT_EQ(ReadBinaryFile("crate-again.msh"), ReadBinaryFile(file));
        ExpectCrate(*mesh);
        ASSERT_EQ(engine->ResetDevice(), S_OK); // managed buffers: nothing to restore
        ExpectCrate(*mesh);
    }

    const std::string crate = ContentPath("samples/crate.msh");
    const std::vector<uint8_t> good = ReadBinaryFile(crate);
    ASSERT_GT(good.size(), 6u);
    std::vector<uint8_t> v21 = good, huge = good;
    v21[0] = 21;
    huge[2] = huge[3] = huge[4] = huge[5] = 0xFF; // 4 billion vertices
    tavStaticMesh mesh(engine);
    ExpectRefused(mesh, crate, "Invalid Static Mesh File: ",
                  {{"crate-v21.msh", v21},
                   {"crate-cut.msh", {good.begin(), good.begin() + long(good.size() / 2)}},
                   {"crate-huge.msh", huge}});
    EXPECT_EQ(mesh.GetVersion(), 0);
    EXPECT_FALSE(mesh.Load("crate-missing.msh", ""));
    EXPECT_NE(Log().find("<font color=\"red\">Error Opening Static Mesh: crate-missing.msh</font>"),
              std::string::npos);
    mesh.Save("crate-empty.msh");
    EXPECT_TRUE(ReadBinaryFile("crate-empty.msh").empty()) << "an empty mesh writes nothing";
}

TEST_F(MeshesTest, ImportedModelsFillTheStaticMeshEachPartFromItsOwnVertices)
{
    tavStaticMesh mesh(engine);
    ASSERT_TRUE(mesh.Import3DS(ContentPath("samples/crate.3ds").c_str(), ContentPath("").c_str()));
    EXPECT_EQ(mesh.GetNumVertices(), 24u);
    EXPECT_EQ(mesh.GetNumParts(), 2u);
    EXPECT_GE(mesh.GetMaterial(1)->textures[0], 0);
    EXPECT_FLOAT_EQ(mesh.GetMaterial(1)->material.Diffuse.a, 0.75f);
    ExpectCrate(mesh);
    ASSERT_TRUE(mesh.ImportOBJ(ContentPath("samples/crate.obj").c_str()));
    EXPECT_EQ(mesh.GetNumVertices(), 9u);
    ASSERT_EQ(mesh.GetNumParts(), 1u);
    EXPECT_EQ(mesh.GetPart(0)->faceCount, mesh.GetNumIndices() / 3);
    EXPECT_EQ(mesh.GetNumMaterials(), 2u);
    EXPECT_FALSE(mesh.ImportOBJ("missing.obj"));

    WriteTextFile("static-squares.x", XSquares({{1, 0, 0, 1, ""}, {0, 0, 1, 1, ""}}));
    ASSERT_TRUE(mesh.ImportX("static-squares.x", ""));
    ASSERT_EQ(mesh.GetNumParts() + mesh.GetNumMaterials(), 4u);
    EXPECT_EQ(mesh.GetPart(1)->material, 1u);
    EXPECT_GT(mesh.GetPart(1)->vertexStart, 0u) << "the second square's vertices come second";
    const Picture p = Draw(Backdrop, [&] {
        LookFlat(*engine, D3DXVECTOR3(0, 0.5f, -3), D3DXVECTOR3(0, 0.5f, 0));
        EXPECT_EQ(mesh.Draw(), 4u);
    });
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(-0.5f, 0.5f, 0)), RedColour));
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.5f, 0.5f, 0)), BlueColour));
    EXPECT_FALSE(mesh.ImportX("missing.x", ""));
    EXPECT_EQ(mesh.GetVersion(), 0);
}

TEST_F(MeshesTest, DynamicArmIsDrawnAtBothKeyTimesAndAgainAfterAReset)
{
    const std::string file = ContentPath("samples/arm.edm");
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass ? "after a reset" : "before a reset");
        tavDynamicMesh mesh(engine);
        ASSERT_TRUE(mesh.Load(file.c_str(), ContentPath("").c_str()));
        EXPECT_EQ(mesh.GetNumVerts(), 48u);
        EXPECT_EQ(mesh.GetNumBones() + mesh.GetNumAnimations(), 4u);
        mesh.Save("arm-again.edm");
        EXPECT_EQ(ReadBinaryFile("arm-again.edm"), ReadBinaryFile(file));
        Paint(*mesh.GetMaterial(0), BlueColour);
        Paint(*mesh.GetMaterial(1), RedColour);
        // At `now`: on the arm held out along +x, where that point is once
        // the arm is up, and on the post.
        auto expectPose = [&](uint32_t now, D3DCOLOR out, D3DCOLOR up) {
            mesh.AnimateAt(now);
            const Picture p = Draw(Backdrop, [&] {
                LookFlat(*engine, D3DXVECTOR3(0.75f, 1.75f, -8), D3DXVECTOR3(0.75f, 1.75f, 0));
                EXPECT_EQ(mesh.Draw(), 24u);
                engine->ResetWorldTransform();
            });
            EXPECT_TRUE(Near(p.At(D3DXVECTOR3(1.5f, 1.75f, -0.25f)), out)) << "out, at " << now;
            EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.25f, 3.0f, -0.25f)), up)) << "up, at " << now;
            EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 1, -0.25f)), BlueColour)) << "post, at " << now;
        };
        // The first update starts animation 0; its whole duration later the
        // arm is up; the next update moves on to animation 1 from there.
        expectPose(1000, RedColour, Backdrop);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 0);
        expectPose(2000, Backdrop, RedColour);
        EXPECT_EQ(mesh.GetBlend(), 1.0f);
        expectPose(2014, Backdrop, RedColour);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 1);
        if (pass == 0)
        {
            ASSERT_EQ(engine->ResetDevice(), S_OK);
        }
    }
    const std::vector<uint8_t> good = ReadBinaryFile(file);
    ASSERT_FALSE(good.empty());
    std::vector<uint8_t> other = good;
    other[0] = 20;
    tavDynamicMesh mesh(engine);
    ExpectRefused(mesh, file, "Invalid Dynamic Mesh: ",
                  {{"arm-other.edm", other}, {"arm-cut.edm", {good.begin(), good.end() - 10}}});
    EXPECT_EQ(mesh.GetFileVersion(), 0);
    EXPECT_FALSE(mesh.Load("arm-missing.edm", ""));
    EXPECT_NE(Log().find("Can't open dynamic mesh: arm-missing.edm"), std::string::npos);
}

TEST_F(MeshesTest, DynamicBonesMoveWithTheirParentAndPhysicsRestsASphereOnTheMesh)
{
    // Two bones in a chain, each turning a quarter about z at its pivot.
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
    tavDynamicMesh mesh(engine);
    ASSERT_TRUE(mesh.ImportFromMemory(v, 3, idx, 3, nullptr, 0, root, &once, 1, 2));
    EXPECT_EQ(mesh.GetNumBones(), 2u);
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

    // A slab 200 wide whose top is at y = 10, as a one-bone dynamic mesh.
    std::vector<tavMeshVertex> slab;
    std::vector<uint16_t> slabIndices;
    const float min[3] = {-100, -10, -100}, max[3] = {100, 10, 100};
    assetgen::MeshSamples::Box(min, max, slab, slabIndices);
    tavBoneData one;
    one.part.faceCount = uint32_t(slabIndices.size() / 3);
    one.part.vertexCount = uint32_t(slab.size());
    ASSERT_TRUE(mesh.ImportFromMemory(slab.data(), uint32_t(slab.size()), slabIndices.data(),
                                      uint32_t(slabIndices.size()), nullptr, 0, one, nullptr, 0,
                                      0));
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertDynamicMesh(&mesh, &record));
    EXPECT_EQ(record.triangleCount, 12);
    EXPECT_EQ(record.vertexCount, 24);
    EXPECT_EQ(record.triangles[11].index[2], slabIndices[35]);
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
    tavDynamicMesh empty(engine);
    EXPECT_FALSE(tavPhysics::ConvertDynamicMesh(&empty, &record));
}
