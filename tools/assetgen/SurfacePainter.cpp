#include "SurfacePainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
const float TwoPi = 6.28318530718f;

// Fills every texel with `paint`(x, y, size) where x, y run 0..1 across the
// tile.
Image Paint(int size, Colour (*paint)(float, float, int))
{
    Image image(size, size);
    const float step = 1.0f / float(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            Colour c = paint((float(x) + 0.5f) * step, (float(y) + 0.5f) * step, size);
            c.a = 1.0f;
            image.At(x, y) = c;
        }
    return image;
}

float Fbm(float x, float y, int period, int octaves, uint32_t seed)
{
    return Noise::Fractal(x * float(period), y * float(period), period, octaves, 0.5f, seed);
}

// Distance (in tile units) from the nearest line of a grid of `count` cells.
float GridDistance(float t, int count)
{
    const float f = t * float(count);
    return std::fabs(f - std::round(f)) / float(count);
}

Colour Shade(const Colour& c, float factor)
{
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

Colour GrassAt(float x, float y, int)
{
    const float patches = Fbm(x, y, 4, 5, 701u);
    const float fine = Fbm(x, y, 48, 2, 702u);
    Colour c = Mix(Hex(0x3C6A1E), Hex(0x79A53A), Smoothstep(-0.5f, 0.55f, patches));
    c = Mix(c, Hex(0x9AA845), 0.25f * Smoothstep(0.3f, 0.8f, patches));
    c = Shade(c, 0.86f + 0.28f * fine);
    // A few daisies and buttercups, one per cell at most.
    const int cells = 12;
    const int cx = int(x * cells), cy = int(y * cells);
    const uint32_t h = Noise::Hash(uint32_t(cx), uint32_t(cy), 0, 703u);
    if (h % 5u == 0u)
    {
        const float px = (float(cx) + 0.2f + 0.6f * float((h >> 8) & 255u) / 255.0f) / cells;
        const float py = (float(cy) + 0.2f + 0.6f * float((h >> 16) & 255u) / 255.0f) / cells;
        const float d = std::hypot(x - px, y - py) * float(cells);
        const Colour petal = (h & 64u) ? Hex(0xF4F1E4) : Hex(0xF5D33B);
        c = Mix(c, petal, Smoothstep(0.1f, 0.06f, d));
        c = Mix(c, Hex(0xE8A317), Smoothstep(0.04f, 0.02f, d));
    }
    return c;
}

Colour RockAt(float x, float y, int)
{
    const float warp = Fbm(x, y, 4, 4, 711u);
    const float strata = std::sin((y * 5.0f + warp * 0.6f) * TwoPi);
    const Cells cracks = Noise::Cellular(x * 6.0f, y * 6.0f, 6, 0.0f, 712u);
    const float crack = Smoothstep(0.0f, 0.06f, cracks.second - cracks.nearest);
    Colour c = Mix(Hex(0x7F766A), Hex(0xAB9F8C), 0.5f + 0.35f * strata);
    c = Mix(c, Hex(0x8F7B62), 0.3f * Smoothstep(0.0f, 0.7f, warp));
    c = Shade(c, (0.8f + 0.25f * Fbm(x, y, 32, 3, 713u)) * (0.55f + 0.45f * crack));
    return c;
}

Colour PlanksAt(float x, float y, int size)
{
    const int boards = 6;
    const int board = std::min(boards - 1, int(y * boards));
    const uint32_t h = Noise::Hash(uint32_t(board), 0, 0, 721u);
    const float tone = float(h & 255u) / 255.0f;
    // Grain runs along the board.
    const float grain = Noise::Fractal(x * 3.0f, y * 60.0f, 3, 60, 3, 0.5f, 722u);
    const float rings = std::sin((grain * 3.0f + y * 40.0f) * TwoPi * 0.5f);
    Colour c = Mix(Hex(0x8A5A2E), Hex(0xB98550), 0.35f + 0.4f * tone);
    c = Shade(c, 0.9f + 0.1f * rings + 0.08f * grain);
    // The gap between boards, and one butt joint per board with its nails.
    const float edge = GridDistance(y, boards) * float(size);
    c = Shade(c, 0.35f + 0.65f * Smoothstep(0.5f, 2.0f, edge));
    const float joint = float((h >> 8) & 255u) / 255.0f;
    float dj = std::fabs(x - joint);
    dj = std::min(dj, 1.0f - dj) * float(size);
    c = Shade(c, 0.4f + 0.6f * Smoothstep(0.5f, 1.6f, dj));
    const float boardMid = (float(board) + 0.5f) / boards;
    for (float side : {-0.25f, 0.25f})
    {
        const float nx = (dj - 4.0f) / float(size);
        const float ny = y - (boardMid + side / boards);
        const float dn = std::hypot(nx, ny) * float(size);
        c = Mix(c, Hex(0x3A3632), Smoothstep(2.2f, 1.2f, dn));
    }
    return c;
}

Colour FlagstonesAt(float x, float y, int)
{
    const int tiles = 4;
    const int tx = std::min(tiles - 1, int(x * tiles)), ty = std::min(tiles - 1, int(y * tiles));
    const float tone = Noise::Unit(uint32_t(tx), uint32_t(ty), 0, 731u);
    Colour c = Mix(Hex(0x9C968A), Hex(0xC2B9A6), tone);
    c = Mix(c, Hex(0x8C9A88), 0.25f * Smoothstep(0.2f, 0.8f, Fbm(x, y, 4, 3, 732u)));
    c = Shade(c, 0.88f + 0.18f * Fbm(x, y, 64, 2, 733u));
    // Mortar and a slight bevel towards it.
    const float d = std::min(GridDistance(x, tiles), GridDistance(y, tiles)) * float(tiles);
    c = Shade(c, 0.78f + 0.22f * Smoothstep(0.02f, 0.12f, d));
    return Mix(Hex(0x4E4A43), c, Smoothstep(0.012f, 0.03f, d));
}

Colour WallAt(float x, float y, int)
{
    const int courses = 8, perCourse = 4;
    const int row = std::min(courses - 1, int(y * courses));
    const float shifted = x + ((row & 1) ? 0.5f / perCourse : 0.0f);
    const int col = int(shifted * perCourse) % perCourse;
    const float tone = Noise::Unit(uint32_t(col), uint32_t(row), 0, 741u);
    Colour c = Mix(Hex(0xA69478), Hex(0xCDBD9C), tone);
    c = Shade(c, 0.85f + 0.2f * Fbm(x, y, 16, 4, 742u));
    const float dy = GridDistance(y, courses) * courses;
    float sx = shifted * perCourse;
    sx -= std::floor(sx);
    const float dx = std::min(sx, 1.0f - sx) * 0.5f; // blocks are twice as long as high
    const float d = std::min(dx, dy);
    c = Shade(c, 0.75f + 0.25f * Smoothstep(0.02f, 0.15f, d));
    return Mix(Hex(0x6A5C4A), c, Smoothstep(0.025f, 0.05f, d));
}

Colour GoldTilesAt(float x, float y, int)
{
    const int tiles = 2;
    float fx = x * tiles, fy = y * tiles;
    fx -= std::floor(fx);
    fy -= std::floor(fy);
    const float r = std::hypot(fx - 0.5f, fy - 0.5f);
    const float angle = std::atan2(fy - 0.5f, fx - 0.5f);
    // A sun in each tile: rings and rays.
    const float rays = 0.5f + 0.5f * std::cos(angle * 12.0f);
    const float ring = 0.5f + 0.5f * std::cos(r * TwoPi * 5.0f);
    Colour c =
        Mix(Hex(0xB8862B), Hex(0xF2C85A), ring * 0.6f + 0.4f * rays * Smoothstep(0.45f, 0.15f, r));
    c = Mix(c, Hex(0xFFF0B0), Smoothstep(0.09f, 0.05f, r));
    c = Shade(c, 0.9f + 0.12f * Fbm(x, y, 32, 2, 751u));
    const float d = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy));
    return Mix(Hex(0x5A4018), c, Smoothstep(0.015f, 0.04f, d));
}

