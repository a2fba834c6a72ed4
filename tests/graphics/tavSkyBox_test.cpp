#include "RenderCheck.h"

#include "graphics/tavSkyBox.h"

#include <gtest/gtest.h>

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
    }

    // The colour at the middle of the screen with the eye at the origin
    // looking along `direction`.
    D3DCOLOR Centre(tavSkyBox& sky, const D3DXVECTOR3& direction, bool drawBottom = true)
    {
        const bool vertical = direction.x == 0 && direction.z == 0;
        engine->SetView(D3DXVECTOR3(0, 0, 0), direction,
                        vertical ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0));
        RenderCheck check(Device());
        if (!check.Begin(0xFF000000)) return 1;
        engine->Apply3D();
        sky.Render(drawBottom);
        if (!check.End()) return 1;
        return check.Pixel(check.Width() / 2, check.Height() / 2);
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

TEST_F(SkyBoxTest, EachFaceShowsItsOwnTexture)
{
    tavSkyBox sky(engine.get());
    sky.Load("sky-%d.bmp");
    for (int f = 0; f < tavSkyBox::FaceCount; ++f)
        ASSERT_GE(sky.GetFaceTexture(f), 0) << f;
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
        const D3DCOLOR seen = Centre(sky, view.direction);
        EXPECT_TRUE(Near(seen, faceColours[view.face]))
            << "face " << view.face << ": " << Hex(seen);
    }
}

TEST_F(SkyBoxTest, SideFacesShowTheirImageUprightAndUnmirrored)
{
    // Quarters: red top left, green top right, blue bottom left, white
    // bottom right.
    WriteBmp("quarters.bmp", 64, 64,
             [](int x, int y) {
                 return y < 32 ? (x < 32 ? 0xFFFF0000 : 0xFF00FF00)
                               : (x < 32 ? 0xFF0000FF : 0xFFFFFFFF);
             });
    tavSkyBox sky(engine.get());
    sky.Load("quarters.bmp");
    const D3DXVECTOR3 sides[] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}};
    for (const D3DXVECTOR3& direction : sides)
    {
        engine->SetView(D3DXVECTOR3(0, 0, 0), direction, D3DXVECTOR3(0, 1, 0));
        RenderCheck check(Device());
        ASSERT_TRUE(check.Begin(0xFF000000));
        engine->Apply3D();
        sky.Render(true);
        ASSERT_TRUE(check.End());
        const int cx = check.Width() / 2, cy = check.Height() / 2, d = 150;
        SCOPED_TRACE(testing::Message() << "looking " << direction.x << ", " << direction.z);
        EXPECT_TRUE(Near(check.Pixel(cx - d, cy - d), 0xFFFF0000))
            << Hex(check.Pixel(cx - d, cy - d));
        EXPECT_TRUE(Near(check.Pixel(cx + d, cy - d), 0xFF00FF00))
            << Hex(check.Pixel(cx + d, cy - d));
        EXPECT_TRUE(Near(check.Pixel(cx - d, cy + d), 0xFF0000FF))
            << Hex(check.Pixel(cx - d, cy + d));
        EXPECT_TRUE(Near(check.Pixel(cx + d, cy + d), 0xFFFFFFFF))
            << Hex(check.Pixel(cx + d, cy + d));
    }
}

TEST_F(SkyBoxTest, BottomIsLeftOutOnRequestButItsTextureStillSet)
{
    tavSkyBox sky(engine.get());
    sky.Load("sky-%d.bmp");
    const D3DCOLOR seen = Centre(sky, D3DXVECTOR3(0, -1, 0), false);
    EXPECT_TRUE(Near(seen, 0xFF000000)) << Hex(seen);
    // Face by face the buffer's texture is set, the bottom's included; the
    // last one set is face 5's.
    EXPECT_EQ(sky.GetFaces().GetTexture(), sky.GetFaceTexture(tavSkyBox::Right));
}

TEST_F(SkyBoxTest, FollowsItsPositionAndTurnsWithTheFrameTime)
{
    tavSkyBox sky(engine.get());
    sky.Load("sky-%d.bmp");
    // As the game does: the camera keeps the box at the eye.
    engine->SetFollower(sky.GetFollowerMatrix());
    engine->SetView(D3DXVECTOR3(100, 50, -20), D3DXVECTOR3(100, 50, -19), D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(sky.GetTransform()._41, 100.0f);
    EXPECT_EQ(sky.GetTransform()._42, 50.0f);
    EXPECT_EQ(sky.GetTransform()._43, -20.0f);
    engine->SetFollower(nullptr); // before the box may go
    RenderCheck check(Device());
    ASSERT_TRUE(check.Begin(0xFF000000));
    engine->Apply3D();
    sky.Render(true);
    ASSERT_TRUE(check.End());
    EXPECT_TRUE(Near(check.Pixel(check.Width() / 2, check.Height() / 2), faceColours[0]));

    // A quarter turn in one frame of 0.25 s: the left face comes round to
    // the front.
    sky.SetPosition(0, 0, 0);
    sky.SetRotationSpeed(float(D3DX_PI) * 2.0f);
    engine->SetFixedFrameTime(0.25);
    engine->FrameEnd();
    const D3DCOLOR seen = Centre(sky, D3DXVECTOR3(0, 0, 1));
    EXPECT_NEAR(sky.GetAngle(), float(D3DX_PI) / 2, 1e-5f);
    EXPECT_TRUE(Near(seen, faceColours[tavSkyBox::Left])) << Hex(seen);
}

TEST_F(SkyBoxTest, PutsBackTheStatesItChanged)
{
    tavSkyBox sky(engine.get());
    sky.Load("sky-%d.bmp");
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Device()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    Centre(sky, D3DXVECTOR3(0, 0, 1));
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
    tavSkyBox sky(engine.get());
    sky.Load("nowhere-%d.bmp");
    for (int f = 0; f < tavSkyBox::FaceCount; ++f)
        EXPECT_EQ(sky.GetFaceTexture(f), -1);
    Centre(sky, D3DXVECTOR3(0, 0, 1)); // draws untextured, carries on
    EXPECT_TRUE(Pump());
}
