#include "RenderCheck.h"

#include "graphics/tavMeshModel.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

namespace
{
// The vertex whose normal lies closest to `direction`.
const auto Nearest = [](tavMeshModel& model, const D3DXVECTOR3& direction) {
    const tavMeshModel::Vertex* v = model.LockVertexBuffer(D3DLOCK_READONLY);
    tavMeshModel::Vertex best = {};
    for (uint32_t i = 0; v && i < model.GetNumVertices(); ++i)
        if (i == 0 || D3DXVec3Dot(&v[i].normal, &direction) > D3DXVec3Dot(&best.normal, &direction))
            best = v[i];
    model.UnlockVertexBuffer();
    return best;
};

const auto ExpectEmpty = [](tavMeshModel& model) {
    EXPECT_EQ(model.GetMesh(), nullptr);
    EXPECT_EQ(model.GetMaterialCount() + model.GetNumVertices() + model.GetNumFaces(), 0u);
    EXPECT_EQ(model.Draw(), 0u);
    EXPECT_EQ(model.LockVertexBuffer(0), nullptr);
    tavBoundingBox box;
    tavOrientedBox oriented;
    EXPECT_FALSE(model.ComputeBounds(box, oriented, nullptr));
};
} // namespace

TEST_F(GraphicsTest, MeshModelFromXTakesMaterialsAndTexturesAndDrawsEachSubsetWithItsOwn)
{
    CreateDirectoryA("mm", nullptr);
    WriteBmp("mm/a.tga", 8, 8, [](int, int) { return 0xFFFF0000; }); // by content, any extension
    WriteBmp("a.tga", 8, 8, [](int, int) { return 0xFF00FF00; });
    WriteTextFile("mm.x", XSquares({{0.25f, 0.5f, 0.75f, 1.0f, "a.tga"}, {1, 0, 0.5f, 0.5f, ""}}));
    auto pooled = [&](std::string name) { return engine->FindTexture(name, 0, 1); };
    tavMeshModel model(engine);
    ASSERT_TRUE(model.LoadFromX("mm.x", "mm/"));
    ASSERT_EQ(model.GetMaterialCount(), 2u);
    EXPECT_GE(model.GetMaterial(0)->textures[0], 0);
    EXPECT_EQ(model.GetMaterial(0)->textures[0], pooled("mm/a.tga"));
    EXPECT_EQ(pooled("a.tga"), -1);
    EXPECT_EQ(model.GetMaterial(1)->textures[0], -1);
    // Ambient from diffuse.
    const D3DMATERIAL9& second = model.GetMaterial(1)->material;
    EXPECT_EQ(std::memcmp(&second.Ambient, &second.Diffuse, sizeof(second.Ambient)), 0);
    EXPECT_EQ(std::vector<float>({second.Power, second.Specular.r, second.Diffuse.a}),
              (std::vector<float>{8, 0.25f, 0.5f}));
    ASSERT_TRUE(model.LoadFromX("mm.x", nullptr));
    EXPECT_EQ(model.GetMaterial(0)->textures[0], pooled("a.tga"));
    // A missing texture is the pool's failure; the mesh still loads.
    const DWORD failedBefore = engine->GetFailedCount();
    ASSERT_TRUE(model.LoadFromX("mm.x", "elsewhere/"));
    EXPECT_EQ(model.GetMaterial(0)->textures[0], -1);
    EXPECT_EQ(engine->GetFailedCount(), failedBefore + 1);
    // In the static layout, bounds around it (every field rewritten).
    const std::string one = XSquares({});
    WriteTextFile("mm-one.x", one);
    ASSERT_TRUE(model.LoadFromX("mm-one.x", ""));
    EXPECT_EQ(model.GetMesh()->GetNumBytesPerVertex(), 32u);
    float radius = 0;
    tavBoundingBox box;
    tavOrientedBox ob;
    ob.position[0] = ob.orientation[0][1] = 9;
    EXPECT_TRUE(model.ComputeBounds(box, ob, &radius));
    EXPECT_EQ(std::vector<float>(ob.centroid, ob.centroid + 3),
              (std::vector<float>{-0.5f, 0.5f, 0}));
    EXPECT_EQ(std::vector<float>({box.min.y, box.max.x, ob.halfExtents[1]}),
              (std::vector<float>{0, 0, 0.5f}));
    EXPECT_NEAR(radius, std::sqrt(0.5f), 1e-4f);
    // One index past the vertices, or a missing file, leaves it empty, the name kept.
    std::string badIndex = one;
    WriteTextFile("mm-index.x", badIndex.replace(badIndex.find("3;0,2,1;"), 8, "3;0,2,7;"));
    EXPECT_FALSE(model.LoadFromX("mm-index.x", "mm/"));
    ExpectEmpty(model);
    EXPECT_EQ(model.GetFileName(), "mm-index.x");
    EXPECT_FALSE(model.LoadFromX("mm-missing.x", "mm/"));
    EXPECT_FALSE(model.LoadFromX(nullptr, nullptr));
    ExpectEmpty(model);
    // Each subset drawn with its own material and texture.
    Solid(0xFFFF0000);
    Solid(0xFF00FF00);
    WriteTextFile("mm-squares.x", XSquares({{1, 1, 1, 1, "solid-FF0000.bmp"},
                                            {0, 0.5f, 1, 1, "solid-00FF00.bmp"}}));
    ASSERT_TRUE(model.LoadFromX("mm-squares.x", ""));
    Picture p = Draw(0xFF000000, [&] {
        LookFlat(*engine, D3DXVECTOR3(0, 0, -3), D3DXVECTOR3(0, 0, 0));
        EXPECT_EQ(model.Draw(), 4u);
    });
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(-0.5f, 0.5f, 0)), 0xFFFF0000)); // white x red texture
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.5f, 0.5f, 0)), 0xFF008000));  // (0, 0.5, 1) x green
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0, 2, 0)), 0xFF000000));
    model.SetMaterialTexture(Solid(0xFF0000FF), 1);
    p = Draw(0xFF000000, [&] { model.Draw(); });
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(0.5f, 0.5f, 0)), 0xFF0000FF)) << "the texture set on it";
}

