// The skinned hen of the generated content: its hierarchy, bones, bounds,
// walk cycle and drawing. Wine has neither the blended-mesh conversions nor
// UpdateSkinnedMesh nor keyframed animation controllers, and its frame
// bounding-sphere call ends the process: there the mesh's own paths run,
// and the test names say what the platform could not show.
#include "RenderCheck.h"

#include "graphics/tavSkinMesh.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
class SkinMeshTest : public GraphicsTest
{
protected:
    const std::string henFile = ContentPath("samples/hen.x");
    const std::string textures = ContentPath("");

    HRESULT LoadHen(tavSkinMesh& mesh, const std::string& file = std::string())
    {
        return mesh.Load((file.empty() ? henFile : file).c_str(), textures.c_str());
    }

    // The first mesh container of the hierarchy (the hen has one, in Root).
    static tavMeshContainer* Container(const tavSkinMesh& mesh)
    {
        return mesh.GetRootFrame()
                   ? static_cast<tavMeshContainer*>(mesh.GetRootFrame()->pMeshContainer)
                   : nullptr;
    }

    // The pitch (rotation about x) of a frame's local matrix.
    static float Pitch(const tavFrame* frame)
    {
        const D3DXMATRIX& m = frame->TransformationMatrix;
        return std::atan2(m._23, m._22);
    }
};

} // namespace

TEST_F(SkinMeshTest, TheHenLoadsWithEveryBoneLinkedAndBoundsAroundIt_WineSphereIsOurs)
{
    tavSkinMesh mesh(engine.get());
    ASSERT_EQ(LoadHen(mesh), S_OK);
    ASSERT_NE(mesh.GetRootFrame(), nullptr);
    EXPECT_STREQ(mesh.GetRootFrame()->Name, "Root");
    tavMeshContainer* hen = Container(mesh);
    ASSERT_NE(hen, nullptr);
    ASSERT_NE(hen->pSkinInfo, nullptr);
    ASSERT_EQ(hen->pSkinInfo->GetNumBones(), 4u);
    for (DWORD b = 0; b < 4; ++b) {
        tavFrame* bone = mesh.FindFrame(hen->pSkinInfo->GetBoneName(b));
        ASSERT_NE(bone, nullptr) << hen->pSkinInfo->GetBoneName(b);
        EXPECT_EQ(hen->boneMatrices[b], &bone->combined);
    }
    EXPECT_EQ(hen->NumMaterials, 9u);
    EXPECT_GE(hen->materials[0].textures[0], 0) << "feather.tex from the texture folder";
    EXPECT_EQ(hen->materials[0].material.Emissive.r, hen->materials[0].material.Diffuse.r);

    // The neck blends two bones; the platform's own count agrees with ours
    // where it has one.
    ASSERT_NE(hen->softwareSkin, nullptr);
    EXPECT_EQ(hen->softwareSkin->GetMaxVertexInfluences(), 2u);
    DWORD platformMost = 0;
    if (SUCCEEDED(hen->pSkinInfo->GetMaxVertexInfluences(&platformMost))) {
        EXPECT_EQ(platformMost, 2u);
    }

    // Box of the last container: feet on y = -9.6. Every bind-pose vertex
    // lies inside the sphere.
    EXPECT_NEAR(mesh.GetBoundingBox().min.y, -9.6f, 0.2f);
    EXPECT_FLOAT_EQ(mesh.GetOrientedBox().centroid[1],
                    (mesh.GetBoundingBox().min.y + mesh.GetBoundingBox().max.y) * 0.5f);
    EXPECT_GT(mesh.GetSphereRadius(), 8.0f);
    EXPECT_LT(mesh.GetSphereRadius(), 16.0f);
    const D3DXVECTOR3* v = nullptr;
    ASSERT_EQ(hen->sourceMesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v), S_OK);
    const DWORD stride = hen->sourceMesh->GetNumBytesPerVertex();
    float farthest = 0.0f;
    for (DWORD i = 0; i < hen->sourceMesh->GetNumVertices(); ++i) {
        const D3DXVECTOR3 p = *reinterpret_cast<const D3DXVECTOR3*>(
            reinterpret_cast<const uint8_t*>(v) + i * stride);
        const D3DXVECTOR3 d = p - mesh.GetSphereCentre();
        farthest = std::fmax(farthest, D3DXVec3Length(&d));
    }
    hen->sourceMesh->UnlockVertexBuffer();
    EXPECT_LE(farthest, mesh.GetSphereRadius() * 1.0001f);
    if (tavSkinMesh::PlatformEndsOnFrameSphere()) {
        EXPECT_NE(Log().find("bounding sphere of the frames is computed by the engine"),
                  std::string::npos);
    }
}

TEST_F(SkinMeshTest, EveryMethodLoadsAndAnyOtherValueIsInvalid_WineHasNoBlendedConversions)
{
    for (int method = 0; method <= 4; ++method) {
        tavSkinMesh mesh(engine.get());
        mesh.SetSkinningMethod(method);
        ASSERT_EQ(LoadHen(mesh), S_OK) << "method " << method;
        tavMeshContainer* hen = Container(mesh);
        ASSERT_NE(hen->MeshData.pMesh, nullptr) << "method " << method;
        EXPECT_GT(mesh.Draw(), 0u) << "method " << method;
        for (int bad : {-1, 5, 99}) {
            mesh.SetSkinningMethod(bad);
            EXPECT_EQ(mesh.GenerateSkinnedMesh(hen), E_INVALIDARG) << bad;
        }
    }
    if (tavSkinMesh::PlatformEndsOnFrameSphere()) {
        EXPECT_NE(Log().find("is not available (0x80004001); the mesh is skinned on the processor"),
                  std::string::npos);
    }
}

