// The generated skinned hen. Wine lacks blended meshes, UpdateSkinnedMesh, keyframed
// controllers and a working frame bounding sphere: there the mesh's own paths run.
#include "RenderCheck.h"

#include "graphics/tavSkinMesh.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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
    ASSERT_TRUE(skin && skin->pSkinInfo);
    ASSERT_EQ(skin->pSkinInfo->GetNumBones(), 4u);
    for (DWORD b = 0; b < 4; ++b)
    {
        tavFrame* bone = mesh.FindFrame(skin->pSkinInfo->GetBoneName(b));
        ASSERT_NE(bone, nullptr) << skin->pSkinInfo->GetBoneName(b);
        EXPECT_EQ(skin->boneMatrices[b], &bone->combined);
    }
    EXPECT_EQ(skin->NumMaterials, 9u);
    EXPECT_GE(skin->materials[0].textures[0], 0) << "feather.tex from the texture folder";
    ASSERT_NE(skin->softwareSkin, nullptr);
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
    const int method = mesh.GetSkinningMethod();
    mesh.SetSkinningMethod(5); // past the methods
    EXPECT_EQ(mesh.GenerateSkinnedMesh(skin), E_INVALIDARG);
    mesh.SetSkinningMethod(method);
    ASSERT_EQ(mesh.GenerateSkinnedMesh(skin), S_OK);
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
