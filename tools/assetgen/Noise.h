#pragma once
// Deterministic noise for the painters: integer hashing (no tables, no
// global state), gradient noise in 2D and 3D, fractal sums and cellular
// noise. The 2D functions tile: with period P, f(x + P, y) = f(x, y + P) =
// f(x, y), so textures painted with them repeat without seams.

#include <cstdint>

namespace assetgen
{

struct Cells
{
    float nearest; // distance to the nearest feature point, in cells
    float second;  // distance to the second nearest
};

class Noise
{
public:
    static uint32_t Hash(uint32_t x, uint32_t y, uint32_t z, uint32_t seed);
    // Uniform in [0, 1).
    static float Unit(uint32_t x, uint32_t y, uint32_t z, uint32_t seed);

    // Gradient noise, about -1..1, tiling with `period` lattice cells (or
    // `periodX` across and `periodY` down).
    static float Gradient(float x, float y, int period, uint32_t seed);
    static float Gradient(float x, float y, int periodX, int periodY, uint32_t seed);
    // Gradient noise in space, about -1..1 (no tiling).
    static float Gradient(float x, float y, float z, uint32_t seed);
    // Sum of `octaves` gradient noises, each twice the frequency and `gain`
    // times the amplitude of the last; scaled back to about -1..1.
    static float Fractal(float x, float y, int period, int octaves, float gain, uint32_t seed);
    static float Fractal(float x, float y, int periodX, int periodY, int octaves, float gain,
                         uint32_t seed);
    static float Fractal(float x, float y, float z, int octaves, float gain, uint32_t seed);
    // Cellular noise with one feature point per cell, tiling with `period`.
    // Each point turns on a small circle as `phase` goes 0..1, so a phase of
    // 1 gives the same picture as 0.
    static Cells Cellular(float x, float y, int period, float phase, uint32_t seed);
};

} // namespace assetgen
