#include "SkyPainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
// Corner positions of each face in the order the sky box gives them texture
// coordinates (0, 0), (1, 0), (0, 1), (1, 1).
const float FaceCorners[6][4][3] = {
    {{-2, 2, 2}, {2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},     // 0 +z
    {{-2, -2, 2}, {2, -2, 2}, {-2, -2, -2}, {2, -2, -2}}, // 1 bottom
    {{2, 2, -2}, {-2, 2, -2}, {2, -2, -2}, {-2, -2, -2}}, // 2 -z
    {{-2, 2, -2}, {2, 2, -2}, {-2, 2, 2}, {2, 2, 2}},     // 3 top
    {{-2, 2, -2}, {-2, 2, 2}, {-2, -2, -2}, {-2, -2, 2}}, // 4 -x
    {{2, 2, 2}, {2, 2, -2}, {2, -2, 2}, {2, -2, -2}},     // 5 +x
};

Vec3 Corner(int face, int n)
{
    return {FaceCorners[face][n][0], FaceCorners[face][n][1], FaceCorners[face][n][2]};
}

const Colour Zenith = Hex(0x2F69C6);
const Colour Horizon = Hex(0xBFD9EE);
const Colour Haze = Hex(0x9DB9CF);
const Colour DeepSea = Hex(0x2C5A72);
const Colour SunGlow = Hex(0xFFD9A0);

// The cloud field over the sky plane: below 0 clear sky, above about 0.4
// the thick of a cloud.
float CloudField(float x, float z)
{
    const float billows = Noise::Fractal(x, z, 64, 6, 0.55f, 401u);
    const float patches = Noise::Fractal(x * 0.25f, z * 0.25f, 16, 3, 0.5f, 402u);
    return billows + patches * 0.6f - 0.03f;
}

Colour Clouds(const Vec3& d, const Colour& sky, const Vec3& sun)
{
    if (d.y <= 0.0f) return sky;
    // The cloud layer is a plane overhead: far clouds crowd at the horizon.
    const float k = 1.0f / (d.y + 0.06f);
    const float x = d.x * k * 1.6f + 7.3f, z = d.z * k * 1.6f + 3.1f;
    const float field = CloudField(x, z);
    const float density = Smoothstep(0.0f, 0.35f, field);
    if (density <= 0.0f) return sky;
    // Seen from below: thick parts are grey, thin edges let light through,
    // and the side towards the sun is lit.
    const float thick = Smoothstep(0.15f, 0.75f, field);
    const float toward = CloudField(x + sun.x * 0.05f, z + sun.z * 0.05f);
    const float lit = std::clamp(0.5f + (field - toward) * 6.0f, 0.0f, 1.0f);
    Colour cloud = Mix(Hex(0xFFFFFF), Hex(0xA7B2C4), thick * 0.75f);
    cloud = Mix(cloud, Hex(0xFFF6E6), lit * 0.55f);
    const float facing = std::max(0.0f, Dot(d, sun));
    cloud = Mix(cloud, Hex(0xFFE2B8), 0.4f * std::pow(facing, 6.0f));
    // Far clouds fade into the haze.
    const float far = Smoothstep(0.35f, 0.02f, d.y);
    cloud = Mix(cloud, Horizon, far * 0.7f);
    return Mix(sky, cloud, density * (1.0f - far * 0.5f));
}
} // namespace

Vec3 SkyPainter::SunDirection()
{
    // Low in the afternoon sky, over the way to the egg.
    const float elevation = 0.36f, azimuth = 0.72f;
    return {std::cos(elevation) * std::sin(azimuth), std::sin(elevation),
            std::cos(elevation) * std::cos(azimuth)};
}

Vec3 SkyPainter::Direction(int face, int x, int y, int size)
{
    const float u = float(x) / float(size - 1), v = float(y) / float(size - 1);
    const Vec3 top = Lerp(Corner(face, 0), Corner(face, 1), u);
    const Vec3 bottom = Lerp(Corner(face, 2), Corner(face, 3), u);
    return Normalize(Lerp(top, bottom, v));
}

Colour SkyPainter::SkyAt(const Vec3& d)
{
    const Vec3 sun = SunDirection();
    Colour sky;
    if (d.y >= 0.0f)
    {
        const float up = std::pow(d.y, 0.55f);
        sky = Mix(Horizon, Zenith, up);
    }
    else
    {
        // Below the horizon: haze, deepening to the sea's colour.
        sky = Mix(Haze, DeepSea, Smoothstep(0.0f, 0.25f, -d.y));
        sky = Mix(sky, Horizon, Smoothstep(-0.03f, 0.0f, d.y));
    }
    const float cosAngle = std::clamp(Dot(d, sun), -1.0f, 1.0f);
    const float angle = std::acos(cosAngle);
    const float glow = 0.45f * std::exp(-angle / 0.35f) + 0.5f * std::exp(-angle / 0.07f);
    sky = sky + SunGlow * glow * (d.y > -0.05f ? 1.0f : 0.3f);
    sky = Clouds(d, sky, sun);
    // The sun's disc shines through thin cloud.
    const float disc = Smoothstep(0.035f, 0.025f, angle);
    sky = Mix(sky, Hex(0xFFFBEA), disc);
    sky.a = 1.0f;
    return sky;
}

Image SkyPainter::Face(int face, int size)
{
    Image image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.At(x, y) = SkyAt(Direction(face, x, y, size));
    return image;
}

} // namespace assetgen
