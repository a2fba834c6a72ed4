#pragma once
// Pixel checks for the graphics tests: draw straight into the test engine's
// back buffer between our own BeginScene/EndScene, read it back and look at
// single pixels, by screen position or by the world point drawn there.
// Flat colours come from white ambient light alone, so that a material's
// Ambient is its colour. Also writes the small images the tests load.

#include "graphics/tavMaterial.h"
#include "support/TestEngine.h"

#include <d3dx9.h>

#include <functional>
#include <string>

int Red(D3DCOLOR c);
int Green(D3DCOLOR c);
int Blue(D3DCOLOR c);
// Sum of the three channels.
int Brightness(D3DCOLOR c);
// Each channel within `tolerance` of `want`'s; the failure names both.
::testing::AssertionResult Near(D3DCOLOR got, D3DCOLOR want, int tolerance = 8);
// "RRGGBB", for failure messages.
std::string Hex(D3DCOLOR c);

// A 24-bit BMP of w x h pixels coloured by `colour`(x, y), y downwards.
void WriteBmp(const std::string& path, int w, int h,
              const std::function<D3DCOLOR(int, int)>& colour);
inline void WriteSolidBmp(const std::string& path, D3DCOLOR c, int size = 8)
{
    WriteBmp(path, size, size, [c](int, int) { return c; });
}

// Eye at `eye` looking at `at`, lighting on with white ambient light and no
// culling.
void LookFlat(TAV& engine, const D3DXVECTOR3& eye, const D3DXVECTOR3& at);
// Ambient = `colour`, no textures.
void Paint(tavMaterial& material, D3DCOLOR colour);

// One scene as the back buffer held it, with the transforms it ended with.
struct Picture
{
    TestImage image;
    D3DVIEWPORT9 viewport = {};
    D3DXMATRIX projection, view;

    int Width() const { return int(image.width); }
    int Height() const { return int(image.height); }
    // The pixel at (x, y), y downwards; alpha forced to 0xFF, 0 outside.
    D3DCOLOR Pixel(int x, int y) const;
    D3DCOLOR Centre() const { return Pixel(Width() / 2, Height() / 2); }
    // The pixel under a world point (identity world transform).
    D3DCOLOR At(const D3DXVECTOR3& world) const;
};

// The test engine started, and scenes drawn and read back on its device.
class GraphicsTest : public EngineTest
{
protected:
    void SetUp() override;
    IDirect3DDevice9* Device() const { return engine->GetDevice(); }
    // Clears colour and depth to `clear`, runs `draw` in a scene of its own
    // and reads the back buffer; a failed read fails the test.
    Picture Draw(D3DCOLOR clear, const std::function<void()>& draw);
};
