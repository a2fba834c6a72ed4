#include "Noise.h"

#include <cmath>

namespace assetgen
{

namespace
{
const float TwoPi = 6.28318530718f;

float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

int Wrap(int v, int period)
{
    const int m = v % period;
    return m < 0 ? m + period : m;
}

// Sixteen unit directions in the plane.
const float Directions[16][2] = {
    {1.0000000f, 0.0000000f},   {0.9238795f, 0.3826834f},   {0.7071068f, 0.7071068f},
    {0.3826834f, 0.9238795f},   {0.0000000f, 1.0000000f},   {-0.3826834f, 0.9238795f},
    {-0.7071068f, 0.7071068f},  {-0.9238795f, 0.3826834f},  {-1.0000000f, 0.0000000f},
    {-0.9238795f, -0.3826834f}, {-0.7071068f, -0.7071068f}, {-0.3826834f, -0.9238795f},
    {0.0000000f, -1.0000000f},  {0.3826834f, -0.9238795f},  {0.7071068f, -0.7071068f},
    {0.9238795f, -0.3826834f}};

float GradientDot(uint32_t h, float dx, float dy)
{
    const float* d = Directions[h & 15u];
    return d[0] * dx + d[1] * dy;
}

// Twelve cube-edge directions in space.
float GradientDot(uint32_t h, float dx, float dy, float dz)
{
    switch (h % 12u)
    {
    case 0:
        return dx + dy;
    case 1:
        return -dx + dy;
    case 2:
        return dx - dy;
    case 3:
        return -dx - dy;
    case 4:
        return dx + dz;
    case 5:
        return -dx + dz;
    case 6:
        return dx - dz;
    case 7:
        return -dx - dz;
    case 8:
        return dy + dz;
    case 9:
        return -dy + dz;
    case 10:
        return dy - dz;
    default:
        return -dy - dz;
    }
}
} // namespace

uint32_t Noise::Hash(uint32_t x, uint32_t y, uint32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u ^ x * 0x85EBCA6Bu ^ y * 0xC2B2AE35u ^ z * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float Noise::Unit(uint32_t x, uint32_t y, uint32_t z, uint32_t seed)
{
    return float(Hash(x, y, z, seed) >> 8) * (1.0f / 16777216.0f);
}

float Noise::Gradient(float x, float y, int period, uint32_t seed)
{
    return Gradient(x, y, period, period, seed);
}

float Noise::Gradient(float x, float y, int periodX, int periodY, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float dx = x - fx, dy = y - fy;
    const uint32_t x0 = uint32_t(Wrap(ix, periodX)), x1 = uint32_t(Wrap(ix + 1, periodX));
    const uint32_t y0 = uint32_t(Wrap(iy, periodY)), y1 = uint32_t(Wrap(iy + 1, periodY));
    const float n00 = GradientDot(Hash(x0, y0, 0, seed), dx, dy);
    const float n10 = GradientDot(Hash(x1, y0, 0, seed), dx - 1.0f, dy);
    const float n01 = GradientDot(Hash(x0, y1, 0, seed), dx, dy - 1.0f);
    const float n11 = GradientDot(Hash(x1, y1, 0, seed), dx - 1.0f, dy - 1.0f);
    const float u = Fade(dx), v = Fade(dy);
    const float a = n00 + (n10 - n00) * u;
    const float b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.4142f;
}

float Noise::Gradient(float x, float y, float z, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const uint32_t ix = uint32_t(int(fx)), iy = uint32_t(int(fy)), iz = uint32_t(int(fz));
    const float dx = x - fx, dy = y - fy, dz = z - fz;
    float corner[8];
    for (uint32_t n = 0; n < 8; ++n)
    {
        const uint32_t bx = n & 1u, by = (n >> 1) & 1u, bz = (n >> 2) & 1u;
        corner[n] = GradientDot(Hash(ix + bx, iy + by, iz + bz, seed), dx - float(bx),
                                dy - float(by), dz - float(bz));
    }
    const float u = Fade(dx), v = Fade(dy), w = Fade(dz);
    const float x00 = corner[0] + (corner[1] - corner[0]) * u;
    const float x10 = corner[2] + (corner[3] - corner[2]) * u;
    const float x01 = corner[4] + (corner[5] - corner[4]) * u;
    const float x11 = corner[6] + (corner[7] - corner[6]) * u;
    const float y0 = x00 + (x10 - x00) * v;
    const float y1 = x01 + (x11 - x01) * v;
    return y0 + (y1 - y0) * w;
}

float Noise::Fractal(float x, float y, int period, int octaves, float gain, uint32_t seed)
{
    return Fractal(x, y, period, period, octaves, gain, seed);
}

float Noise::Fractal(float x, float y, int periodX, int periodY, int octaves, float gain,
                     uint32_t seed)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f, scale = 1.0f;
    for (int o = 0; o < octaves; ++o)
    {
        const int m = int(scale);
        sum += Gradient(x * scale, y * scale, periodX * m, periodY * m, seed + uint32_t(o) * 131u) *
               amplitude;
        total += amplitude;
        amplitude *= gain;
        scale *= 2.0f;
    }
    return sum / total;
}

float Noise::Fractal(float x, float y, float z, int octaves, float gain, uint32_t seed)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f, scale = 1.0f;
    for (int o = 0; o < octaves; ++o)
    {
        sum += Gradient(x * scale, y * scale, z * scale, seed + uint32_t(o) * 131u) * amplitude;
        total += amplitude;
        amplitude *= gain;
        scale *= 2.0f;
    }
    return sum / total;
}

Cells Noise::Cellular(float x, float y, int period, float phase, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    float best = 1e9f, second = 1e9f;
    for (int cy = -1; cy <= 1; ++cy)
        for (int cx = -1; cx <= 1; ++cx)
        {
            const uint32_t hx = uint32_t(Wrap(ix + cx, period));
            const uint32_t hy = uint32_t(Wrap(iy + cy, period));
            // A resting place inside the cell and a turn of radius 0.2 about it.
            const float rx = 0.25f + 0.5f * Unit(hx, hy, 1, seed);
            const float ry = 0.25f + 0.5f * Unit(hx, hy, 2, seed);
            const float start = Unit(hx, hy, 3, seed);
            const float turns = (Hash(hx, hy, 4, seed) & 1u) ? 1.0f : -1.0f;
            const float angle = TwoPi * (start + turns * phase);
            const float px = float(ix + cx) + rx + 0.2f * std::cos(angle);
            const float py = float(iy + cy) + ry + 0.2f * std::sin(angle);
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best)
            {
                second = best;
                best = d;
            }
            else if (d < second)
                second = d;
        }
    return {best, second};
}

} // namespace assetgen
