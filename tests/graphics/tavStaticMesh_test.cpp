// The engine's static mesh files under a real device: the generated crate
// loads in both section orders, saves back byte for byte through the
// texture pool's names, draws each part with its own material before and
// after a device reset; the importers fill the same mesh; bad files leave
// an empty mesh and a red line.
#include "RenderCheck.h"
#include "XFiles.h"

#include "graphics/tavMeshBytes.h"
#include "graphics/tavSimpleStaticMesh.h"
#include "graphics/tavStaticMesh.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
const D3DCOLOR Backdrop = 0xFF000000, SideColour = 0xFFFF0000, TopColour = 0xFF00FF00;

class StaticMeshTest : public GraphicsTest
{
protected:
    // The crate from the front and a little above, painted: a side face at
    // the centre, the top face above it.
    void ExpectCrate(tavStaticMesh& mesh)
    {
        Paint(*mesh.GetMaterial(0), SideColour);
        Paint(*mesh.GetMaterial(1), TopColour);
        const Picture p = Draw(Backdrop, [&] {
            LookFlat(*engine, D3DXVECTOR3(0, 3, -6), D3DXVECTOR3(0, 0, 0));
            EXPECT_EQ(mesh.Draw(), 12u);
        });
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, -0.5f, -1)), SideColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 1, 0)), TopColour));
        EXPECT_TRUE(Near(p.At(D3DXVECTOR3(2.5f, 0, 0)), Backdrop));
    }
};
} // namespace

TEST_F(StaticMeshTest, GeneratedCrateLoadsSavesBackByteForByteAndDrawsAfterAReset)
{
    for (bool simple : {false, true})
    {
        SCOPED_TRACE(simple ? "simple order" : "with bounds");
        const std::string file = ContentPath(simple ? "samples/crate-simple.msh" : "samples/crate.msh");
        std::unique_ptr<tavStaticMesh> mesh(simple ? new tavSimpleStaticMesh(engine.get())
                                                   : new tavStaticMesh(engine.get()));
        ASSERT_TRUE(mesh->Load(file.c_str(), ContentPath("").c_str()));
        EXPECT_EQ(mesh->GetVersion(), 20);
        EXPECT_EQ(mesh->GetNumVertices(), 24u);
        EXPECT_EQ(mesh->GetNumIndices(), 36u);
        ASSERT_EQ(mesh->GetNumParts(), 2u);
        ASSERT_EQ(mesh->GetNumMaterials(), 2u);
        EXPECT_GE(mesh->GetMaterial(0)->textures[0], 0) << "caust0.tga from base/";
        EXPECT_GE(mesh->GetMaterial(1)->textures[0], 0) << "water.tex from base/";
        tavBoundingBox box;
        tavBoundingSphere sphere;
        mesh->GetBox(box);
        mesh->GetSphere(sphere);
        EXPECT_EQ(box.max.x, 1.0f);
        EXPECT_EQ(box.min.z, -1.0f);
        EXPECT_FLOAT_EQ(sphere.radius, std::sqrt(3.0f));

        mesh->Save("again.msh");
        EXPECT_EQ(ReadBinaryFile("again.msh"), ReadBinaryFile(file));
        ExpectCrate(*mesh);
        // Managed buffers: the same picture after a reset, nothing restored.
        ASSERT_EQ(engine->ResetDevice(), S_OK);
        ExpectCrate(*mesh);
    }
}

