#pragma once
// Three floats with the few operations content generation needs. Plain data;
// the generators work in the engine's left-handed, y-up world.

#include <cmath>

namespace assetgen
{

struct Vec3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3() = default;
    Vec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(const Vec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

inline float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& a)
{
    return std::sqrt(Dot(a, a));
}
// Unit vector along `a`; (0, 1, 0) for a zero vector.
inline Vec3 Normalize(const Vec3& a)
{
    const float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : Vec3(0.0f, 1.0f, 0.0f);
}
inline Vec3 Lerp(const Vec3& a, const Vec3& b, float t)
{
    return a + (b - a) * t;
}

} // namespace assetgen
