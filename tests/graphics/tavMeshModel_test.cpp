#include "RenderCheck.h"
#include "XFiles.h"

#include "graphics/tavMeshModel.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
class MeshModelTest : public GraphicsTest
{
protected:
    // The number the pool gave `name`, or -1.
    int PoolNumber(std::string name) { return engine->FindTexture(name, 0, 1); }

    // The vertex whose normal lies closest to `direction`.
    tavMeshModel::Vertex Nearest(tavMeshModel& model, const D3DXVECTOR3& direction)
    {
        const tavMeshModel::Vertex* v = model.LockVertexBuffer(D3DLOCK_READONLY);
        tavMeshModel::Vertex best = {};
        float bestDot = -2.0f;
        for (uint32_t i = 0; v && i < model.GetNumVertices(); ++i)
            if (D3DXVec3Dot(&v[i].normal, &direction) > bestDot)
                bestDot = D3DXVec3Dot(&v[i].normal, &direction), best = v[i];
        model.UnlockVertexBuffer();
        return best;
    }

    tavOrientedBox Bounds(tavMeshModel& model, float* radius = nullptr)
    {
        tavBoundingBox box;
        tavOrientedBox oriented;
        oriented.position[0] = 9; // everything is rewritten
        oriented.orientation[0][1] = 3;
        EXPECT_TRUE(model.ComputeBounds(box, oriented, radius));
        EXPECT_FLOAT_EQ(box.min.y, oriented.centroid[1] - oriented.halfExtents[1]);
        EXPECT_FLOAT_EQ(box.max.x, oriented.centroid[0] + oriented.halfExtents[0]);
        return oriented;
    }

    void ExpectEmpty(tavMeshModel& model)
    {
        EXPECT_EQ(model.GetMesh(), nullptr);
        EXPECT_EQ(model.GetMaterialCount(), 0u);
        EXPECT_EQ(model.GetNumVertices() + model.GetNumFaces() + model.Draw(), 0u);
        EXPECT_EQ(model.LockVertexBuffer(0), nullptr);
        EXPECT_EQ(model.LockIndexBuffer(0), nullptr);
        tavBoundingBox box;
        tavOrientedBox oriented;
        EXPECT_FALSE(model.ComputeBounds(box, oriented, nullptr));
    }
};
} // namespace

// ---- .x files ----

TEST_F(MeshModelTest, MaterialsTakeAmbientFromDiffuseAndTheirTextureFromTheFolder)
{
    CreateDirectoryA("base", nullptr);
    WriteSolidBmp("base/a.tga", 0xFFFF0000); // loaded by content, whatever the extension
    WriteSolidBmp("a.tga", 0xFF00FF00);
    WriteTextFile("cube.x", XCube({{0.25f, 0.5f, 0.75f, 1.0f, "a.tga"}, {1, 0, 0.5f, 0.5f, ""}}));
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.LoadFromX("cube.x", "base/"));
    ASSERT_EQ(model.GetMaterialCount(), 2u);
    EXPECT_GE(model.GetMaterial(0)->textures[0], 0);
    EXPECT_EQ(model.GetMaterial(0)->textures[0], PoolNumber("base/a.tga"));
    EXPECT_EQ(PoolNumber("a.tga"), -1);
    EXPECT_EQ(model.GetMaterial(1)->textures[0], -1); // no texture named
    for (uint32_t i = 0; i < 2; ++i)
    {
        const D3DMATERIAL9& m = model.GetMaterial(i)->material;
        EXPECT_EQ(std::memcmp(&m.Ambient, &m.Diffuse, sizeof(m.Ambient)), 0) << i;
        EXPECT_EQ(m.Power, 8.0f);
        EXPECT_EQ(m.Specular.r, 0.25f);
    }
    EXPECT_EQ(model.GetMaterial(0)->material.Diffuse.g, 0.5f);
    EXPECT_EQ(model.GetMaterial(1)->material.Diffuse.a, 0.5f);
    EXPECT_EQ(model.GetMaterial(2), nullptr);

    for (const char* folder : {"", static_cast<const char*>(nullptr)})
    {
        ASSERT_TRUE(model.LoadFromX("cube.x", folder));
        EXPECT_EQ(model.GetMaterial(0)->textures[0], PoolNumber("a.tga"));
    }
    // A texture that is not there: the pool counts the failure, the mesh loads.
    const DWORD failedBefore = engine->GetFailedCount();
    ASSERT_TRUE(model.LoadFromX("cube.x", "elsewhere/"));
    EXPECT_EQ(model.GetMaterial(0)->textures[0], -1);
    EXPECT_EQ(engine->GetFailedCount(), failedBefore + 1);
    EXPECT_EQ(model.Draw(), 12u);

    std::vector<XMaterial> fifty(50);
    fifty[49].r = 0.5f;
    WriteTextFile("fifty.x", XCube(fifty));
    ASSERT_TRUE(model.LoadFromX("fifty.x", "base/"));
    EXPECT_EQ(model.GetMaterialCount(), 50u);
    EXPECT_EQ(model.GetMaterial(49)->material.Diffuse.r, 0.5f);
    EXPECT_EQ(model.Draw(), 12u);
    // Without a material list D3DX supplies at most one default material.
    WriteTextFile("none.x", XCube({}));
    ASSERT_TRUE(model.LoadFromX("none.x", "base/"));
    ASSERT_LE(model.GetMaterialCount(), 1u);
    if (tavMaterial* m = model.GetMaterial(0))
    {
        EXPECT_EQ(m->material.Ambient.r, m->material.Diffuse.r);
    }
    model.SetMaterialTexture(3, 5); // no such material
    model.RemoveMaterialTexture(5);
    EXPECT_EQ(model.Draw(), 12u);
}

