#pragma once
// The six sky box faces, in the sky box's face order (0 +z, 1 bottom, 2 -z,
// 3 top, 4 -x, 5 +x). Each texel shows the sky in the direction of the cube
// point it is drawn at, and the border texels lie exactly on the cube's
// edges, so neighbouring faces agree along every edge (the box samples with
// clamped addressing): the cube shows one seamless sky.

#include "Image.h"

namespace assetgen
{

class SkyPainter
{
public:
    static Image Face(int face, int size);
    // Unit direction from the box centre through texel (x, y) of `face`.
    static Vec3 Direction(int face, int x, int y, int size);
    // The sky seen in direction `d` (unit): gradient, sun, clouds, and below
    // the horizon a sea haze.
    static Colour SkyAt(const Vec3& d);
    // Where the sun stands (unit vector).
    static Vec3 SunDirection();
};

} // namespace assetgen