TEST_F(SkinMeshTest, TheWalkCycleSwingsTheLegsBetweenItsKeys_WineGivesNoController)
{
    tavSkinMesh mesh(engine.get());
    ASSERT_EQ(LoadHen(mesh), S_OK);
    ASSERT_TRUE(mesh.GetAnimationController() || mesh.GetOwnAnimation());
    if (!mesh.GetAnimationController()) {
        EXPECT_EQ(mesh.GetOwnAnimation()->GetName(), "Walk");
        EXPECT_EQ(mesh.GetOwnAnimation()->GetPeriod(), 4800u);
        EXPECT_NE(Log().find("engine samples the file's keyframes itself"), std::string::npos);
    }
    tavFrame* left = mesh.FindFrame("LeftLeg");
    tavFrame* right = mesh.FindFrame("RightLeg");
    tavFrame* body = mesh.FindFrame("Body");
    ASSERT_TRUE(left && right && body);

    // Forward, through the middle, back; the right leg the other way; the
    // body up at the quarters. Halfway between keys, half the swing.
    const struct
    {
        double step;
        float leftPitch, bodyY;
    } poses[] = {{0.0, 0.45f, 0.0f}, {0.125, 0.225f, 0.175f}, {0.125, 0.0f, 0.35f},
                 {0.25, -0.45f, 0.0f}, {0.5, 0.45f, 0.0f}};
    for (const auto& pose : poses) {
        mesh.AdvanceTimeBy(pose.step);
        EXPECT_NEAR(Pitch(left), pose.leftPitch, 1e-3f);
        EXPECT_NEAR(Pitch(right), -pose.leftPitch, 1e-3f);
        EXPECT_NEAR(body->TransformationMatrix._42, pose.bodyY, 1e-3f);
        // Combined: the leg's own matrix placed by the body's.
        EXPECT_NEAR(left->combined._42, body->combined._42 + left->TransformationMatrix._42, 1e-4f);
        EXPECT_NEAR(left->combined._41, -1.35f, 1e-4f);
    }
}

TEST_F(SkinMeshTest, TheDrawnPoseFollowsTheLegsAndSurvivesADeviceReset)
{
    tavSkinMesh mesh(engine.get());
    ASSERT_EQ(LoadHen(mesh), S_OK);
    // From the hen's right side: a leg hanging straight covers the point
    // under the hip; swung forward or back, it leaves it.
    engine->SetView(D3DXVECTOR3(60, -2, 0), D3DXVECTOR3(0, -2, 0), D3DXVECTOR3(0, 1, 0));
    engine->Apply3D();
    engine->ResetWorldTransform();
    auto under = [&](double advance) {
        mesh.AdvanceTimeBy(advance);
        return Brightness(Draw(0xFF000000, [&] { EXPECT_GT(mesh.Draw(), 0u); })
                              .At(D3DXVECTOR3(0.0f, -7.0f, 0.1f)));
    };
    EXPECT_LT(under(0.0), 40) << "legs swung apart";
    EXPECT_GT(under(0.25), 120) << "legs straight down";
    EXPECT_LT(under(0.25), 40) << "swung the other way";

    ASSERT_EQ(engine->ResetDevice(), S_OK);
    engine->Apply3D();
    EXPECT_GT(under(0.25), 120) << "after the reset";
}

TEST_F(SkinMeshTest, MissingDamagedAndUnanimatedFilesLeaveTheProgramRunning)
{
    const std::string text = ReadTextFile(henFile);
    ASSERT_FALSE(text.empty());
    WriteTextFile("cut.x", text.substr(0, text.size() / 3));
    std::string still = text.substr(0, text.find("AnimationSet"));
    WriteTextFile("still.x", still);
    // The first rotation record retyped as scale keys: four values each
    // where scale keys have three. Still well-formed text.
    std::string badKeys = text;
    const size_t key = badKeys.find("AnimationKey {\n   0;");
    ASSERT_NE(key, std::string::npos);
    badKeys[key + std::strlen("AnimationKey {\n   ")] = '1';
    WriteTextFile("badkeys.x", badKeys);

    tavSkinMesh mesh(engine.get());
    EXPECT_TRUE(FAILED(LoadHen(mesh, "missing.x")));
    EXPECT_EQ(mesh.GetRootFrame(), nullptr);
    EXPECT_EQ(mesh.Draw(), 0u);
    mesh.AdvanceTime();
    EXPECT_TRUE(FAILED(LoadHen(mesh, "cut.x")));
    EXPECT_EQ(mesh.Draw(), 0u);

    ASSERT_EQ(LoadHen(mesh, "still.x"), S_OK);
    EXPECT_EQ(mesh.GetOwnAnimation(), nullptr);
    mesh.AdvanceTimeBy(0.3);
    EXPECT_GT(mesh.Draw(), 0u);

    const HRESULT hr = LoadHen(mesh, "badkeys.x");
    if (SUCCEEDED(hr) && !mesh.GetAnimationController()) {
        EXPECT_EQ(mesh.GetOwnAnimation(), nullptr);
        EXPECT_NE(Log().find("keyframes of badkeys.x"), std::string::npos);
        EXPECT_GT(mesh.Draw(), 0u);
    }
}
