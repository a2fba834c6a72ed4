#pragma once
// An RGBA picture in floats (0..1 per channel, row 0 at the top) that the
// painters draw into; converted to bytes only when written.

#include "tavVec3.h"

#include <cstdint>
#include <vector>

struct tavColour
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

    tavColour() = default;
    tavColour(float cr, float cg, float cb, float ca = 1.0f) : r(cr), g(cg), b(cb), a(ca) {}
    tavColour operator+(const tavColour& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    tavColour operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
};

// Linear blend; t = 0 gives a, 1 gives b.
tavColour Mix(const tavColour& a, const tavColour& b, float t);
// Colour from 0xRRGGBB.
tavColour Hex(uint32_t rgb, float alpha = 1.0f);
// 0 below `edge0`, 1 above `edge1`, a smooth S between.
float Smoothstep(float edge0, float edge1, float x);

class tavImage
{
public:
    tavImage(int width, int height, const tavColour& fill = tavColour());

    int Width() const { return width; }
    int Height() const { return height; }
    tavColour& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const tavColour& At(int x, int y) const
    {
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }
    // Wrapping access: any x, y lands inside.
    const tavColour& Wrapped(int x, int y) const;
    // Blends `c` over the pixel with coverage `alpha` (ignored outside).
    void Blend(int x, int y, const tavColour& c, float alpha);

    // One channel as a byte, rounded and clamped; channel 0 r, 1 g, 2 b, 3 a.
    uint8_t Byte(int x, int y, int channel) const;

private:
    int width;
    int height;
    std::vector<tavColour> pixels;
};
