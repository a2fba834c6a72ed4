#pragma once
// Checks on generated meshes shared by the content tests.

#include "Mesh.h"

#include <string>

// Empty when the triangles of `piece` form a closed surface wound outward:
// every edge (by vertex position) is used exactly once in each direction,
// and the enclosed volume is positive. Otherwise what is wrong first.
std::string CheckClosedAndOutward(const assetgen::Mesh& mesh, const assetgen::MeshPiece& piece);

// The smallest corner angle of any triangle of `mesh`, in degrees, and the
// index of that triangle.
float SmallestAngle(const assetgen::Mesh& mesh, size_t* triangle = nullptr);

// Vertices of `mesh` as three corners per triangle (what the walker takes).
std::vector<assetgen::Vec3> TriangleCorners(const assetgen::Mesh& mesh);
