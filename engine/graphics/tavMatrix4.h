#pragma once
// A 4x4 float matrix laid out as Direct3D's: row vectors (v' = v x M), the
// translation in the fourth row. The portable skinning and animation code
// works on these; the Windows side copies them to and from D3DXMATRIX
// unchanged, element for element.

#include <cmath>

struct tavMatrix4
{
    float m[4][4];

    static tavMatrix4 Identity()
    {
        tavMatrix4 r{};
        r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
        return r;
    }

    static tavMatrix4 Translation(float x, float y, float z)
    {
        tavMatrix4 r = Identity();
        r.m[3][0] = x;
        r.m[3][1] = y;
        r.m[3][2] = z;
        return r;
    }

    static tavMatrix4 Scaling(float x, float y, float z)
    {
        tavMatrix4 r = Identity();
        r.m[0][0] = x;
        r.m[1][1] = y;
        r.m[2][2] = z;
        return r;
    }

    // The rotation of the unit quaternion (x, y, z, w), as Direct3D builds it.
    static tavMatrix4 Rotation(float x, float y, float z, float w)
    {
        tavMatrix4 r = Identity();
        r.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
        r.m[0][1] = 2.0f * (x * y + z * w);
        r.m[0][2] = 2.0f * (x * z - y * w);
        r.m[1][0] = 2.0f * (x * y - z * w);
        r.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
        r.m[1][2] = 2.0f * (y * z + x * w);
        r.m[2][0] = 2.0f * (x * z + y * w);
        r.m[2][1] = 2.0f * (y * z - x * w);
        r.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
        return r;
    }

    // this x b: first this transform, then b.
    tavMatrix4 operator*(const tavMatrix4& b) const
    {
        tavMatrix4 r{};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j] +
                            m[i][3] * b.m[3][j];
        return r;
    }

    // The point (x, y, z, 1) transformed, the w row dropped.
    void TransformPoint(const float in[3], float out[3]) const
    {
        for (int j = 0; j < 3; ++j)
            out[j] = in[0] * m[0][j] + in[1] * m[1][j] + in[2] * m[2][j] + m[3][j];
    }

    // The direction (x, y, z, 0) transformed.
    void TransformNormal(const float in[3], float out[3]) const
    {
        for (int j = 0; j < 3; ++j)
            out[j] = in[0] * m[0][j] + in[1] * m[1][j] + in[2] * m[2][j];
    }
};
