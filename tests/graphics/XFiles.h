#pragma once
// Small text .x files for the mesh tests: one Mesh per file, every FLOAT
// written with a decimal point.

#include <string>
#include <vector>

struct XMaterial
{
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
    std::string texture; // empty: no TextureFilename
};

// A cube from `min` to `min` + 1 on each axis, twelve triangles, faces given
// to the materials in turn (none when `materials` is empty).
std::string XCube(const std::vector<XMaterial>& materials, float minX = -0.5f, float minY = -0.5f,
                  float minZ = -0.5f);

// Two unit squares side by side in the plane z = 0, facing -z: x in [-1, 0]
// with material 0, x in [0, 1] with material 1.
std::string XTwoSquares(const XMaterial& left, const XMaterial& right);
