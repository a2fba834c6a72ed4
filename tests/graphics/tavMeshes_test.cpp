// Static and dynamic meshes under a real device: loaded, saved back byte for byte,
// drawn part by part before and after a device reset; imported models.
#include "RenderCheck.h"

#include "graphics/tavDynamicMesh.h"
#include "graphics/tavMeshBytes.h"
#include "graphics/tavSimpleStaticMesh.h"
#include "graphics/tavStaticMesh.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

const D3DCOLOR Backdrop = 0xFF000000, RedColour = 0xFFFF0000, GreenColour = 0xFF00FF00,
               BlueColour = 0xFF0000FF;
using MeshesTest = GraphicsTest;

TEST_F(MeshesTest, StaticCrateLoadsInBothOrdersSavesByteForByteDrawsAfterAResetAndImports)
{
    // The crate from the front, a little above, painted: a side face and the top above it.
    auto ExpectCrate = [&](tavStaticMesh& mesh) {
        Paint(*mesh.GetMaterial(0), RedColour);
        Paint(*mesh.GetMaterial(1), GreenColour);
        const Picture p = Draw(Backdrop, [&] {
            LookFlat(*engine, D3DXVECTOR3(0, 3, -6), D3DXVECTOR3(0, 0, 0));
            EXPECT_EQ(mesh.Draw(), 12u);
        });
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, -0.5f, -1)), RedColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 1, 0)), GreenColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(2.5f, 0, 0)), Backdrop));
    };
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
        tavBoundingSphere sphere;
        mesh->GetSphere(sphere);
        EXPECT_FLOAT_EQ(sphere.radius, std::sqrt(3.0f));
        mesh->Save("crate-again.msh");
        EXPECT_EQ(ReadBinaryFile("crate-again.msh"), ReadBinaryFile(file));
        ExpectCrate(*mesh);
        ASSERT_EQ(engine->ResetDevice(), S_OK); // managed buffers: nothing to restore
        ExpectCrate(*mesh);
    }
    tavStaticMesh mesh(engine);
    mesh.Save("crate-empty.msh");
    EXPECT_TRUE(ReadBinaryFile("crate-empty.msh").empty()) << "an empty mesh writes nothing";
    // Imported models fill it, each part from its own vertices.
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

TEST_F(MeshesTest, DynamicMeshesAnimateBonesUnderTheirParentsAndDrawAgainAfterAReset)
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
        // At `now`: on the arm held out along +x, where it is once up, and on the post.
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
        // Animation 0 starts; its duration later the arm is up; then animation 1 starts.
        expectPose(1000, RedColour, Backdrop);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 0);
        expectPose(2000, Backdrop, RedColour);
        EXPECT_EQ(mesh.GetBlend(), 1.0f);
        expectPose(2014, Backdrop, RedColour);
        EXPECT_EQ(mesh.GetCurrentAnimation(), 1);
        ASSERT_TRUE(pass == 1 || engine->ResetDevice() == S_OK);
    }
    std::vector<uint8_t> cut = ReadBinaryFile(file);
    cut.resize(cut.size() - 10);
    ASSERT_TRUE(tavWriteWholeFile("arm-cut.edm", cut));
    tavDynamicMesh mesh(engine);
    ASSERT_TRUE(mesh.Load(file.c_str(), ""));
    EXPECT_FALSE(mesh.Load("arm-cut.edm", ""));
    mesh.AnimateAt(5000);
    EXPECT_EQ(mesh.GetFileVersion() + int(mesh.Draw()), 0);
    EXPECT_NE(Log().find("Invalid Dynamic Mesh: arm-cut.edm"), std::string::npos);
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
    ASSERT_TRUE(mesh.ImportFromMemory(v, 3, idx, 3, nullptr, 0, root, &once, 1, 2));
    EXPECT_EQ(mesh.GetNumBones(), 2u);
    mesh.AnimateAt(500);
    // The child's pivot (1, 0, 0) turns to (0, 1, 0); (2, 0, 0) turns twice, to (-1, 1, 0).
    D3DXVECTOR3 p(2, 0, 0), q;
    D3DXVec3TransformCoord(&q, &p, mesh.GetBoneTransform(1));
    EXPECT_NEAR(q.x, -1, 1e-5);
    EXPECT_NEAR(q.y, 1, 1e-5);
    mesh.AnimateAt(505); // within 13 ms: nothing moves
    EXPECT_EQ(mesh.GetBlend(), 0.0f);
    mesh.AnimateAt(550);
    EXPECT_FLOAT_EQ(mesh.GetBlend(), 0.5f);
}
