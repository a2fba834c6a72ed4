#include "RenderCheck.h"

#include "graphics/tavPrimitiveBuffer.h"

#include <gtest/gtest.h>

namespace
{
// A screen-space square from (x0, y0) to (x1, y1), y upwards as Begin2D
// sets it up, as a two-triangle strip.
std::vector<tavPrimitiveVertex> Square(float x0, float y0, float x1, float y1, D3DCOLOR c)
{
    return {{x0, y1, 0.5f, 0, 0, -1, c, 0, 0},
            {x1, y1, 0.5f, 0, 0, -1, c, 1, 0},
            {x0, y0, 0.5f, 0, 0, -1, c, 0, 1},
            {x1, y0, 0.5f, 0, 0, -1, c, 1, 1}};
}

class PrimitiveBufferTest : public GraphicsTest
{
protected:
    // Pixel at (x, y) of the 2D space (y upwards).
    D3DCOLOR At(const RenderCheck& check, float x, float y) const
    {
        return check.Pixel(int(x), int(engine->GetHeight() - y));
    }
};
} // namespace

TEST_F(PrimitiveBufferTest, DrawsItsVerticesWithItsTextureOnStageZero)
{
    WriteSolidBmp("red.bmp", 0xFFFF0000);
    const int red = engine->LoadTexture("red.bmp");
    ASSERT_GE(red, 0);
    tavPrimitiveBuffer buffer(engine.get());
    const auto square = Square(100, 100, 300, 300, 0xFFFFFFFF);
    ASSERT_EQ(buffer.Create(4, 2, square.data()), S_OK);
    EXPECT_TRUE(buffer.IsCreated());
    EXPECT_FALSE(buffer.IsHidden());
    buffer.SetTexture(red);

    RenderCheck check(Device());
    ASSERT_TRUE(check.Begin(0xFF0000FF));
    engine->Begin2D();
    EXPECT_EQ(buffer.Render(0, -1), S_OK);
    ASSERT_TRUE(check.End());
    EXPECT_TRUE(Near(At(check, 200, 200), 0xFFFF0000)) << Hex(At(check, 200, 200));
    EXPECT_TRUE(Near(At(check, 50, 50), 0xFF0000FF)) << Hex(At(check, 50, 50));
    EXPECT_TRUE(Near(At(check, 350, 200), 0xFF0000FF)) << Hex(At(check, 350, 200));
}

TEST_F(PrimitiveBufferTest, DiffuseColourShowsWithoutTexture)
{
    tavPrimitiveBuffer buffer(engine.get());
    const auto square = Square(100, 100, 300, 300, 0xFF00FF00);
    ASSERT_EQ(buffer.Create(4, 2, square.data()), S_OK);
    RenderCheck check(Device());
    ASSERT_TRUE(check.Begin(0xFF000000));
    engine->Begin2D();
    Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    buffer.Render();
    ASSERT_TRUE(check.End());
    EXPECT_TRUE(Near(At(check, 200, 200), 0xFF00FF00)) << Hex(At(check, 200, 200));
}

TEST_F(PrimitiveBufferTest, HiddenOrOutOfRangeRunsDrawNothing)
{
    tavPrimitiveBuffer buffer(engine.get());
    const auto square = Square(100, 100, 300, 300, 0xFFFFFFFF);
    ASSERT_EQ(buffer.Create(4, 2, square.data()), S_OK);
    RenderCheck check(Device());
    ASSERT_TRUE(check.Begin(0xFF0000FF));
    engine->Begin2D();
    buffer.SetHidden(true);
    EXPECT_EQ(buffer.Render(), S_FALSE);
    buffer.SetHidden(false);
    EXPECT_EQ(buffer.Render(1, 2), E_INVALIDARG); // would need vertices 1 to 4
    EXPECT_EQ(buffer.Render(0, 3), E_INVALIDARG);
    EXPECT_EQ(buffer.Render(0, -2), E_INVALIDARG);
    buffer.SetPrimitiveType(D3DPT_TRIANGLELIST);
    EXPECT_EQ(buffer.Render(), E_INVALIDARG); // two triangles of a list need six
    ASSERT_TRUE(check.End());
    EXPECT_TRUE(Near(At(check, 200, 200), 0xFF0000FF)) << Hex(At(check, 200, 200));
}

TEST_F(PrimitiveBufferTest, NothingDrawsBeforeOrAfterAFailedCreate)
{
    tavPrimitiveBuffer buffer(engine.get());
    EXPECT_EQ(buffer.Render(0, -1), S_FALSE);
    const auto square = Square(100, 100, 300, 300, 0xFFFFFFFF);
    ASSERT_EQ(buffer.Create(4, 2, square.data()), S_OK);
    EXPECT_EQ(buffer.Create(0, 2, square.data()), E_FAIL);
    EXPECT_FALSE(buffer.IsCreated());
    EXPECT_EQ(buffer.Render(), S_FALSE);
    EXPECT_EQ(buffer.Create(4, 2, nullptr), E_FAIL);
    EXPECT_EQ(buffer.Create(0x10000000, 2, square.data()), E_FAIL); // would overflow 32 bits
    tavPrimitiveBuffer noEngine(nullptr);
    EXPECT_EQ(noEngine.Create(4, 2, square.data()), E_FAIL);
    EXPECT_EQ(noEngine.Render(), S_FALSE);
}
