#pragma once
// What a test drew, read back from the render target. Under Wine the front
// buffer reads back empty; the back buffer, copied with GetRenderTargetData
// before the next present, holds the picture.

#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <vector>

struct TestImage
{
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> pixels; // X8R8G8B8, rows top-down

    // y counts from the top of the screen.
    uint32_t At(UINT x, UINT y) const { return pixels[size_t(y) * width + x] & 0x00FFFFFF; }
    // Pixels of the rectangle [x0, x1) x [y0, y1) (clipped) that match.
    int Count(int x0, int y0, int x1, int y1, const std::function<bool(uint32_t)>& match) const;
};

// The current back buffer (call between EndScene and Present).
bool ReadBackBuffer(IDirect3DDevice9* device, TestImage& out);

// Channel helpers for matching: exact RGB, or "lit" (any channel above 0x40).
inline bool IsRgb(uint32_t pixel, uint32_t rgb)
{
    return (pixel & 0xFFFFFF) == (rgb & 0xFFFFFF);
}
inline bool IsLit(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) > 0x40 || ((pixel >> 8) & 0xFF) > 0x40 || (pixel & 0xFF) > 0x40;
}
