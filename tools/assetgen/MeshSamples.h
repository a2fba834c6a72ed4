#pragma once
// Sample models in the engine's own mesh files and in the two formats the
// engine imports, so every loader runs on content the project makes: a
// two-material crate (static file, both orders), a jointed arm with
// keyframes (dynamic file), and a crate with a lid as a 3DS and an OBJ
// model with materials and textures.

#include "graphics/tavMeshData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

class MeshSamples
{
public:
    // A 2 x 2 x 2 box about the origin: sides with texture "caust0.tga",
    // top and bottom with "water.tex", one part each.
    static tavStaticMeshData Crate();
    // A post (root bone) with an arm (child bone) that swings a quarter
    // turn about its shoulder and back: two keyframes per bone, two
    // animations of 1000 ms that lead into each other.
    static tavDynamicMeshData Arm();
    // The crate as a 3DS file: positions, faces, texture coordinates, two
    // materials and their face groups, a mesh matrix and a keyframer block
    // that the importer skips, and a second object that it ignores.
    static std::vector<uint8_t> Crate3ds();
    // The crate as an OBJ file with quads, a fanned pentagon top, two
    // materials, texture coordinates and normals, naming "crate.mtl".
    static std::string CrateObj();
    static std::string CrateMtl();

    // 24 vertices and 36 indices of an axis box, outward normals, faces
    // clockwise from outside (Direct3D's front); sides first, then top and
    // bottom.
    static void Box(const float* min, const float* max, std::vector<tavMeshVertex>& vertices,
                    std::vector<uint16_t>& indices);
};

} // namespace assetgen
