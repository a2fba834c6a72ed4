// The screen fader in a running engine: made at start-up, kept across a
// device reset, fading on the engine's clock, and its overlay read back.
#include "console/tavFader.h"

#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

namespace
{
class FaderTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        fader = engine->GetFader();
        ASSERT_NE(fader, nullptr);
    }

    // The engine's millisecond clock moves by whole frames.
    void Advance(uint32_t ms)
    {
        engine->SetFixedFrameTime(double(ms) / 1000.0);
        engine->FrameEnd();
    }

    // The fader drawn alone over `background` in the 2D pass.
    TestImage Render(D3DCOLOR background)
    {
        return DrawIn2D(*engine, background, [&] { fader->Draw(); });
    }

    tavFader* fader = nullptr;
};

// A 2D vertex without texture: position and colour.
struct ColourVertex
{
    float x, y, z;
    D3DCOLOR colour;
};

int CountRgb(const TestImage& image, uint32_t rgb)
{
    return image.Count(0, 0, int(image.width), int(image.height),
                       [rgb](uint32_t p) { return IsRgb(p, rgb); });
}
} // namespace

TEST_F(FaderTest, OpaqueOverlayCoversEveryPixelInItsColourAcrossADeviceReset)
{
    fader->SetColour(255, 0, 0);
    const int all = int(engine->GetWidth() * engine->GetHeight());
    EXPECT_EQ(CountRgb(Render(0xFF00FF00), 0x00FF00), all) << "clear draws nothing";
    fader->SetOpaque();
    EXPECT_EQ(CountRgb(Render(0xFF00FF00), 0xFF0000), all);

    // Half way over black: the colour at half strength.
    fader->SetColour(0, 0, 255);
    fader->SetAlpha(128);
    TestImage image = Render(0xFF000000);
    const uint32_t middle = image.At(image.width / 2, image.height / 2);
    EXPECT_EQ(middle & 0xFFFF00, 0u);
    EXPECT_NEAR(int(middle & 0xFF), 128, 2);
    EXPECT_EQ(image.At(0, 0), middle);
    EXPECT_EQ(image.At(image.width - 1, image.height - 1), middle);

    fader->SetOpaque();
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_TRUE(fader->IsValid());
    EXPECT_EQ(engine->GetFader(), fader);
    EXPECT_EQ(CountRgb(Render(0xFF000000), 0x0000FF), all);
    StopEngine();
    EXPECT_TRUE(ContainsInOrder(Log(), {"Fader created", "Objects Invalidated...",
                                        "Objects reinitialized...", "Fader destroyed."}));
}

TEST_F(FaderTest, FadesRunOnTheEngineClock)
{
    fader->SetColour(0, 0, 0);
    fader->FadeOut();
    Advance(980);
    Render(0xFFFFFFFF);
    EXPECT_NEAR(fader->GetFade().GetAlpha(), 249.9f, 0.5f);
    Advance(10);
    Render(0xFFFFFFFF);
    EXPECT_TRUE(fader->GetFade().IsFadingOut());
    Advance(10);
    EXPECT_EQ(CountRgb(Render(0xFFFFFFFF), 0x000000),
              int(engine->GetWidth() * engine->GetHeight()));
    EXPECT_EQ(fader->GetFade().GetAlpha(), 255.0f);
    EXPECT_FALSE(fader->IsIdle());
    Render(0xFFFFFFFF);
    EXPECT_TRUE(fader->IsIdle());

    // Two seconds per fade back in.
    fader->SetDuration(2.0f);
    fader->FadeIn();
    Advance(1000);
    Render(0xFFFFFFFF);
    EXPECT_NEAR(fader->GetFade().GetAlpha(), 127.5f, 0.5f);

    fader->SetDuration(-1.0f);
    EXPECT_EQ(fader->GetFade().GetDuration(), 2.0f);
    EXPECT_NE(Log().find("Fader duration refused"), std::string::npos);
}

TEST_F(FaderTest, OverlayWritesNoDepth)
{
    // Depth on and cleared to the far plane; the overlay at z 0 must leave
    // it there, so that a quad at z 0.5 drawn after it still shows.
    IDirect3DDevice9* device = engine->GetDevice();
    fader->SetColour(255, 0, 0);
    fader->SetOpaque();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    engine->Begin2D();
    engine->SetZ(true);
    fader->Draw();
    DWORD zwrite = 0;
    device->GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
    EXPECT_EQ(zwrite, DWORD(TRUE)) << "depth writing is switched back on";

    const float w = engine->GetWidth(), h = engine->GetHeight();
    const ColourVertex quad[4] = {{0, h, 0.5f, 0xFF00FF00},
                                  {w, h, 0.5f, 0xFF00FF00},
                                  {0, 0, 0.5f, 0xFF00FF00},
                                  {w, 0, 0.5f, 0xFF00FF00}};
    engine->SetTexture(-1, 0);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
    device->EndScene();
    TestImage image;
    ASSERT_TRUE(ReadBackBuffer(device, image));
    EXPECT_EQ(CountRgb(image, 0x00FF00), int(image.width * image.height));
}

TEST_F(EngineTest, NoFaderWhenTheSettingsSayNone)
{
    settings.useFader = false;
    ASSERT_EQ(StartEngine(), S_OK);
    EXPECT_EQ(engine->GetFader(), nullptr);
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    StopEngine();
    EXPECT_EQ(Log().find("Fader created"), std::string::npos);
    EXPECT_NE(Log().find("Fader destroyed."), std::string::npos);
}
