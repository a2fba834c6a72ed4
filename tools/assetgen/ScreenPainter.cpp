#include "ScreenPainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assetgen
{

namespace
{
struct Point
{
    float x, y;
};

// Signed distance to a closed polygon: negative inside.
float PolygonDistance(const std::vector<Point>& poly, float x, float y)
{
    float best = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
    {
        const Point& a = poly[j];
        const Point& b = poly[i];
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float t =
            std::clamp(((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
        best = std::min(best, std::hypot(x - a.x - ex * t, y - a.y - ey * t));
        if ((a.y > y) != (b.y > y) && x < a.x + ex * (y - a.y) / ey) inside = !inside;
    }
    return inside ? -best : best;
}

float RoundedBoxDistance(float x, float y, float cx, float cy, float half, float radius)
{
    const float qx = std::fabs(x - cx) - half + radius, qy = std::fabs(y - cy) - half + radius;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           radius;
}

// A filled shape with an outline, anti-aliased, from its signed distance.
void DrawShape(Image& image, int x, int y, float distance, const Colour& fill, const Colour& line,
               float lineWidth)
{
    const float cover = std::clamp(0.5f - distance, 0.0f, 1.0f);
    if (cover <= 0.0f) return;
    const float onLine = std::clamp(lineWidth + 0.5f - std::fabs(distance + lineWidth), 0.0f, 1.0f);
    Colour c = Mix(fill, line, onLine);
    c.a = 1.0f;
    image.Blend(x, y, c, cover);
}

// Pixel bounds of atlas cell (column, row).
void Cell(int size, int column, int row, float& x0, float& y0, float& x1, float& y1)
{
    const float edges[4] = {0.0f, 0.33f, 0.66f, 1.0f};
    x0 = edges[column] * float(size);
    x1 = edges[column + 1] * float(size);
    y0 = edges[row] * float(size);
    y1 = edges[row + 1] * float(size);
}

void DrawRadio(Image& image, int column, bool ticked)
{
    float x0, y0, x1, y1;
    Cell(image.Width(), column, 0, x0, y0, x1, y1);
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f, r = (x1 - x0) * 0.36f;
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = int(x0); x < int(x1); ++x)
        {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float d = std::hypot(px - cx, py - cy);
            const Colour face = Mix(Hex(0xFFFFFF), Hex(0xD8E0EA), (py - cy + r) / (2.0f * r));
            DrawShape(image, x, y, d - r, face, Hex(0x3C4A5C), 3.0f);
            if (ticked) DrawShape(image, x, y, d - r * 0.45f, Hex(0x2E9E4F), Hex(0x1E6E35), 1.5f);
        }
}

void DrawCheck(Image& image, int column, bool ticked)
{
    float x0, y0, x1, y1;
    Cell(image.Width(), column, 1, x0, y0, x1, y1);
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f, half = (x1 - x0) * 0.36f;
    const std::vector<Point> tick = {
        {cx - half * 0.62f, cy + half * 0.02f}, {cx - half * 0.38f, cy - half * 0.24f},
        {cx - half * 0.12f, cy + half * 0.12f}, {cx + half * 0.52f, cy - half * 0.62f},
        {cx + half * 0.74f, cy - half * 0.38f}, {cx - half * 0.1f, cy + half * 0.62f}};
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = int(x0); x < int(x1); ++x)
        {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const Colour face = Mix(Hex(0xFFFFFF), Hex(0xD8E0EA), (py - cy + half) / (2.0f * half));
            DrawShape(image, x, y, RoundedBoxDistance(px, py, cx, cy, half, half * 0.25f), face,
                      Hex(0x3C4A5C), 3.0f);
            if (ticked)
                DrawShape(image, x, y, PolygonDistance(tick, px, py), Hex(0x2E9E4F), Hex(0x1E6E35),
                          1.2f);
        }
}

void DrawEditBox(Image& image)
{
    float x0, y0, x1, y1;
    Cell(image.Width(), 2, 0, x0, y0, x1, y1);
    for (int y = int(std::ceil(y0)); y < int(y1); ++y)
        for (int x = int(std::ceil(x0)); x < int(x1); ++x)
        {
            const float v = (float(y) - y0) / (y1 - y0);
            Colour c = Mix(Hex(0xF4F7FB), Hex(0xFFFFFF), v);
            const float edge =
                std::min({float(x) - x0, x1 - float(x), float(y) - y0, y1 - float(y)});
            c = Mix(Hex(0x5D7290), c, Smoothstep(1.5f, 3.5f, edge));
            image.At(x, y) = c;
        }
}

void DrawCursor(Image& image)
{
    float x0, y0, x1, y1;
    Cell(image.Width(), 2, 1, x0, y0, x1, y1);
    const float s = (y1 - y0) / 72.0f;
    auto at = [&](float x, float y) { return Point{x0 + 1.5f + x * s, y0 + 1.5f + y * s}; };
    const std::vector<Point> arrow = {at(0, 0),   at(0, 58),  at(14, 45), at(25, 68),
                                      at(34, 64), at(23, 42), at(41, 42)};
    std::vector<Point> shadow = arrow;
    for (Point& p : shadow)
    {
        p.x += 3.0f * s;
        p.y += 3.0f * s;
    }
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = int(x0); x < int(x1); ++x)
        {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float ds = PolygonDistance(shadow, px, py);
            image.Blend(x, y, Colour(0.0f, 0.0f, 0.0f, 0.45f),
                        std::clamp(1.5f - ds * 0.5f, 0.0f, 1.0f) * 0.45f);
            const float d = PolygonDistance(arrow, px, py);
            const Colour face = Mix(Hex(0xFFFFFF), Hex(0xFFE9A8), (py - y0) / (y1 - y0));
            DrawShape(image, x, y, d, face, Hex(0x101010), 2.2f);
        }
}
} // namespace

Image ScreenPainter::Console(int width, int height)
{
    Image image(width, height);
    const float band = 1.0f - InputBand;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const float u = (float(x) + 0.5f) / float(width), v = (float(y) + 0.5f) / float(height);
            const float grain = Noise::Fractal(u * 32.0f, v * 16.0f, 32, 16, 3, 0.5f, 901u);
            Colour c = Mix(Hex(0x0E1626), Hex(0x1D2A44), v / band);
            // Faint diagonal lines and an egg-shaped mark at the right.
            const float diagonal = std::fabs(std::fmod(float(x + y), 24.0f) - 12.0f);
            c = Mix(c, Hex(0x2C3C5E), 0.25f * Smoothstep(1.5f, 0.0f, diagonal));
            const float ex = (u - 0.88f) * float(width) / float(height), ey = v - 0.42f;
            const float width = 0.2f + 0.04f * std::clamp(ey / 0.3f, -1.0f, 1.0f);
            const float egg = std::hypot(ex / width, ey / 0.3f);
            c = Mix(c, Hex(0x34486E), 0.5f * Smoothstep(0.08f, 0.0f, std::fabs(egg - 1.0f)));
            c = Mix(c, c * 1.15f, grain);
            if (v > band)
            {
                // The input band: light, so black text reads on it.
                c = Mix(Hex(0xC9D4E0), Hex(0xAAB8C8), (v - band) / InputBand);
                c = Mix(c, Hex(0x6FC3DF), Smoothstep(3.0f, 0.0f, (v - band) * float(height)));
            }
            c.a = 1.0f;
            image.At(x, y) = c;
        }
    return image;
}

Image ScreenPainter::Gui(int size)
{
    Image image(size, size, Colour(1.0f, 1.0f, 1.0f, 0.0f));
    DrawRadio(image, 0, false);
    DrawRadio(image, 1, true);
    DrawEditBox(image);
    DrawCheck(image, 0, false);
    DrawCheck(image, 1, true);
    DrawCursor(image);
    return image;
}

} // namespace assetgen