Colour BarkAt(float x, float y, int)
{
    const float fibres = Noise::Fractal(x * 24.0f, y * 3.0f, 24, 3, 4, 0.55f, 761u);
    const float ridge = 1.0f - std::fabs(fibres);
    Colour c = Mix(Hex(0x3B2A1C), Hex(0x7A5A3C), Smoothstep(0.4f, 0.95f, ridge));
    return Shade(c, 0.9f + 0.15f * Fbm(x, y, 16, 2, 762u));
}

Colour LeavesAt(float x, float y, int)
{
    const Cells a = Noise::Cellular(x * 10.0f, y * 10.0f, 10, 0.0f, 771u);
    const float leaf = Smoothstep(0.55f, 0.15f, a.nearest);
    const float tone = Fbm(x, y, 4, 3, 772u);
    Colour c = Mix(Hex(0x1F4A17), Hex(0x4C8A2A), leaf);
    c = Mix(c, Hex(0x7DAF3A), 0.3f * Smoothstep(0.0f, 0.7f, tone) * leaf);
    return Shade(c, 0.85f + 0.2f * Fbm(x, y, 32, 2, 773u));
}

Colour FeathersAt(float x, float y, int)
{
    // Overlapping scallops: each feather is lit at its root and shaded
    // where the next row covers it.
    const int rows = 8;
    const float fy = y * rows;
    const int row = int(fy);
    const float fx = x * rows + ((row & 1) ? 0.5f : 0.0f);
    const float lx = fx - std::floor(fx) - 0.5f;
    const float ly = fy - float(row);
    const float tip = 1.0f - 4.0f * lx * lx; // scallop edge height
    const float shade = Smoothstep(tip - 0.35f, tip, ly);
    Colour c = Mix(Hex(0xFBF8F0), Hex(0xD9D2C4), shade * 0.8f);
    const float barbs = Noise::Fractal(x * 64.0f, y * 8.0f, 64, 8, 2, 0.5f, 781u);
    return Shade(c, 0.95f + 0.05f * barbs);
}

