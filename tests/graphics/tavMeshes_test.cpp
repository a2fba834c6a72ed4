// Static, dynamic, model and skinned meshes under a real device, pixels read back.
#include "RenderCheck.h"

#include "graphics/tavDynamicMesh.h"
#include "graphics/tavMeshModel.h"
#include "graphics/tavSimpleStaticMesh.h"
#include "graphics/tavSkinMesh.h"
#include "graphics/tavStaticMesh.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>

const D3DCOLOR Backdrop = 0xFF000000, RedColour = 0xFFFF0000, GreenColour = 0xFF00FF00,
               BlueColour = 0xFF0000FF;
using MeshesTest = GraphicsTest;

TEST_F(MeshesTest, StaticAndDynamicMeshesLoadSaveByteForByteAnimateImportAndDrawAfterAReset)
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
    // Dynamic meshes animate bones under their parents and draw again after a reset.
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
    tavDynamicMesh arm(engine);
    ASSERT_TRUE(arm.Load(file.c_str(), ""));
    EXPECT_FALSE(arm.Load("arm-cut.edm", ""));
    arm.AnimateAt(5000);
    EXPECT_EQ(arm.GetFileVersion() + int(arm.Draw()), 0);
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
    ASSERT_TRUE(arm.ImportFromMemory(v, 3, idx, 3, nullptr, 0, root, &once, 1, 2));
    EXPECT_EQ(arm.GetNumBones(), 2u);
    arm.AnimateAt(500);
    // The child's pivot (1, 0, 0) turns to (0, 1, 0); (2, 0, 0) turns twice, to (-1, 1, 0).
    D3DXVECTOR3 tip(2, 0, 0), moved;
    D3DXVec3TransformCoord(&moved, &tip, arm.GetBoneTransform(1));
    EXPECT_NEAR(moved.x, -1, 1e-5);
    EXPECT_NEAR(moved.y, 1, 1e-5);
    arm.AnimateAt(505); // within 13 ms: nothing moves
    EXPECT_EQ(arm.GetBlend(), 0.0f);
    arm.AnimateAt(550);
    EXPECT_FLOAT_EQ(arm.GetBlend(), 0.5f);
}

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

