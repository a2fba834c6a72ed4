#include "RenderCheck.h"

#include "graphics/tavPrimitiveBuffer.h"

#include <gtest/gtest.h>

namespace
{
const D3DCOLOR Backdrop = 0xFF0000FF;

// A screen-space square from (100, 100) to (300, 300), y upwards as Begin2D
// sets it up, as a two-triangle strip.
std::vector<tavPrimitiveVertex> Square(D3DCOLOR c)
{
    return {{100, 300, 0.5f, 0, 0, -1, c, 0, 0},
            {300, 300, 0.5f, 0, 0, -1, c, 1, 0},
            {100, 100, 0.5f, 0, 0, -1, c, 0, 1},
            {300, 100, 0.5f, 0, 0, -1, c, 1, 1}};
}

class PrimitiveBufferTest : public GraphicsTest
{
protected:
    // `draw` in the 2D set-up over the backdrop.
    Picture Draw2D(const std::function<void()>& draw)
    {
        return Draw(Backdrop, [&] {
            engine->Begin2D();
            draw();
        });
    }
    // Pixel at (x, y) of the 2D space (y upwards).
    D3DCOLOR At(const Picture& p, int x, int y) const
    {
        return p.Pixel(x, int(engine->GetHeight()) - y);
    }
};
} // namespace

TEST_F(PrimitiveBufferTest, DrawsItsVerticesWithItsTextureOnStageZeroOrTheirOwnColour)
{
    WriteSolidBmp("red.bmp", 0xFFFF0000);
    const int red = engine->LoadTexture("red.bmp");
    ASSERT_GE(red, 0);
    tavPrimitiveBuffer buffer(engine.get());
    ASSERT_EQ(buffer.Create(4, 2, Square(0xFFFFFFFF).data()), S_OK);
    EXPECT_TRUE(buffer.IsCreated());
    EXPECT_FALSE(buffer.IsHidden());
    buffer.SetTexture(red);
    Picture p = Draw2D([&] { EXPECT_EQ(buffer.Render(0, -1), S_OK); });
    EXPECT_TRUE(Near(At(p, 200, 200), 0xFFFF0000));
    EXPECT_TRUE(Near(At(p, 50, 50), Backdrop));
    EXPECT_TRUE(Near(At(p, 350, 200), Backdrop));

    tavPrimitiveBuffer green(engine.get());
    ASSERT_EQ(green.Create(4, 2, Square(0xFF00FF00).data()), S_OK);
    p = Draw2D([&] {
        Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        green.Render();
    });
    EXPECT_TRUE(Near(At(p, 200, 200), 0xFF00FF00));
}

TEST_F(PrimitiveBufferTest, HiddenOrOutOfRangeRunsAndFailedCreatesDrawNothing)
{
    const auto square = Square(0xFFFFFFFF);
    tavPrimitiveBuffer buffer(engine.get());
    EXPECT_EQ(buffer.Render(0, -1), S_FALSE);
    ASSERT_EQ(buffer.Create(4, 2, square.data()), S_OK);
    const Picture p = Draw2D([&] {
        buffer.SetHidden(true);
        EXPECT_EQ(buffer.Render(), S_FALSE);
        buffer.SetHidden(false);
        EXPECT_EQ(buffer.Render(1, 2), E_INVALIDARG); // would need vertices 1 to 4
        EXPECT_EQ(buffer.Render(0, 3), E_INVALIDARG);
        EXPECT_EQ(buffer.Render(0, -2), E_INVALIDARG);
        buffer.SetPrimitiveType(D3DPT_TRIANGLELIST);
        EXPECT_EQ(buffer.Render(), E_INVALIDARG); // two triangles of a list need six
    });
    EXPECT_TRUE(Near(At(p, 200, 200), Backdrop));

    EXPECT_EQ(buffer.Create(0, 2, square.data()), E_FAIL);
    EXPECT_FALSE(buffer.IsCreated());
    EXPECT_EQ(buffer.Render(), S_FALSE);
    EXPECT_EQ(buffer.Create(4, 2, nullptr), E_FAIL);
    EXPECT_EQ(buffer.Create(0x10000000, 2, square.data()), E_FAIL); // would overflow 32 bits
    tavPrimitiveBuffer noEngine(nullptr);
    EXPECT_EQ(noEngine.Create(4, 2, square.data()), E_FAIL);
    EXPECT_EQ(noEngine.Render(), S_FALSE);
}
