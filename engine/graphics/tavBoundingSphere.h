#pragma once
// A sphere around points, and around other spheres: the bounds of a frame
// hierarchy are built from each mesh's sphere (centre the mean of its
// vertices, radius the farthest vertex) placed by its frame's combined
// matrix and merged one by one into the smallest sphere holding both.
// Portable.

#include "graphics/tavMatrix4.h"

#include <cstddef>

struct tavBoundingSphere
{
    float centre[3] = {0.0f, 0.0f, 0.0f};
    float radius = 0.0f;
    bool empty = true;

    // Of `count` points `stride` bytes apart, each starting with x, y, z.
    static tavBoundingSphere OfPoints(const void* points, size_t count, size_t stride);

    // This sphere moved by `matrix`: the centre transformed, the radius
    // grown by the matrix's largest axis scale.
    tavBoundingSphere Transformed(const tavMatrix4& matrix) const;

    // Grows this sphere to hold `other` as well; an empty one becomes it.
    void Merge(const tavBoundingSphere& other);
};
