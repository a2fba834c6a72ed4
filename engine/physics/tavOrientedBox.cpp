#include "physics/tavOrientedBox.h"

#include "util/tavText.h"

#include <cmath>
#include <cstring>

#if defined(_WIN32)
// The one Windows call of this file, declared here so that the portable
// core keeps clear of windows.h.
extern "C" __declspec(dllimport) void __stdcall OutputDebugStringA(const char* text);
#endif

namespace
{
#if defined(_WIN32)
void DebuggerOutput(const char* text)
{
    OutputDebugStringA(text);
}
#else
void DebuggerOutput(const char*)
{
}
#endif

tavDebugOutput debugOutput = DebuggerOutput;

void Identity(float m[4][4])
{
    std::memset(m, 0, sizeof(float) * 16);
    for (int i = 0; i < 4; ++i)
        m[i][i] = 1.0f;
}

// out = x * y, row vectors: x applies first.
void Multiply(float out[4][4], const float x[4][4], const float y[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] =
                x[r][0] * y[0][c] + x[r][1] * y[1][c] + x[r][2] * y[2][c] + x[r][3] * y[3][c];
}

// (v, 1) * m, divided by the resulting w.
void TransformCoord(float out[3], const float v[3], const float m[4][4])
{
    float w = v[0] * m[0][3] + v[1] * m[1][3] + v[2] * m[2][3] + m[3][3];
    if (w == 0.0f) w = 1.0f;
    for (int c = 0; c < 3; ++c)
        out[c] = (v[0] * m[0][c] + v[1] * m[1][c] + v[2] * m[2][c] + m[3][c]) / w;
}

bool IsIdentity(const float m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
    return true;
}

// b in a's frame: R (b's axes as rows, in a's coordinates) and T (b's
// offset), the inputs of both the test and the description.
struct RelativeFrame
{
    float R[4][4];
    float T[3];
    float worldOffset[3];
};

RelativeFrame Relate(const tavOrientedBox& a, const tavOrientedBox& b)
{
    RelativeFrame f;
    Multiply(f.R, b.orientation, a.inverseOrientation);
    for (int i = 0; i < 3; ++i)
        f.worldOffset[i] = b.position[i] - a.position[i];
    TransformCoord(f.T, f.worldOffset, a.inverseOrientation);
    return f;
}

void Write(const char* format, float x, float y, float z)
{
    const std::string line = FormatBoundedF(512, format, double(x), double(y), double(z));
    debugOutput(line.c_str());
}

void Describe(const tavOrientedBox& a, const tavOrientedBox& b, const RelativeFrame& f)
{
    if (IsIdentity(f.R)) debugOutput("MatB is the identity.\n");
    Write("A Centroid: %.2f, %.2f, %.2f\n", a.centroid[0], a.centroid[1], a.centroid[2]);
    Write("B Centroid: %.2f, %.2f, %.2f\n", b.centroid[0], b.centroid[1], b.centroid[2]);
    Write("vPosB: %.2f, %.2f, %.2f\n", f.T[0], f.T[1], f.T[2]);
    Write("vSub: %.2f, %.2f, %.2f\n", f.worldOffset[0], f.worldOffset[1], f.worldOffset[2]);
    Write("X-Axis: %.2f, %.2f, %.2f\n", f.R[0][0], f.R[1][0], f.R[2][0]);
    Write("Y-Axis: %.2f, %.2f, %.2f\n", f.R[0][1], f.R[1][1], f.R[2][1]);
    Write("Z-Axis: %.2f, %.2f, %.2f\n\n", f.R[0][2], f.R[1][2], f.R[2][2]);
}

// The fifteen separating-axis tests in their fixed order.
int SeparatingAxis(const tavOrientedBox& a, const tavOrientedBox& b, const RelativeFrame& f)
{
    const float* ea = a.halfExtents;
    const float* eb = b.halfExtents;
    const float* T = f.T;
    // C[i][j]: b's axis j along a's axis i; A = |C|.
    float C[3][3], A[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            C[i][j] = f.R[j][i];
            A[i][j] = std::fabs(C[i][j]);
        }
    // a's axes.
    for (int i = 0; i < 3; ++i)
        if (std::fabs(T[i]) > ea[i] + eb[0] * A[i][0] + eb[1] * A[i][1] + eb[2] * A[i][2]) return i;
    // b's axes.
    for (int j = 0; j < 3; ++j)
    {
        const float distance = std::fabs(T[0] * C[0][j] + T[1] * C[1][j] + T[2] * C[2][j]);
        if (distance > eb[j] + ea[0] * A[0][j] + ea[1] * A[1][j] + ea[2] * A[2][j]) return 3 + j;
    }
    // a(i) x b(j); with (i, p, q) a's axes in cyclic order and (j, r, s)
    // b's, the distance is |T[q] C[p][j] - T[p] C[q][j]| against the radii
    // a[p] A[q][j] + a[q] A[p][j] + b[r] A[i][s] + b[s] A[i][r].
    for (int i = 0; i < 3; ++i)
    {
        const int p = (i + 1) % 3, q = (i + 2) % 3;
        for (int j = 0; j < 3; ++j)
        {
            const int r = (j + 1) % 3, s = (j + 2) % 3;
            const float distance = std::fabs(T[q] * C[p][j] - T[p] * C[q][j]);
            const float radii =
                ea[p] * A[q][j] + ea[q] * A[p][j] + eb[r] * A[i][s] + eb[s] * A[i][r];
            if (distance > radii) return 6 + 3 * i + j;
        }
    }
    return -1;
}
} // namespace

tavOrientedBox::tavOrientedBox()
    : centroid{0, 0, 0}, halfExtents{0, 0, 0}, position{0, 0, 0}, reserved{0, 0, 0}
{
    Identity(orientation);
    Identity(inverseOrientation);
}

int FindSeparatingAxis(const tavOrientedBox& a, const tavOrientedBox& b)
{
    return SeparatingAxis(a, b, Relate(a, b));
}

int OrientedBoxesOverlap(const tavOrientedBox& a, const tavOrientedBox& b)
{
    const RelativeFrame f = Relate(a, b);
    Describe(a, b, f);
    return SeparatingAxis(a, b, f) < 0 ? 4 : 0;
}

tavDebugOutput tavSetDebugOutput(tavDebugOutput output)
{
    const tavDebugOutput previous = debugOutput;
    debugOutput = output ? output : DebuggerOutput;
    return previous;
}
