#pragma once
// Small text .x files for the mesh tests.

#include <string>
#include <vector>

struct XMaterial
{
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
    std::string texture; // empty: no TextureFilename
};

// Unit squares in the plane z = 0 facing -z, side by side: square i spans
// x in [i - 1, i], y in [0, 1] and has material i. Without materials, one
// square and no material list.
std::string XSquares(const std::vector<XMaterial>& materials);
