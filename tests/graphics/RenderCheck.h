#pragma once
// Pixel checks for the graphics tests: scenes drawn into the back buffer and read back.

#include "graphics/tavMaterial.h"
#include "support/TestEngine.h"

#include <d3dx9.h>

#include <functional>
#include <string>
#include <vector>

// Channel `shift` (16 red, 8 green, 0 blue); Brightness sums the three.
inline int Channel(D3DCOLOR c, int shift)
{
    return int((c >> shift) & 0xFF);
}
inline int Brightness(D3DCOLOR c)
{
    return Channel(c, 16) + Channel(c, 8) + Channel(c, 0);
}
std::string Hex(D3DCOLOR c);
// Each channel within `tolerance` of `want`'s; the failure names both.
::testing::AssertionResult Near(D3DCOLOR got, D3DCOLOR want, int tolerance = 8);
// A 24-bit BMP of w x h pixels coloured by `colour`(x, y), y downwards.
void WriteBmp(const std::string& path, int w, int h,
              const std::function<D3DCOLOR(int, int)>& colour);
// Eye at `eye` looking at `at`, white ambient light only, no culling.
void LookFlat(TAV& engine, const D3DXVECTOR3& eye, const D3DXVECTOR3& at);
// Ambient = `colour`, no textures.
void Paint(tavMaterial& material, D3DCOLOR colour);

// A .x file of unit squares in the plane z = 0 facing -z: square i spans x in [i - 1, i],
// y in [0, 1] and has material i. Without materials, one square and no material list.
struct XMaterial
{
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
    std::string texture; // empty: no TextureFilename
};
std::string XSquares(const std::vector<XMaterial>& materials);

// One scene as the back buffer held it, with the transforms it ended with.
struct Picture
{
    TestImage image;
    D3DVIEWPORT9 viewport = {};
    D3DXMATRIX projection, view;
    // The pixel at (x, y), y downwards; alpha forced to 0xFF, 0 outside.
    D3DCOLOR Pixel(int x, int y) const;
    D3DCOLOR Centre() const { return Pixel(int(image.width) / 2, int(image.height) / 2); }
    // The pixel under a world point (identity world transform).
    D3DCOLOR At(const D3DXVECTOR3& world) const;
};

// An engine started for the test in a folder of its own.
class GraphicsTest : public EngineTest
{
protected:
    void SetUp() override;
    IDirect3DDevice9* Device() const { return engine->GetDevice(); }
    // A solid 8 x 8 texture of `colour` ("solid-RRGGBB.bmp") in the pool.
    int Solid(D3DCOLOR colour);
    // Clears colour and depth to `clear`, runs `draw` in a scene of its own and reads the
    // back buffer; a failed read fails the test.
    Picture Draw(D3DCOLOR clear, const std::function<void()>& draw);

    TestEngine* engine =
        nullptr; // EngineTest::engine, as the plain pointer the engine's classes take
};
