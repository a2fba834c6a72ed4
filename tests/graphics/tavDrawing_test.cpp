// Primitive buffers, surfaces, materials and the sky box, drawn and read back.
#include "RenderCheck.h"

#include "graphics/tavMaterial.h"
#include "graphics/tavPrimitiveBuffer.h"
#include "graphics/tavSkyBox.h"
#include "graphics/tavStateBlock.h"
#include "graphics/tavSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

using DrawingTest = GraphicsTest;

TEST_F(DrawingTest, BuffersSurfacesAndMaterialsDrawBindAndSurviveAReset)
{
    const D3DCOLOR Backdrop = 0xFF0000FF;
    // `draw` in the 2D set-up, and the pixel at (x, y) of the 2D space (y upwards) then.
    auto Draw2D = [&](int x, int y, const std::function<void()>& draw) {
        return Draw(Backdrop, [&] { engine->Begin2D(), draw(); })
            .Pixel(x, int(engine->GetHeight()) - y);
    };
    // The primitive buffer draws with its texture and refuses runs past its vertices.
    const tavPrimitiveVertex square[4] = {{100, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0},
                                          {300, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 0},
                                          {100, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 1},
                                          {300, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 1}};
    tavPrimitiveBuffer buffer(engine);
    EXPECT_EQ(buffer.Render(0, -1), S_FALSE);
    ASSERT_EQ(buffer.Create(4, 2, square), S_OK);
    buffer.SetTexture(Solid(0xFFFF0000));
    const std::tuple<int, int, D3DCOLOR> spots[] = {
        {200, 200, 0xFFFF0000}, {50, 50, Backdrop}, {350, 200, Backdrop}};
    for (auto [x, y, colour] : spots)
        EXPECT_TRUE(Near(Draw2D(x, y, [&] { EXPECT_EQ(buffer.Render(0, -1), S_OK); }), colour))
            << x << ", " << y;
    const D3DCOLOR refused = Draw2D(200, 200, [&] {
        buffer.SetHidden(true);
        EXPECT_EQ(buffer.Render(), S_FALSE);
        buffer.SetHidden(false);
        EXPECT_EQ(buffer.Render(1, 2), E_INVALIDARG); // would need vertices 1 to 4
        EXPECT_EQ(buffer.Render(0, -2), E_INVALIDARG);
        buffer.SetPrimitiveType(D3DPT_TRIANGLELIST);
        EXPECT_EQ(buffer.Render(), E_INVALIDARG); // two triangles of a list need six
    });
    EXPECT_TRUE(Near(refused, Backdrop));
    EXPECT_EQ(buffer.Create(0, 2, square), E_FAIL);
    EXPECT_EQ(buffer.Render(), S_FALSE);
    EXPECT_EQ(buffer.Create(0x10000000, 2, square), E_FAIL); // would overflow 32 bits
    EXPECT_EQ(tavPrimitiveBuffer(nullptr).Create(4, 2, square), E_FAIL);
    // A surface draws into its dynamic texture, again after a device reset.
    tavSurface surface(engine, 0xFFFFFF00);
    const int removed = engine->CreateDynamicTexture(16, 16, 0, 1);
    ASSERT_TRUE(engine->RemoveTexture(removed));
    EXPECT_EQ(surface.InitFromDynamicTexture(removed), E_FAIL);
    EXPECT_EQ(surface.BeginScene(), E_FAIL);
    const int texture = engine->CreateDynamicTexture(64, 64, 0, 1);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    // The clear colour all over, green on the left half, shown on the square.
    buffer.SetPrimitiveType(D3DPT_TRIANGLESTRIP);
    ASSERT_EQ(buffer.Create(4, 2, square), S_OK);
    buffer.SetTexture(texture);
    auto paintAndShow = [&](D3DCOLOR clear) {
        ASSERT_EQ(surface.BeginScene(), S_OK);
        const D3DRECT left = {0, 0, 32, 64};
        ASSERT_EQ(Device()->Clear(1, &left, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
        ASSERT_EQ(surface.GetRenderToSurface()->EndScene(D3DX_FILTER_NONE), S_OK);
        EXPECT_TRUE(Near(Draw2D(140, 200, [&] { buffer.Render(); }), 0xFF00FF00));
        EXPECT_TRUE(Near(Draw2D(260, 200, [&] { buffer.Render(); }), clear));
    };
    paintAndShow(0xFFFFFF00);
    // Over a reset the pool lets the texture go; the owner has it made anew.
    surface.Release();
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_EQ(engine->GetTexture(texture), nullptr);
    engine->RestoreTexture(texture);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    surface.SetClearColour(0xFFFF0000);
    paintAndShow(0xFFFF0000);
    // Material::Apply binds every stage and a state block, which its copies keep alive.
    tavMaterial m;
    std::fill(m.textures, m.textures + tavMaterial::MaxTextures, 7);
    EXPECT_EQ(m.GetTextureCount(), 8);
    std::fill(m.textures + 1, m.textures + tavMaterial::MaxTextures, -1); // stage 1 stays empty
    m.textures[0] = Solid(0xFFFF0000);
    m.textures[2] = Solid(0xFF00FF00);
    EXPECT_EQ(m.GetTextureCount(), 1); // what follows the gap is not counted
    Device()->SetTexture(1, engine->GetTexture(m.textures[0]));
    tavStateBlock block;
    ASSERT_EQ(block.BeginRecording(Device()), S_OK);
    Device()->SetRenderState(D3DRS_FOGENABLE, TRUE);
    ASSERT_EQ(block.EndRecording(Device()), S_OK);
    m.SetStateBlock(block.GetBlock());
    auto fog = [&](DWORD then) {
        DWORD on = 2;
        Device()->GetRenderState(D3DRS_FOGENABLE, &on);
        Device()->SetRenderState(D3DRS_FOGENABLE, then);
        return on;
    };
    auto fogAfterApply = [&](tavMaterial& material) {
        fog(FALSE);
        EXPECT_EQ(material.Apply(engine), S_OK);
        return fog(FALSE);
    };
    EXPECT_EQ(fogAfterApply(m), DWORD(TRUE));
    for (DWORD s = 0; s < 3; ++s)
    {
        IDirect3DBaseTexture9* bound = nullptr;
        Device()->GetTexture(s, &bound);
        if (bound) bound->Release();
        EXPECT_EQ(bound, s == 1 ? nullptr : engine->GetTexture(m.textures[s])) << s;
    }
    // Copies hold the block: the recorder and the original may go first.
    std::vector<tavMaterial> copies(3, *std::make_unique<tavMaterial>(m));
    m.SetStateBlock(nullptr);
    block.Release(Device());
    copies[1] = copies[1];
    EXPECT_EQ(fogAfterApply(copies[1]), DWORD(TRUE));
    Device()->SetTexture(0, nullptr);
    Device()->SetTexture(2, nullptr);
    // A captured block puts the device's states back.
    tavStateBlock captured;
    EXPECT_EQ(captured.Capture(nullptr), E_FAIL);
    ASSERT_EQ(captured.Capture(Device()), S_OK); // the fog is off
    fog(TRUE);
    EXPECT_EQ(captured.Apply(), S_OK);
    EXPECT_EQ(fog(FALSE), DWORD(FALSE)) << "captured with the fog off";
    EXPECT_EQ(captured.Release(Device()), S_OK);
}

TEST(tavSkyBox, FacePatternTakesTheFaceNumberAndNothingElse)
{
    EXPECT_EQ(tavSkyBox::FaceFileName("./base/sky1-%d.tex", 4), "./base/sky1-4.tex");
    EXPECT_EQ(tavSkyBox::FaceFileName("100%%-%d%s%x.bmp", 2), "100%-2%s%x.bmp");
    EXPECT_EQ(tavSkyBox::FaceFileName("%d%d", 5), "55");
    EXPECT_EQ(tavSkyBox::FaceFileName("trailing%", 0), "trailing%");
    EXPECT_EQ(tavSkyBox::FaceFileName(nullptr, 0), "");
}

TEST_F(DrawingTest, SkyBoxShowsEachFaceUprightFollowsTheEyeAndTurns)
{
    const D3DCOLOR colours[tavSkyBox::FaceCount] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                    0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    for (int d = 0; d < tavSkyBox::FaceCount; ++d)
        WriteBmp("sky-" + std::to_string(d) + ".bmp", 8, 8, [&](int, int) { return colours[d]; });
    // Quarters: red top left, green top right, blue bottom left, white bottom right.
    WriteBmp("sky-quarters.bmp", 64, 64, [](int x, int y) {
        return y < 32 ? (x < 32 ? 0xFFFF0000 : 0xFF00FF00) : (x < 32 ? 0xFF0000FF : 0xFFFFFFFF);
    });
    tavSkyBox sky(engine), quarters(engine);
    sky.Load("sky-%d.bmp");
    quarters.Load("sky-quarters.bmp");
    auto look = [&](tavSkyBox& box, const D3DXVECTOR3& direction, bool drawBottom = true) {
        const bool vertical = direction.x == 0 && direction.z == 0;
        engine->SetView(D3DXVECTOR3(0, 0, 0), direction,
                        vertical ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0));
        return Draw(0xFF000000, [&] {
            engine->Apply3D();
            box.Render(drawBottom);
        });
    };
    const std::pair<D3DXVECTOR3, int> views[] = {
        {{0, 0, 1}, tavSkyBox::Front}, {{0, 0, -1}, tavSkyBox::Back},
        {{1, 0, 0}, tavSkyBox::Right}, {{-1, 0, 0}, tavSkyBox::Left},
        {{0, 1, 0}, tavSkyBox::Top},   {{0, -1, 0}, tavSkyBox::Bottom}};
    for (const auto& [direction, face] : views)
    {
        ASSERT_GE(sky.GetFaceTexture(face), 0) << face;
        EXPECT_TRUE(Near(look(sky, direction).Centre(), colours[face])) << face;
        if (direction.y != 0) continue;
        const Picture q = look(quarters, direction);
        const D3DCOLOR upright[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        for (int k = 0; k < 4; ++k) // unmirrored
            EXPECT_TRUE(Near(q.Pixel(int(q.image.width) / 2 + (k & 1 ? 150 : -150),
                                     int(q.image.height) / 2 + (k & 2 ? 150 : -150)),
                             upright[k]))
                << face << " quarter " << k;
    }
    EXPECT_TRUE(Near(look(sky, D3DXVECTOR3(0, -1, 0), false).Centre(), 0xFF000000)) << "no bottom";
    // Face by face the buffer's texture is set, the bottom's included.
    EXPECT_EQ(sky.GetFaces().GetTexture(), sky.GetFaceTexture(tavSkyBox::Right));
    // Following the camera, the box stays at the eye until let go.
    engine->SetFollower(sky.GetFollowerMatrix());
    engine->SetView(D3DXVECTOR3(100, 50, -20), D3DXVECTOR3(100, 50, -19), D3DXVECTOR3(0, 1, 0));
    const D3DXMATRIX& at = sky.GetTransform();
    EXPECT_EQ(std::vector<float>({at._41, at._42, at._43}), (std::vector<float>{100, 50, -20}));
    engine->SetFollower(nullptr);
    engine->SetView(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 2, 4), D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(at._41, 100.0f) << "let go";
    // A quarter turn in one frame of 0.25 s brings the left face to the front.
    sky.SetPosition(0, 0, 0);
    sky.SetRotationSpeed(float(D3DX_PI) * 2.0f);
    engine->SetFixedFrameTime(0.25);
    engine->FrameEnd();
    EXPECT_TRUE(Near(look(sky, D3DXVECTOR3(0, 0, 1)).Centre(), colours[tavSkyBox::Left]));
    engine->SetFixedFrameTime(0);
}