Colour SkinAt(float x, float y, int)
{
    const Cells scales = Noise::Cellular(x * 16.0f, y * 16.0f, 16, 0.0f, 791u);
    const float edge = Smoothstep(0.0f, 0.12f, scales.second - scales.nearest);
    Colour c = Mix(Hex(0xE8901E), Hex(0xF6B640), Smoothstep(-0.4f, 0.6f, Fbm(x, y, 4, 3, 792u)));
    return Shade(c, 0.72f + 0.28f * edge);
}

Colour CombAt(float x, float y, int)
{
    const float bumps = Fbm(x, y, 16, 3, 801u);
    Colour c = Mix(Hex(0xA8141C), Hex(0xE5323A), Smoothstep(-0.5f, 0.6f, bumps));
    return c;
}

Colour EyeAt(float, float y, int)
{
    Colour c = Hex(0x0B0806);
    c = Mix(c, Hex(0xC07A18), Smoothstep(0.16f, 0.2f, y) * Smoothstep(0.42f, 0.36f, y));
    return Mix(c, Hex(0x1A120C), Smoothstep(0.4f, 0.5f, y));
}

Colour EggShellAt(float x, float y, int)
{
    const float tone = Fbm(x, y, 4, 4, 811u);
    Colour c = Mix(Hex(0xE9A93A), Hex(0xFFE58F), Smoothstep(-0.5f, 0.5f, tone));
    // Fine speckles.
    const float speck = Fbm(x, y, 64, 1, 812u);
    c = Mix(c, Hex(0xA9651F), Smoothstep(0.45f, 0.6f, speck) * 0.7f);
    return c;
}

Colour BloodAt(float x, float y, int)
{
    const float n = Fbm(x, y, 8, 3, 821u);
    return Mix(Hex(0x5E0606), Hex(0xB81818), Smoothstep(-0.6f, 0.6f, n));
}
} // namespace

Image SurfacePainter::Grass(int size)
{
    return Paint(size, GrassAt);
}

Image SurfacePainter::Rock(int size)
{
    return Paint(size, RockAt);
}

Image SurfacePainter::Planks(int size)
{
    return Paint(size, PlanksAt);
}

Image SurfacePainter::Flagstones(int size)
{
    return Paint(size, FlagstonesAt);
}

Image SurfacePainter::Wall(int size)
{
    return Paint(size, WallAt);
}

Image SurfacePainter::GoldTiles(int size)
{
    return Paint(size, GoldTilesAt);
}

Image SurfacePainter::Bark(int size)
{
    return Paint(size, BarkAt);
}

Image SurfacePainter::Leaves(int size)
{
    return Paint(size, LeavesAt);
}

Image SurfacePainter::Feathers(int size)
{
    return Paint(size, FeathersAt);
}

Image SurfacePainter::Skin(int size)
{
    return Paint(size, SkinAt);
}

Image SurfacePainter::Comb(int size)
{
    return Paint(size, CombAt);
}

Image SurfacePainter::Eye(int size)
{
    return Paint(size, EyeAt);
}

Image SurfacePainter::EggShell(int size)
{
    return Paint(size, EggShellAt);
}

Image SurfacePainter::Blood(int size)
{
    return Paint(size, BloodAt);
}

} // namespace assetgen
