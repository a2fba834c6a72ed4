#pragma once
// Small vector, quaternion and 3x3 matrix types of the rigid-body library.
// Column-vector convention inside the library (world = R * local); the
// public interface hands out row-vector 4x4 matrices (translation in the
// last row), as the rest of the engine expects.

#include <cmath>

struct tavVec3
{
    float x, y, z;

    tavVec3() : x(0), y(0), z(0) {}
    tavVec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
    static tavVec3 From(const float* v) { return tavVec3(v[0], v[1], v[2]); }
    void To(float* v) const
    {
        v[0] = x;
        v[1] = y;
        v[2] = z;
    }

    float operator[](int i) const { return (&x)[i]; }
    float& operator[](int i) { return (&x)[i]; }
    tavVec3 operator+(const tavVec3& b) const { return tavVec3(x + b.x, y + b.y, z + b.z); }
    tavVec3 operator-(const tavVec3& b) const { return tavVec3(x - b.x, y - b.y, z - b.z); }
    tavVec3 operator-() const { return tavVec3(-x, -y, -z); }
    tavVec3 operator*(float s) const { return tavVec3(x * s, y * s, z * s); }
    tavVec3& operator+=(const tavVec3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    tavVec3& operator-=(const tavVec3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    tavVec3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
};

inline tavVec3 operator*(float s, const tavVec3& v) { return v * s; }
inline float Dot(const tavVec3& a, const tavVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline tavVec3 Cross(const tavVec3& a, const tavVec3& b)
{
    return tavVec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float LengthSquared(const tavVec3& v) { return Dot(v, v); }
inline float Length(const tavVec3& v) { return std::sqrt(Dot(v, v)); }
inline tavVec3 Min(const tavVec3& a, const tavVec3& b)
{
    return tavVec3(std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z));
}
inline tavVec3 Max(const tavVec3& a, const tavVec3& b)
{
    return tavVec3(std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z));
}
inline bool IsFinite(const tavVec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
// Unit vector, or `fallback` for a vector too short to have a direction.
inline tavVec3 NormalizeOr(const tavVec3& v, const tavVec3& fallback)
{
    const float len = Length(v);
    return len > 1e-20f ? v * (1.0f / len) : fallback;
}
// Two unit vectors that complete n to an orthonormal basis.
inline void Basis(const tavVec3& n, tavVec3& t1, tavVec3& t2)
{
    if (std::fabs(n.x) >= 0.57735f)
        t1 = NormalizeOr(tavVec3(n.y, -n.x, 0.0f), tavVec3(0, 1, 0));
    else
        t1 = NormalizeOr(tavVec3(0.0f, n.z, -n.y), tavVec3(1, 0, 0));
    t2 = Cross(n, t1);
}

struct tavMat3
{
    tavVec3 c[3]; // columns

    static tavMat3 Identity()
    {
        tavMat3 m;
        m.c[0] = tavVec3(1, 0, 0);
        m.c[1] = tavVec3(0, 1, 0);
        m.c[2] = tavVec3(0, 0, 1);
        return m;
    }
    static tavMat3 Diagonal(const tavVec3& d)
    {
        tavMat3 m;
        m.c[0] = tavVec3(d.x, 0, 0);
        m.c[1] = tavVec3(0, d.y, 0);
        m.c[2] = tavVec3(0, 0, d.z);
        return m;
    }
    tavVec3 operator*(const tavVec3& v) const { return c[0] * v.x + c[1] * v.y + c[2] * v.z; }
    // Transpose times v: v expressed in the frame whose axes are the columns.
    tavVec3 TransposeTimes(const tavVec3& v) const
    {
        return tavVec3(Dot(c[0], v), Dot(c[1], v), Dot(c[2], v));
    }
    tavMat3 operator*(const tavMat3& b) const
    {
        tavMat3 m;
        for (int i = 0; i < 3; ++i)
            m.c[i] = *this * b.c[i];
        return m;
    }
    tavMat3 operator+(const tavMat3& b) const
    {
        tavMat3 m;
        for (int i = 0; i < 3; ++i)
            m.c[i] = c[i] + b.c[i];
        return m;
    }
    tavMat3 Transposed() const
    {
        tavMat3 m;
        m.c[0] = tavVec3(c[0].x, c[1].x, c[2].x);
        m.c[1] = tavVec3(c[0].y, c[1].y, c[2].y);
        m.c[2] = tavVec3(c[0].z, c[1].z, c[2].z);
        return m;
    }
    // Inverse; the zero matrix when it is singular.
    tavMat3 Inverse() const
    {
        const tavVec3 r0 = Cross(c[1], c[2]);
        const tavVec3 r1 = Cross(c[2], c[0]);
        const tavVec3 r2 = Cross(c[0], c[1]);
        const float det = Dot(c[0], r0);
        tavMat3 m;
        if (std::fabs(det) < 1e-30f)
            return m;
        const float inv = 1.0f / det;
        m.c[0] = tavVec3(r0.x, r1.x, r2.x) * inv;
        m.c[1] = tavVec3(r0.y, r1.y, r2.y) * inv;
        m.c[2] = tavVec3(r0.z, r1.z, r2.z) * inv;
        return m;
    }
};

// R * diag(d) * R^T: a body-space diagonal tensor seen in the world.
inline tavMat3 RotateTensor(const tavMat3& r, const tavVec3& d)
{
    tavMat3 scaled;
    for (int i = 0; i < 3; ++i)
        scaled.c[i] = r.c[i] * d[i];
    return scaled * r.Transposed();
}

struct tavQuat
{
    float x, y, z, w;

    tavQuat() : x(0), y(0), z(0), w(1) {}
    tavQuat(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}

    // Unit length, or the identity for a quaternion with no length.
    tavQuat Normalized() const
    {
        const float len = std::sqrt(x * x + y * y + z * z + w * w);
        if (!(len > 1e-20f))
            return tavQuat();
        const float inv = 1.0f / len;
        return tavQuat(x * inv, y * inv, z * inv, w * inv);
    }
    // The rotation matrix of a unit quaternion (column-vector convention).
    tavMat3 Matrix() const
    {
        const float xx = x * x, yy = y * y, zz = z * z;
        const float xy = x * y, xz = x * z, yz = y * z;
        const float wx = w * x, wy = w * y, wz = w * z;
        tavMat3 m;
        m.c[0] = tavVec3(1 - 2 * (yy + zz), 2 * (xy + wz), 2 * (xz - wy));
        m.c[1] = tavVec3(2 * (xy - wz), 1 - 2 * (xx + zz), 2 * (yz + wx));
        m.c[2] = tavVec3(2 * (xz + wy), 2 * (yz - wx), 1 - 2 * (xx + yy));
        return m;
    }
    // Advances by the world angular velocity w over h seconds (first order),
    // then renormalises.
    tavQuat Integrated(const tavVec3& omega, float h) const
    {
        const float hx = 0.5f * h * omega.x, hy = 0.5f * h * omega.y, hz = 0.5f * h * omega.z;
        const tavQuat q(x + hx * w + hy * z - hz * y, y + hy * w + hz * x - hx * z,
                        z + hz * w + hx * y - hy * x, w - hx * x - hy * y - hz * z);
        return q.Normalized();
    }
};