TEST_F(MeshModelTest, MissingOrBrokenFilesLeaveTheModelEmpty)
{
    tavMeshModel model(engine.get());
    const std::string good = XCube({{}}), head = "xof 0303txt 0032\nMesh {\n";
    const std::string faces = " 1;\n 3;0,1,2;;\n}\n";
    WriteTextFile("good.x", good);
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"empty.x", ""},
        {"header-only.x", "xof 0303txt 0032\n"},
        {"truncated.x", good.substr(0, good.size() / 2)},
        {"not-x.x", "this is no mesh file at all\n"},
        {"integer.x", head + " 3;\n 0;0;0;,\n 1.0;0.0;0.0;,\n 0.0;1.0;0.0;;\n" + faces},
        {"bad-index.x", head + " 3;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;1.0;0.0;;\n"
                               " 1;\n 3;0,1,7;;\n}\n"},
        {"short.x", head + " 900;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;1.0;0.0;;\n" + faces},
    };
    for (const auto& file : broken)
    {
        SCOPED_TRACE(file.first);
        ASSERT_TRUE(model.LoadFromX("good.x", ""));
        WriteTextFile(file.first, file.second);
        EXPECT_FALSE(model.LoadFromX(file.first.c_str(), "base/"));
        ExpectEmpty(model);
        EXPECT_EQ(model.GetFileName(), file.first); // kept for Recreate
    }
    EXPECT_FALSE(model.LoadFromX("missing.x", "base/"));
    ExpectEmpty(model);
    EXPECT_FALSE(model.LoadFromX(nullptr, nullptr));
    ExpectEmpty(model);
    EXPECT_TRUE(Pump()); // the engine carries on
}

TEST_F(MeshModelTest, LoadedMeshIsInTheStaticLayoutWithNormalsAndValidIndices)
{
    WriteTextFile("cube.x", XCube({{}}, 2.0f, 3.0f, 4.0f));
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.LoadFromX("cube.x", ""));
    EXPECT_EQ(model.GetMesh()->GetFVF(), 0x112u);
    EXPECT_EQ(model.GetMesh()->GetNumBytesPerVertex(), 32u);
    const uint16_t* indices = model.LockIndexBuffer(D3DLOCK_READONLY);
    ASSERT_NE(indices, nullptr);
    for (uint32_t i = 0; i < model.GetNumFaces() * 3; ++i)
        ASSERT_LT(indices[i], model.GetNumVertices());
    model.UnlockIndexBuffer();
    float radius = 0;
    const tavOrientedBox box = Bounds(model, &radius);
    EXPECT_FLOAT_EQ(box.centroid[0], 2.5f);
    EXPECT_FLOAT_EQ(box.centroid[1], 3.5f);
    EXPECT_FLOAT_EQ(box.centroid[2], 4.5f);
    EXPECT_FLOAT_EQ(box.halfExtents[1], 0.5f);
    EXPECT_NEAR(radius, std::sqrt(0.75f), 1e-4f);
}

// ---- Generated shapes ----