TEST_F(GraphicsTest, MeshModelsFromXAndSpheresTakeMaterialsTexturesAndSizesByTheirRules)
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
    EXPECT_EQ(std::make_pair(model.GetMaterial(0)->textures[0], pooled("a.tga")),
              std::make_pair(pooled("mm/a.tga"), -1));
    EXPECT_EQ(model.GetMaterial(1)->textures[0], -1);
    // Ambient from diffuse.
    const D3DMATERIAL9& second = model.GetMaterial(1)->material;
    EXPECT_EQ(std::memcmp(&second.Ambient, &second.Diffuse, sizeof(second.Ambient)), 0);
    EXPECT_EQ(std::vector<float>({second.Power, second.Specular.r, second.Diffuse.a}),
              (std::vector<float>{8, 0.25f, 0.5f}));
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
    EXPECT_FALSE(model.LoadFromX("mm-missing.x", "mm/"));
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
    // Spheres map textures by their rule, are lit, refuse bad sizes and are made again.
    tavMeshModel sphere(engine);
    EXPECT_FALSE(sphere.Recreate()); // never made
    // Poles on z, a vertex at +x; halfway up the rules part: 0.854 planar, 0.75 sphere.
    for (bool sphereRule : {false, true})
    {
        SCOPED_TRACE(sphereRule ? "sphere rule" : "planar rule");
        ASSERT_TRUE(sphere.CreateSphere(1.0f, 16, 8, 5, sphereRule));
        const tavMeshModel::Vertex side = Nearest(sphere, D3DXVECTOR3(1, 0, 0));
        const tavMeshModel::Vertex pole = Nearest(sphere, D3DXVECTOR3(0, 0, 1));
        const tavMeshModel::Vertex mid = Nearest(sphere, D3DXVECTOR3(0, 0.70710678f, 0.70710678f));
        ASSERT_GT(side.normal.x, 0.999f);
        ASSERT_NEAR(mid.normal.y, 0.7071f, 0.02f); // averaged face normals: not exact
        const float uv[] = {side.u, side.v, pole.u, pole.v, mid.v};
        const float want[] = {1.0f, 0.5f, 0.5f, 0.5f, sphereRule ? 0.75f : 0.8536f};
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(uv[i], want[i], 0.02f) << i;
        EXPECT_EQ(sphere.GetMaterial(0)->textures[0], 5);
    }
    const uint32_t vertices = sphere.GetNumVertices();
    sphere.Clear();
    ExpectEmpty(sphere);
    ASSERT_TRUE(sphere.Recreate());
    EXPECT_EQ(sphere.GetNumVertices() + sphere.GetMaterial(0)->textures[0], vertices + 5);
    // Lit from +x only.
    ASSERT_TRUE(sphere.CreateSphere(1.0f, 32, 16, Solid(0xFFFFFFFF), false));
    p = Draw(0xFF000000, [&] {
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
        EXPECT_EQ(sphere.Draw(), sphere.GetNumFaces());
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
        EXPECT_FALSE(sphere.CreateSphere(radius, slices, stacks, -1, false)) << slices;
    EXPECT_FALSE(sphere.CreateBox(1, 1, nan, -1));
    ExpectEmpty(sphere);
    EXPECT_FALSE(sphere.Recreate()); // the last attempt's sizes are still bad
}

// The generated skinned hen. Wine lacks blended meshes, keyframed controllers and a working
// frame bounding sphere: there the mesh's own paths run.
using SkinMeshTest = GraphicsTest;

TEST_F(SkinMeshTest, TheHenHasItsBonesLinkedBoundsAroundItWalksAndIsDrawnSoAfterAReset)
{
    const std::string hen = ContentPath("samples/hen.x");
    auto load = [&](tavSkinMesh& mesh, const std::string& file) {
        return mesh.Load(file.c_str(), ContentPath("").c_str());
    };
    tavSkinMesh mesh(engine);
    ASSERT_EQ(load(mesh, hen), S_OK);
    ASSERT_NE(mesh.GetRootFrame(), nullptr);
    auto* skin = static_cast<tavMeshContainer*>(mesh.GetRootFrame()->pMeshContainer); // in Root
    ASSERT_TRUE(skin && skin->pSkinInfo && skin->softwareSkin);
    ASSERT_EQ(skin->pSkinInfo->GetNumBones(), 4u);
    for (DWORD b = 0; b < 4; ++b)
    {
        tavFrame* bone = mesh.FindFrame(skin->pSkinInfo->GetBoneName(b));
        ASSERT_NE(bone, nullptr) << skin->pSkinInfo->GetBoneName(b);
        EXPECT_EQ(skin->boneMatrices[b], &bone->combined);
    }
    EXPECT_GE(skin->materials[0].textures[0], 0) << "feather.tex from the texture folder";
    EXPECT_EQ(skin->softwareSkin->GetMaxVertexInfluences(), 2u); // the neck blends two bones
    // Feet on y = -9.6; every bind-pose vertex inside the sphere.
    EXPECT_NEAR(mesh.GetBoundingBox().min.y, -9.6f, 0.2f);
    EXPECT_NEAR(mesh.GetSphereRadius(), 12.0f, 4.0f);
    const uint8_t* v = nullptr;
    ASSERT_EQ(skin->sourceMesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v), S_OK);
    float farthest = 0.0f;
    for (DWORD i = 0; i < skin->sourceMesh->GetNumVertices(); ++i)
    {
        const D3DXVECTOR3 d = *reinterpret_cast<const D3DXVECTOR3*>(
                                  v + i * skin->sourceMesh->GetNumBytesPerVertex()) -
                              mesh.GetSphereCentre();
        farthest = std::fmax(farthest, D3DXVec3Length(&d));
    }
    skin->sourceMesh->UnlockVertexBuffer();
    EXPECT_LE(farthest, mesh.GetSphereRadius() * 1.0001f);
    // The walk: legs forward, through the middle, back, the right one the other way; the
    // body up at the quarters; halfway between keys, half.
    ASSERT_TRUE(mesh.GetAnimationController() || mesh.GetOwnAnimation());
    tavFrame *left = mesh.FindFrame("LeftLeg"), *right = mesh.FindFrame("RightLeg"),
             *body = mesh.FindFrame("Body");
    ASSERT_TRUE(left && right && body);
    auto pitch = [](const tavFrame* f) {
        return std::atan2(f->TransformationMatrix._23, f->TransformationMatrix._22);
    };
    // Step, left leg's pitch, body's height.
    const std::tuple<double, float, float> poses[] = {{0.0, 0.45f, 0.0f},
                                                      {0.125, 0.225f, 0.175f},
                                                      {0.125, 0.0f, 0.35f},
                                                      {0.25, -0.45f, 0.0f},
                                                      {0.5, 0.45f, 0.0f}};
    for (const auto& [step, leftPitch, bodyY] : poses)
    {
        mesh.AdvanceTimeBy(step);
        EXPECT_NEAR(pitch(left), leftPitch, 1e-3f);
        EXPECT_NEAR(pitch(right), -leftPitch, 1e-3f);
        EXPECT_NEAR(body->TransformationMatrix._42, bodyY, 1e-3f);
        // Combined: the leg's own matrix placed by the body's.
        EXPECT_NEAR(left->combined._42, body->combined._42 + left->TransformationMatrix._42, 1e-4f);
        EXPECT_NEAR(left->combined._41, -1.35f, 1e-4f);
    }
    // Drawn, from the hen's right side: a leg hanging straight covers the point
    // under the hip; swung forward or back, it leaves it.
    engine->SetView(D3DXVECTOR3(60, -2, 0), D3DXVECTOR3(0, -2, 0), D3DXVECTOR3(0, 1, 0));
    engine->Apply3D();
    engine->ResetWorldTransform();
    auto under = [&](double advance) {
        mesh.AdvanceTimeBy(advance);
        return Brightness(Draw(0xFF000000, [&] {
                              EXPECT_GT(mesh.Draw(), 0u);
                          }).At(D3DXVECTOR3(0.0f, -7.0f, 0.1f)));
    };
    EXPECT_LT(under(0.0), 40) << "legs swung apart";
    EXPECT_GT(under(0.25), 120) << "legs straight down";
    EXPECT_LT(under(0.25), 40) << "swung the other way";
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    engine->Apply3D();
    EXPECT_GT(under(0.25), 120) << "after the reset";
    // A missing file leaves it empty; without the walk it stands still.
    EXPECT_TRUE(FAILED(load(mesh, "hen-missing.x")));
    EXPECT_EQ(mesh.Draw(), 0u);
    const std::string text = ReadTextFile(hen);
    WriteTextFile("hen-still.x", text.substr(0, text.find("AnimationSet")));
    ASSERT_EQ(load(mesh, "hen-still.x"), S_OK);
    EXPECT_EQ(mesh.GetOwnAnimation(), nullptr);
    mesh.AdvanceTimeBy(0.3);
    EXPECT_GT(mesh.Draw(), 0u);
}
