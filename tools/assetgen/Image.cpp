#include "Image.h"

#include <algorithm>

namespace assetgen
{

Colour Mix(const Colour& a, const Colour& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Colour Hex(uint32_t rgb, float alpha)
{
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
            float(rgb & 0xFF) / 255.0f, alpha};
}

float Smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Image::Image(int w, int h, const Colour& fill)
    : width(w), height(h), pixels(size_t(w) * size_t(h), fill)
{
}

const Colour& Image::Wrapped(int x, int y) const
{
    x %= width;
    y %= height;
    return At(x < 0 ? x + width : x, y < 0 ? y + height : y);
}

void Image::Blend(int x, int y, const Colour& c, float alpha)
{
    if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0.0f) return;
    Colour& p = At(x, y);
    const float t = std::min(alpha, 1.0f);
    const float a = p.a;
    p = Mix(p, c, t);
    p.a = a + (c.a - a) * t;
}

uint8_t Image::Byte(int x, int y, int channel) const
{
    const Colour& c = At(x, y);
    const float v = channel == 0 ? c.r : channel == 1 ? c.g : channel == 2 ? c.b : c.a;
    return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

} // namespace assetgen