TEST_F(MeshModelTest, SphereTextureCoordinatesFollowTheNormal)
{
    tavMeshModel model(engine.get());
    // D3DX's sphere has its poles on z; an even stack count puts vertices on
    // the equator, among them one at +x.
    for (bool sphereRule : {false, true})
    {
        SCOPED_TRACE(sphereRule ? "sphere rule" : "planar rule");
        ASSERT_TRUE(model.CreateSphere(1.0f, 16, 8, 5, sphereRule));
        const tavMeshModel::Vertex side = Nearest(model, D3DXVECTOR3(1, 0, 0));
        ASSERT_GT(side.normal.x, 0.999f);
        EXPECT_NEAR(side.u, 1.0f, 0.02f); // asin 1 = pi/2: both rules give 1
        EXPECT_NEAR(side.v, 0.5f, 0.01f);
        const tavMeshModel::Vertex pole = Nearest(model, D3DXVECTOR3(0, 0, 1));
        ASSERT_GT(pole.normal.z, 0.999f);
        EXPECT_NEAR(pole.u, 0.5f, 0.01f);
        EXPECT_NEAR(pole.v, 0.5f, 0.01f);
        // Halfway up (y = z = 0.707) the rules part: 0.854 planar, 0.75 sphere.
        const tavMeshModel::Vertex mid = Nearest(model, D3DXVECTOR3(0, 0.70710678f, 0.70710678f));
        ASSERT_NEAR(mid.normal.y, 0.7071f, 0.02f); // averaged face normals: not exact
        EXPECT_NEAR(mid.v, sphereRule ? 0.75f : 0.8536f, 0.015f);
        EXPECT_EQ(model.GetMaterialCount(), 1u);
        EXPECT_EQ(model.GetMaterial(0)->textures[0], 5);
        EXPECT_EQ(model.GetMesh()->GetFVF(), 0x112u);
    }
}

TEST_F(MeshModelTest, BoxUsesThePlanarRuleAndBoundsAUnitCube)
{
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.CreateBox(1, 1, 1, -1));
    EXPECT_EQ(model.GetNumFaces(), 12u);
    const tavMeshModel::Vertex right = Nearest(model, D3DXVECTOR3(1, 0, 0));
    EXPECT_FLOAT_EQ(right.u, 1.0f);
    EXPECT_FLOAT_EQ(right.v, 0.5f);
    const tavMeshModel::Vertex top = Nearest(model, D3DXVECTOR3(0, 1, 0));
    EXPECT_FLOAT_EQ(top.u, 0.5f);
    EXPECT_FLOAT_EQ(top.v, 1.0f);
    const tavOrientedBox box = Bounds(model);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ(box.centroid[i], 0.0f);
        EXPECT_FLOAT_EQ(box.halfExtents[i], 0.5f);
        EXPECT_EQ(box.position[i], 0.0f);
    }
    EXPECT_EQ(box.orientation[0][1], 0.0f);
    EXPECT_EQ(box.inverseOrientation[2][2], 1.0f);
}