TEST_F(GraphicsTest, MeshModelSpheresMapTextureByTheirRuleAreLitRefuseBadSizesAndAreRecreated)
{
    tavMeshModel model(engine);
    EXPECT_FALSE(model.Recreate()); // never made
    // Poles on z, a vertex at +x; halfway up the rules part: 0.854 planar, 0.75 sphere.
    for (bool sphereRule : {false, true})
    {
        SCOPED_TRACE(sphereRule ? "sphere rule" : "planar rule");
        ASSERT_TRUE(model.CreateSphere(1.0f, 16, 8, 5, sphereRule));
        const tavMeshModel::Vertex side = Nearest(model, D3DXVECTOR3(1, 0, 0));
        const tavMeshModel::Vertex pole = Nearest(model, D3DXVECTOR3(0, 0, 1));
        const tavMeshModel::Vertex mid = Nearest(model, D3DXVECTOR3(0, 0.70710678f, 0.70710678f));
        ASSERT_GT(side.normal.x, 0.999f);
        ASSERT_NEAR(mid.normal.y, 0.7071f, 0.02f); // averaged face normals: not exact
        const float uv[] = {side.u, side.v, pole.u, pole.v, mid.v};
        const float want[] = {1.0f, 0.5f, 0.5f, 0.5f, sphereRule ? 0.75f : 0.8536f};
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(uv[i], want[i], 0.02f) << i;
        EXPECT_EQ(model.GetMaterial(0)->textures[0], 5);
    }
    const uint32_t vertices = model.GetNumVertices();
    model.Clear();
    ExpectEmpty(model);
    ASSERT_TRUE(model.Recreate());
    EXPECT_EQ(model.GetNumVertices() + model.GetMaterial(0)->textures[0], vertices + 5);
    // Lit from +x only.
    ASSERT_TRUE(model.CreateSphere(1.0f, 32, 16, Solid(0xFFFFFFFF), false));
    const Picture p = Draw(0xFF000000, [&] {
        engine->SetView(D3DXVECTOR3(0, 0, -4), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
        engine->Apply3D();
        engine->ResetWorldTransform();
        engine->SetLighting(true, 0xFF000000);
        D3DLIGHT9 light = {};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Direction = {-1, 0, 0};
        engine->SetLight(0, light);
        engine->EnableLight(0, true);
        EXPECT_EQ(model.Draw(), model.GetNumFaces());
    });
    const D3DCOLOR lit = p.At(D3DXVECTOR3(0.7f, 0, -0.7f));
    EXPECT_GT(Brightness(lit), 300) << Hex(lit);
    EXPECT_LT(Brightness(p.At(D3DXVECTOR3(-0.7f, 0, -0.7f))), 30) << "the dark side";
    EXPECT_TRUE(Near(p.At(D3DXVECTOR3(1.5f, 1.5f, 0)), 0xFF000000));
    // Radius, slices, stacks: 100000 overflows 16-bit indices.
    const float nan = std::nanf("");
    const std::tuple<float, uint32_t, uint32_t> spheres[] = {
        {0, 16, 8}, {nan, 16, 8}, {1, 1, 8}, {1, 100000, 100000}, {1, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    for (const auto& [radius, slices, stacks] : spheres)
        EXPECT_FALSE(model.CreateSphere(radius, slices, stacks, -1, false)) << slices;
    EXPECT_FALSE(model.CreateBox(1, 1, nan, -1));
    ExpectEmpty(model);
    EXPECT_FALSE(model.Recreate()); // the last attempt's sizes are still bad
    EXPECT_FALSE(tavMeshModel(nullptr).CreateBox(1, 1, 1, -1));
}
