#include "graphics/tavBoundingSphere.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{

float Distance(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

tavBoundingSphere tavBoundingSphere::OfPoints(const void* points, size_t count, size_t stride)
{
    tavBoundingSphere s;
    if (count == 0)
        return s;
    const uint8_t* bytes = static_cast<const uint8_t*>(points);
    double sum[3] = {0.0, 0.0, 0.0};
    for (size_t i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, bytes + i * stride, sizeof p);
        for (int k = 0; k < 3; ++k)
            sum[k] += p[k];
    }
    for (int k = 0; k < 3; ++k)
        s.centre[k] = float(sum[k] / double(count));
    for (size_t i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, bytes + i * stride, sizeof p);
        s.radius = std::max(s.radius, Distance(p, s.centre));
    }
    s.empty = false;
    return s;
}

tavBoundingSphere tavBoundingSphere::Transformed(const tavMatrix4& matrix) const
{
    tavBoundingSphere s = *this;
    if (empty)
        return s;
    matrix.TransformPoint(centre, s.centre);
    float largest = 0.0f;
    for (int row = 0; row < 3; ++row) {
        const float* r = matrix.m[row];
        largest = std::max(largest, std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]));
    }
    s.radius = radius * largest;
    return s;
}

void tavBoundingSphere::Merge(const tavBoundingSphere& other)
{
    if (other.empty)
        return;
    if (empty) {
        *this = other;
        return;
    }
    const float d = Distance(centre, other.centre);
    if (d + other.radius <= radius)
        return; // already inside
    if (d + radius <= other.radius) {
        *this = other;
        return;
    }
    const float merged = (d + radius + other.radius) * 0.5f;
    // The new centre lies on the line between the two, `merged - radius`
    // from this one's.
    const float t = (merged - radius) / d;
    for (int k = 0; k < 3; ++k)
        centre[k] += (other.centre[k] - centre[k]) * t;
    radius = merged;
}
