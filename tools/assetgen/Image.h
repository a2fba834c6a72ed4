#pragma once
// An RGBA picture in floats (0..1 per channel, row 0 at the top) that the
// painters draw into; converted to bytes only when written.

#include "Vec3.h"

#include <cstdint>
#include <vector>

namespace assetgen
{

struct Colour
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

    Colour() = default;
    Colour(float cr, float cg, float cb, float ca = 1.0f) : r(cr), g(cg), b(cb), a(ca) {}
    Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Colour operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
};

// Linear blend; t = 0 gives a, 1 gives b.
Colour Mix(const Colour& a, const Colour& b, float t);
// Colour from 0xRRGGBB.
Colour Hex(uint32_t rgb, float alpha = 1.0f);
// 0 below `edge0`, 1 above `edge1`, a smooth S between.
float Smoothstep(float edge0, float edge1, float x);

class Image
{
public:
    Image(int width, int height, const Colour& fill = Colour());

    int Width() const { return width; }
    int Height() const { return height; }
    Colour& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Colour& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    // Wrapping access: any x, y lands inside.
    const Colour& Wrapped(int x, int y) const;
    // Blends `c` over the pixel with coverage `alpha` (ignored outside).
    void Blend(int x, int y, const Colour& c, float alpha);

    // One channel as a byte, rounded and clamped; channel 0 r, 1 g, 2 b, 3 a.
    uint8_t Byte(int x, int y, int channel) const;

private:
    int width;
    int height;
    std::vector<Colour> pixels;
};

} // namespace assetgen
