#pragma once
// Pixel checks for the graphics tests: draw straight into the test engine's
// back buffer between our own BeginScene/EndScene, copy it to system memory
// (GetRenderTargetData) and look at single pixels. Also writes the small
// images and .x files the tests load.

#include "support/TestEngine.h"

#include <d3d9.h>

#include <functional>
#include <string>
#include <vector>

class RenderCheck
{
public:
    explicit RenderCheck(IDirect3DDevice9* device) : device(device) {}

    // Clears colour and depth, then BeginScene.
    bool Begin(D3DCOLOR clear);
    // EndScene, then copies the back buffer; false when the copy failed.
    bool End();

    int Width() const { return width; }
    int Height() const { return height; }
    // The copied pixel at (x, y), y downwards; alpha forced to 0xFF.
    D3DCOLOR Pixel(int x, int y) const;

private:
    IDirect3DDevice9* device;
    std::vector<D3DCOLOR> pixels;
    int width = 0;
    int height = 0;
};

int Red(D3DCOLOR c);
int Green(D3DCOLOR c);
int Blue(D3DCOLOR c);
// Sum of the three channels.
int Brightness(D3DCOLOR c);
// Each channel within `tolerance` of `want`'s.
bool Near(D3DCOLOR got, D3DCOLOR want, int tolerance = 8);
// "RRGGBB", for failure messages.
std::string Hex(D3DCOLOR c);

// A 24-bit BMP of w x h pixels coloured by `colour`(x, y), y downwards.
void WriteBmp(const std::string& path, int w, int h,
              const std::function<D3DCOLOR(int, int)>& colour);
inline void WriteSolidBmp(const std::string& path, D3DCOLOR c, int size = 8)
{
    WriteBmp(path, size, size, [c](int, int) { return c; });
}

// The test engine started, with an in-memory check for its device.
class GraphicsTest : public EngineTest
{
protected:
    void SetUp() override;
    IDirect3DDevice9* Device() const { return engine->GetDevice(); }
};