TEST_F(StaticMeshTest, ImportedModelsFillTheMeshAndSaveInTheEnginesFormat)
{
    tavStaticMesh mesh(engine.get());
    ASSERT_TRUE(mesh.Import3DS(ContentPath("samples/crate.3ds").c_str(), ContentPath("").c_str()));
    EXPECT_EQ(mesh.GetNumVertices(), 24u);
    EXPECT_EQ(mesh.GetNumParts(), 2u);
    EXPECT_GE(mesh.GetMaterial(1)->textures[0], 0);
    EXPECT_FLOAT_EQ(mesh.GetMaterial(1)->material.Diffuse.a, 0.75f);
    const std::string log = Log();
    EXPECT_NE(log.find("3DS Model Import"), std::string::npos);
    EXPECT_NE(log.find("Successfully copied verts: 24"), std::string::npos);
    EXPECT_NE(log.find("Successfully copied parts: 2"), std::string::npos);
    ExpectCrate(mesh);

    mesh.Save("imported.msh");
    tavStaticMesh again(engine.get());
    ASSERT_TRUE(again.Load("imported.msh", ""));
    EXPECT_EQ(again.GetNumIndices(), 36u);

    ASSERT_TRUE(mesh.ImportOBJ(ContentPath("samples/crate.obj").c_str()));
    EXPECT_EQ(mesh.GetNumVertices(), 9u);
    ASSERT_EQ(mesh.GetNumParts(), 1u);
    EXPECT_EQ(mesh.GetPart(0)->faceCount, mesh.GetNumIndices() / 3);
    EXPECT_EQ(mesh.GetNumMaterials(), 2u);
    EXPECT_NE(Log().find("Creating material: Water"), std::string::npos);
}

TEST_F(StaticMeshTest, ImportedXMeshDrawsEachMaterialsPartFromItsOwnVertices)
{
    WriteTextFile("squares.x", XTwoSquares({1, 0, 0, 1, ""}, {0, 0, 1, 1, ""}));
    tavStaticMesh mesh(engine.get());
    ASSERT_TRUE(mesh.ImportX("squares.x", ""));
    ASSERT_EQ(mesh.GetNumParts(), 2u);
    ASSERT_EQ(mesh.GetNumMaterials(), 2u);
    EXPECT_EQ(mesh.GetPart(1)->material, 1u);
    EXPECT_GT(mesh.GetPart(1)->vertexStart, 0u) << "the second square's vertices come second";
    EXPECT_EQ(mesh.GetMaterial(1)->material.Ambient.b, 1.0f);

    const Picture p = Draw(Backdrop, [&] {
        LookFlat(*engine, D3DXVECTOR3(0, 0.5f, -3), D3DXVECTOR3(0, 0.5f, 0));
        EXPECT_EQ(mesh.Draw(), 4u);
    });
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(-0.5f, 0.5f, 0)), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.5f, 0.5f, 0)), 0xFF0000FF));
    EXPECT_FALSE(mesh.ImportX("missing.x", ""));
    EXPECT_EQ(mesh.GetVersion(), 0);
}

TEST_F(StaticMeshTest, BadFilesLeaveAnEmptyMeshAndARedLine)
{
    const std::string crate = ContentPath("samples/crate.msh");
    const std::vector<uint8_t> good = ReadBinaryFile(crate);
    ASSERT_GT(good.size(), 6u);
    std::vector<uint8_t> v21 = good, huge = good;
    v21[0] = 21;
    huge[2] = huge[3] = huge[4] = huge[5] = 0xFF; // 4 billion vertices
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"v21.msh", v21}, {"cut.msh", {good.begin(), good.begin() + long(good.size() / 2)}},
        {"huge.msh", huge}};
    tavStaticMesh mesh(engine.get());
    for (const auto& file : files)
    {
        ASSERT_TRUE(tavWriteWholeFile(file.first, file.second));
        ASSERT_TRUE(mesh.Load(crate.c_str(), ""));
        EXPECT_FALSE(mesh.Load(file.first, ""));
        EXPECT_EQ(mesh.GetVersion(), 0);
        EXPECT_EQ(mesh.GetNumVertices() + mesh.Draw(), 0u);
        EXPECT_NE(Log().find(std::string("Invalid Static Mesh File: ") + file.first),
                  std::string::npos);
    }
    EXPECT_FALSE(mesh.Load("missing.msh", ""));
    EXPECT_NE(Log().find("<font color=\"red\">Error Opening Static Mesh: missing.msh</font>"),
              std::string::npos);
    mesh.Save("empty.msh");
    EXPECT_TRUE(ReadBinaryFile("empty.msh").empty()) << "an empty mesh writes nothing";
    EXPECT_FALSE(mesh.ImportOBJ("missing.obj"));
    EXPECT_NE(Log().find("Failed opening .OBJ file: missing.obj"), std::string::npos);
}