TEST_F(MeshModelTest, BadShapeSizesLeaveTheModelEmpty)
{
    tavMeshModel model(engine.get());
    const float nan = std::nanf("");
    const struct
    {
        float radius;
        uint32_t slices, stacks;
    } spheres[] = {{0, 16, 8},        {-1, 16, 8},     {nan, 16, 8},
                   {1, 1, 8},         {1, 16, 0},      {1, 100000, 100000}, // past 16-bit indices
                   {1, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    for (const auto& s : spheres)
    {
        EXPECT_FALSE(model.CreateSphere(s.radius, s.slices, s.stacks, -1, false)) << s.slices;
        ExpectEmpty(model);
    }
    for (const D3DXVECTOR3& size : {D3DXVECTOR3(0, 1, 1), D3DXVECTOR3(1, -1, 1),
                                    D3DXVECTOR3(1, 1, nan)})
    {
        EXPECT_FALSE(model.CreateBox(size.x, size.y, size.z, -1));
        ExpectEmpty(model);
    }
    EXPECT_FALSE(model.Recreate()); // the last attempt's sizes are still bad
    tavMeshModel noDevice(nullptr);
    EXPECT_FALSE(noDevice.CreateBox(1, 1, 1, -1));
    EXPECT_FALSE(noDevice.LoadFromX("cube.x", ""));
    EXPECT_EQ(noDevice.Draw(), 0u);
    EXPECT_TRUE(Pump());
}

TEST_F(MeshModelTest, RecreateRepeatsHowTheMeshWasMade)
{
    tavMeshModel model(engine.get());
    EXPECT_FALSE(model.Recreate()); // never made
    ASSERT_TRUE(model.CreateSphere(2.0f, 10, 6, 3, true));
    const uint32_t vertices = model.GetNumVertices();
    model.Clear();
    ExpectEmpty(model);
    ASSERT_TRUE(model.Recreate());
    EXPECT_EQ(model.GetNumVertices(), vertices);
    EXPECT_EQ(model.GetMaterial(0)->textures[0], 3);
    EXPECT_NEAR(Nearest(model, D3DXVECTOR3(0, 1, 0)).position.y, 2.0f, 0.01f);

    ASSERT_TRUE(model.CreateBox(1, 2, 3, 4));
    model.Clear();
    ASSERT_TRUE(model.Recreate());
    EXPECT_FLOAT_EQ(Bounds(model).halfExtents[2], 1.5f);

    ASSERT_TRUE(model.CreateTeapot(2, true));
    model.Clear();
    ASSERT_TRUE(model.Recreate());
    EXPECT_EQ(model.GetSource(), tavMeshModel::Teapot);
    EXPECT_EQ(model.GetMaterial(0)->textures[0], 2);

    WriteTextFile("cube.x", XCube({{}, {}}));
    ASSERT_TRUE(model.LoadFromX("cube.x", "base/"));
    model.Clear();
    ASSERT_TRUE(model.Recreate());
    EXPECT_EQ(model.GetMaterialCount(), 2u);
    EXPECT_EQ(model.GetTextureFolder(), "base/");
}

TEST_F(MeshModelTest, MaterialTextureCanBeSetAndRemovedFromThePool)
{
    WriteSolidBmp("t.bmp", 0xFFFFFFFF);
    const int number = engine->LoadTexture("t.bmp");
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.CreateBox(1, 1, 1, -1));
    model.SetMaterialTexture(number, 0);
    model.SetMaterialTexture(number + 1, 1); // no such material
    EXPECT_EQ(model.GetMaterial(0)->textures[0], number);
    model.RemoveMaterialTexture(5);
    EXPECT_TRUE(engine->IsValidTexture(number));
    model.RemoveMaterialTexture(0);
    EXPECT_FALSE(engine->IsValidTexture(number));
    model.RemoveMaterialTexture(0); // already gone: harmless
    model.Clear();
    EXPECT_EQ(engine->LoadTexture("t.bmp"), number + 1); // numbers are not reused
}

// ---- Pixels ----

TEST_F(MeshModelTest, LitSideOfAWhiteSphereIsBrighterThanItsDarkSide)
{
    WriteSolidBmp("white.bmp", 0xFFFFFFFF);
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.CreateSphere(1.0f, 32, 16, engine->LoadTexture("white.bmp"), false));
    const Picture p = Draw(0xFF000000, [&] {
        engine->SetView(D3DXVECTOR3(0, 0, -4), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
        engine->Apply3D();
        engine->ResetWorldTransform();
        engine->SetLighting(true, 0xFF000000);
        D3DLIGHT9 light = {};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Direction = {-1, 0, 0}; // shines toward -x: the +x side is lit
        engine->SetLight(0, light);
        engine->EnableLight(0, true);
        EXPECT_EQ(model.Draw(), model.GetNumFaces());
    });
    engine->EnableLight(0, false);
    const D3DCOLOR lit = p.At(D3DXVECTOR3(0.7f, 0, -0.7f)), dark = p.At(D3DXVECTOR3(-0.7f, 0, -0.7f));
    EXPECT_GT(Brightness(lit), 300) << Hex(lit);
    EXPECT_LT(Brightness(dark), 30) << Hex(dark);
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(1.5f, 1.5f, 0)), 0xFF000000));
    EXPECT_TRUE(Near(lit, D3DCOLOR(0xFF000000 | (Red(lit) * 0x010101)), 4)) << "grey, not tinted";
}

TEST_F(MeshModelTest, EachSubsetDrawsWithItsOwnMaterialAndTexture)
{
    WriteSolidBmp("red.bmp", 0xFFFF0000);
    WriteSolidBmp("green.bmp", 0xFF00FF00);
    WriteTextFile("squares.x", XTwoSquares({1, 1, 1, 1, "red.bmp"}, {0, 0.5f, 1, 1, "green.bmp"}));
    tavMeshModel model(engine.get());
    ASSERT_TRUE(model.LoadFromX("squares.x", ""));
    ASSERT_EQ(model.GetMaterialCount(), 2u);
    // Lit by ambient alone: colour = Ambient = Diffuse.
    const Picture p = Draw(0xFF000000, [&] {
        LookFlat(*engine, D3DXVECTOR3(0, 0, -3), D3DXVECTOR3(0, 0, 0));
        EXPECT_EQ(model.Draw(), 4u);
    });
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(-0.5f, 0.5f, 0)), 0xFFFF0000));  // white x red texture
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.5f, 0.5f, 0)), 0xFF008000)); // (0, 0.5, 1) x green
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 2, 0)), 0xFF000000));
}
