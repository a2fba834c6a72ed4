#include "RenderCheck.h"

#include "graphics/tavSkyBox.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
const D3DCOLOR faceColours[tavSkyBox::FaceCount] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                    0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

class SkyBoxTest : public GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        for (int d = 0; d < tavSkyBox::FaceCount; ++d)
            WriteSolidBmp("sky-" + std::to_string(d) + ".bmp", faceColours[d]);
        sky.reset(new tavSkyBox(engine.get()));
        sky->Load("sky-%d.bmp");
    }
    void TearDown() override
    {
        sky.reset(); // its buffer before the device
        GraphicsTest::TearDown();
    }

    // The picture with the eye at the origin looking along `direction`.
    Picture Look(const D3DXVECTOR3& direction, bool drawBottom = true)
    {
        const bool vertical = direction.x == 0 && direction.z == 0;
        engine->SetView(D3DXVECTOR3(0, 0, 0), direction,
                        vertical ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0));
        return Draw(0xFF000000, [&] {
            engine->Apply3D();
            sky->Render(drawBottom);
        });
    }

    DWORD RenderState(D3DRENDERSTATETYPE state)
    {
        DWORD value = 0xDEAD;
        Device()->GetRenderState(state, &value);
        return value;
    }

    DWORD SamplerState(D3DSAMPLERSTATETYPE state)
    {
        DWORD value = 0xDEAD;
        Device()->GetSamplerState(0, state, &value);
        return value;
    }

    std::unique_ptr<tavSkyBox> sky;
};
} // namespace

TEST(tavSkyBoxNames, PatternTakesTheFaceNumberAndNothingElse)
{
    EXPECT_EQ(tavSkyBox::FaceFileName("./base/sky1-%d.tex", 4), "./base/sky1-4.tex");
    EXPECT_EQ(tavSkyBox::FaceFileName("100%%-%d%s%x.bmp", 2), "100%-2%s%x.bmp");
    EXPECT_EQ(tavSkyBox::FaceFileName("%d%d", 5), "55");
    EXPECT_EQ(tavSkyBox::FaceFileName("trailing%", 0), "trailing%");
    EXPECT_EQ(tavSkyBox::FaceFileName(nullptr, 0), "");
}

TEST_F(SkyBoxTest, EachFaceShowsItsOwnTextureAndTheBottomCanBeLeftOut)
{
    const struct
    {
        D3DXVECTOR3 direction;
        int face;
    } views[] = {
        {{0, 0, 1}, tavSkyBox::Front}, {{0, 0, -1}, tavSkyBox::Back},
        {{1, 0, 0}, tavSkyBox::Right}, {{-1, 0, 0}, tavSkyBox::Left},
        {{0, 1, 0}, tavSkyBox::Top},   {{0, -1, 0}, tavSkyBox::Bottom},
    };
    for (const auto& view : views)
    {
        ASSERT_GE(sky->GetFaceTexture(view.face), 0) << view.face;
        EXPECT_TRUE(Near(Look(view.direction).Centre(), faceColours[view.face])) << view.face;
    }
    EXPECT_TRUE(Near(Look(D3DXVECTOR3(0, -1, 0), false).Centre(), 0xFF000000));
    // Face by face the buffer's texture is set, the bottom's included; the
    // last one set is face 5's.
    EXPECT_EQ(sky->GetFaces().GetTexture(), sky->GetFaceTexture(tavSkyBox::Right));
}

TEST_F(SkyBoxTest, SideFacesShowTheirImageUprightAndUnmirrored)
{
    // Quarters: red top left, green top right, blue bottom left, white
    // bottom right.
    WriteBmp("quarters.bmp", 64, 64, [](int x, int y) {
        return y < 32 ? (x < 32 ? 0xFFFF0000 : 0xFF00FF00) : (x < 32 ? 0xFF0000FF : 0xFFFFFFFF);
    });
    sky->Load("quarters.bmp");
    for (const D3DXVECTOR3& direction : {D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 0, -1),
                                         D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(-1, 0, 0)})
    {
        const Picture p = Look(direction);
        const int cx = p.Width() / 2, cy = p.Height() / 2, d = 150;
        SCOPED_TRACE(testing::Message() << "looking " << direction.x << ", " << direction.z);
        EXPECT_TRUE(Near(p.Pixel(cx - d, cy - d), 0xFFFF0000));
        EXPECT_TRUE(Near(p.Pixel(cx + d, cy - d), 0xFF00FF00));
        EXPECT_TRUE(Near(p.Pixel(cx - d, cy + d), 0xFF0000FF));
        EXPECT_TRUE(Near(p.Pixel(cx + d, cy + d), 0xFFFFFFFF));
    }
}

TEST_F(SkyBoxTest, FollowsItsPositionAndTurnsWithTheFrameTime)
{
    // As the game does: the camera keeps the box at the eye.
    engine->SetFollower(sky->GetFollowerMatrix());
    engine->SetView(D3DXVECTOR3(100, 50, -20), D3DXVECTOR3(100, 50, -19), D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(sky->GetTransform()._41, 100.0f);
    EXPECT_EQ(sky->GetTransform()._42, 50.0f);
    EXPECT_EQ(sky->GetTransform()._43, -20.0f);
    engine->SetFollower(nullptr); // before the box may go
    const Picture p = Draw(0xFF000000, [&] {
        engine->Apply3D();
        sky->Render(true);
    });
    EXPECT_TRUE(Near(p.Centre(), faceColours[0]));
    engine->SetView(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 2, 4), D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(sky->GetTransform()._41, 100.0f) << "let go";

    // A quarter turn in one frame of 0.25 s: the left face comes round to
    // the front.
    sky->SetPosition(0, 0, 0);
    sky->SetRotationSpeed(float(D3DX_PI) * 2.0f);
    engine->SetFixedFrameTime(0.25);
    engine->FrameEnd();
    EXPECT_TRUE(Near(Look(D3DXVECTOR3(0, 0, 1)).Centre(), faceColours[tavSkyBox::Left]));
    EXPECT_NEAR(sky->GetAngle(), float(D3DX_PI) / 2, 1e-5f);
}

TEST_F(SkyBoxTest, PutsBackTheStatesItChanged)
{
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Device()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    Look(D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), DWORD(TRUE));
    EXPECT_EQ(SamplerState(D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(SamplerState(D3DSAMP_ADDRESSV), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(SamplerState(D3DSAMP_MINFILTER), engine->GetFilter(0));
    EXPECT_EQ(SamplerState(D3DSAMP_MAGFILTER), engine->GetFilter(1));
}

TEST_F(SkyBoxTest, MissingFaceTexturesStayNone)
{
    sky->Load("nowhere-%d.bmp");
    for (int f = 0; f < tavSkyBox::FaceCount; ++f)
        EXPECT_EQ(sky->GetFaceTexture(f), -1);
    Look(D3DXVECTOR3(0, 0, 1)); // draws untextured, carries on
    EXPECT_TRUE(Pump());
}
