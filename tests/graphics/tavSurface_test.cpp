// Drawing into a dynamic texture of the pool and then with it: a clear of
// the whole surface and of its left half, shown on a screen square.
#include "RenderCheck.h"

#include "graphics/tavPrimitiveBuffer.h"
#include "graphics/tavSurface.h"

#include <gtest/gtest.h>

namespace
{
const D3DCOLOR ClearBlue = 0xFF0000FF, HalfGreen = 0xFF00FF00, Backdrop = 0xFF000000;

class SurfaceTest : public GraphicsTest
{
protected:
    // ClearBlue all over, green on the left half, drawn through `surface`.
    void PaintHalves(tavSurface& surface)
    {
        ASSERT_EQ(surface.BeginScene(), S_OK);
        const D3DRECT left = {0, 0, LONG(surface.GetDescription().Width / 2),
                              LONG(surface.GetDescription().Height)};
        ASSERT_EQ(Device()->Clear(1, &left, D3DCLEAR_TARGET, HalfGreen, 1.0f, 0), S_OK);
        ASSERT_EQ(surface.GetRenderToSurface()->EndScene(D3DX_FILTER_NONE), S_OK);
    }
    // The texture on the square (100, 100)-(300, 300) of the 2D space (y up),
    // read back at its left and right quarters.
    void ShowOnSquare(int texture, D3DCOLOR& left, D3DCOLOR& right)
    {
        const tavPrimitiveVertex square[4] = {{100, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0},
                                              {300, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 0},
                                              {100, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 1},
                                              {300, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 1}};
        tavPrimitiveBuffer buffer(engine.get());
        ASSERT_EQ(buffer.Create(4, 2, square), S_OK);
        buffer.SetTexture(texture);
        const Picture p = Draw(Backdrop, [&] {
            engine->Begin2D();
            EXPECT_EQ(buffer.Render(0, -1), S_OK);
        });
        const int y = int(engine->GetHeight()) - 200;
        left = p.Pixel(140, y);
        right = p.Pixel(260, y);
    }
};
} // namespace

TEST_F(SurfaceTest, DrawsIntoTheDynamicTextureAndAgainAfterADeviceReset)
{
    const int texture = engine->CreateDynamicTexture(64, 64, 0, 1);
    ASSERT_GE(texture, 0);
    tavSurface surface(engine.get(), ClearBlue);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    EXPECT_EQ(surface.GetDescription().Width, 64u);
    EXPECT_EQ(surface.GetDescription().Height, 64u);
    EXPECT_TRUE(surface.GetDescription().Usage & D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(surface.GetTexture(), engine->GetTexture(texture));

    D3DCOLOR left = 0, right = 0;
    PaintHalves(surface);
    ShowOnSquare(texture, left, right);
    EXPECT_TRUE(Near(left, HalfGreen));
    EXPECT_TRUE(Near(right, ClearBlue));

    // The pool lets the dynamic texture go over a reset; its owner has it
    // made anew and takes level 0 of the new one.
    surface.Release();
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_EQ(engine->GetTexture(texture), nullptr);
    engine->RestoreTexture(texture);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    surface.SetClearColour(0xFFFF0000);
    PaintHalves(surface);
    ShowOnSquare(texture, left, right);
    EXPECT_TRUE(Near(left, HalfGreen));
    EXPECT_TRUE(Near(right, 0xFFFF0000));
}

TEST_F(SurfaceTest, ANumberWithoutATextureFailsAndASecondInitLetsTheFirstGo)
{
    tavSurface surface(engine.get(), ClearBlue);
    EXPECT_EQ(surface.InitFromDynamicTexture(-1), E_FAIL);
    EXPECT_EQ(surface.InitFromDynamicTexture(999), E_FAIL);
    const int removed = engine->CreateDynamicTexture(16, 16, 0, 1);
    ASSERT_TRUE(engine->RemoveTexture(removed));
    EXPECT_EQ(surface.InitFromDynamicTexture(removed), E_FAIL);
    EXPECT_EQ(surface.GetRenderToSurface(), nullptr);
    EXPECT_EQ(surface.BeginScene(), E_FAIL);

    const int texture = engine->CreateDynamicTexture(32, 32, 0, 1);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    ID3DXRenderToSurface* first = surface.GetRenderToSurface();
    first->AddRef();
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    EXPECT_NE(surface.GetRenderToSurface(), first);
    EXPECT_EQ(first->Release(), 0u) << "the first render-to-surface object is still held";
}
