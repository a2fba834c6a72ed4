#include "SeaPainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

Image SeaPainter::Water(int size)
{
    Image image(size, size);
    const float scale = 8.0f / float(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float fx = float(x) * scale, fy = float(y) * scale;
            const float swell = Noise::Fractal(fx, fy, 8, 5, 0.55f, 501u);
            const float ripple = Noise::Fractal(fx * 4.0f, fy * 4.0f, 32, 3, 0.5f, 502u);
            // Ridges of the ripples catch the light.
            const float ridge = 1.0f - std::fabs(ripple);
            const float glint = std::pow(ridge, 10.0f) * Smoothstep(-0.2f, 0.5f, swell);
            Colour c = Mix(Hex(0x0A2F48), Hex(0x175A70), Smoothstep(-0.6f, 0.6f, swell));
            c = Mix(c, Hex(0x21707E), 0.3f * Smoothstep(0.2f, 0.9f, ripple + swell * 0.5f));
            c = Mix(c, Hex(0x9CCFDA), glint * 0.35f);
            image.At(x, y) = c;
        }
    return image;
}

Image SeaPainter::Caustic(int frame, int count, int size)
{
    Image image(size, size);
    const float phase = float(frame) / float(count);
    const float turn = 6.28318530718f * phase;
    const int cells = 12;
    const float scale = float(cells) / float(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float fx = float(x) * scale, fy = float(y) * scale;
            // The net of light wobbles: its coordinates are pushed about by
            // a noise field that itself goes round once per loop.
            const float wx = Noise::Fractal(fx + std::cos(turn) * 0.5f, fy + std::sin(turn) * 0.5f,
                                            cells, 2, 0.5f, 603u);
            const float wy = Noise::Fractal(fx - std::sin(turn) * 0.5f, fy + std::cos(turn) * 0.5f,
                                            cells, 2, 0.5f, 604u);
            const Cells a = Noise::Cellular(fx + wx * 0.35f, fy + wy * 0.35f, cells, phase, 601u);
            const Cells b = Noise::Cellular(fx * 2.0f + wy * 0.5f, fy * 2.0f + wx * 0.5f, cells * 2,
                                            -phase, 602u);
            // Lines are where two feature points are nearly as close.
            const float lineA = 1.0f - Smoothstep(0.0f, 0.22f, a.second - a.nearest);
            const float lineB = 1.0f - Smoothstep(0.0f, 0.18f, b.second - b.nearest);
            // Kept dim: the game adds the frame times the water's own colour.
            const float light = std::min(
                1.0f, lineA * lineA * 0.85f + lineB * lineB * lineA * 0.5f + lineB * lineB * 0.12f);
            Colour c = Colour(0.8f, 0.96f, 1.0f) * (light * 0.5f);
            c.a = 1.0f;
            image.At(x, y) = c;
        }
    return image;
}

} // namespace assetgen
