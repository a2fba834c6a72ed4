#pragma once
// Three floats with the few operations content generation needs. Plain data;
// the generators work in the engine's left-handed, y-up world.

#include <cmath>

struct tavVec3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;

    tavVec3() = default;
    tavVec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

    tavVec3 operator+(const tavVec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    tavVec3 operator-(const tavVec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    tavVec3 operator-() const { return {-x, -y, -z}; }
    tavVec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    tavVec3& operator+=(const tavVec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    bool operator==(const tavVec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

inline float Dot(const tavVec3& a, const tavVec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline tavVec3 Cross(const tavVec3& a, const tavVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const tavVec3& a)
{
    return std::sqrt(Dot(a, a));
}
// Unit vector along `a`; (0, 1, 0) for a zero vector.
inline tavVec3 Normalize(const tavVec3& a)
{
    const float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : tavVec3(0.0f, 1.0f, 0.0f);
}
inline tavVec3 Lerp(const tavVec3& a, const tavVec3& b, float t)
{
    return a + (b - a) * t;
}
