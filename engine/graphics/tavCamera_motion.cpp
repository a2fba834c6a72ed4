// The camera's movement, mouse look, collision and visibility tests.
#include "graphics/tavCamera.h"

#include "core/TAV.h"

#include <cmath>

namespace
{
// acos(a.b / (|a| |b|)); 0 where that is not a number (a zero vector).
float AngleBetween(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const float angle = std::acos(D3DXVec3Dot(&a, &b) / (D3DXVec3Length(&a) * D3DXVec3Length(&b)));
    return std::isnan(angle) ? 0.0f : angle;
}

D3DXVECTOR3 Horizontal(const D3DXVECTOR3& direction)
{
    D3DXVECTOR3 h(direction.x, 0.0f, direction.z);
    D3DXVec3Normalize(&h, &h);
    return h;
}

// The angles at p subtended by the three edges add up to a full turn (99%
// of it) exactly when p lies inside the triangle.
bool InsideTriangle(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                    const D3DXVECTOR3& c)
{
    const D3DXVECTOR3 pa = a - p, pb = b - p, pc = c - p;
    const float sum = AngleBetween(pa, pb) + AngleBetween(pb, pc) + AngleBetween(pc, pa);
    return sum >= 6.2203536f;
}

D3DXVECTOR3 ClosestOnSegment(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 ab = b - a, ap = p - a;
    const float lengthSq = D3DXVec3Dot(&ab, &ab);
    if (lengthSq <= 0.0f) return a;
    float t = D3DXVec3Dot(&ap, &ab) / lengthSq;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return a + ab * t;
}

bool NearAnEdge(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                const D3DXVECTOR3& c, float distance)
{
    const D3DXVECTOR3 corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i)
    {
        const D3DXVECTOR3 gap = p - ClosestOnSegment(p, corners[i], corners[(i + 1) % 3]);
        if (D3DXVec3Length(&gap) < distance) return true;
    }
    return false;
}
} // namespace

float tavCamera::GetPitch() const
{
    const D3DXVECTOR3 direction = target - position;
    const float angle = AngleBetween(Horizontal(direction), direction);
    return direction.y < 0.0f ? -angle : angle;
}

float tavCamera::MeasureYaw() const
{
    const D3DXVECTOR3 direction = target - position;
    const float angle = AngleBetween(Horizontal(direction), D3DXVECTOR3(0, 0, 1));
    return direction.x < 0.0f ? -angle : angle;
}

void tavCamera::Move(const D3DXVECTOR3& displacement)
{
    position += displacement;
    target += displacement;
    velocity += displacement;
}

void tavCamera::MoveForward(float speed)
{
    const float step = engine ? engine->Scale(speed) : speed * 0.0001f;
    D3DXVECTOR3 direction = target - position;
    D3DXVec3Normalize(&direction, &direction);
    Move(direction * 20.0f * step);
}

void tavCamera::Walk(float speed)
{
    const float step = engine ? engine->Scale(speed) : speed * 0.0001f;
    const D3DXVECTOR3 h = Horizontal(target - position);
    Move(D3DXVECTOR3(h.x * 20.0f * step, 0.0f, h.z * 20.0f * step));
}

void tavCamera::Strafe(float speed)
{
    const float step = engine ? engine->Scale(speed) : speed * 0.0001f;
    const float s = step * 10.0f;
    Move(D3DXVECTOR3(side.x * s, 0.0f, side.z * s));
}

void tavCamera::MoveUp(float speed)
{
    const float step = engine ? engine->Scale(speed) : speed * 0.0001f;
    Move(D3DXVECTOR3(0.0f, step, 0.0f));
}

void tavCamera::RotateTarget(float angle, float axisX, float axisY, float axisZ)
{
    const float s = std::sin(angle * 0.5f);
    const D3DXQUATERNION q(axisX * s, axisY * s, axisZ * s, std::cos(angle * 0.5f));
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &q);
    const D3DXVECTOR3 direction = target - position;
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &direction, &rotation);
    target = position + turned;
}

void tavCamera::RotateTargetAxisAngle(float angle, float x, float y, float z)
{
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const D3DXVECTOR3 d = target - position;
    const D3DXVECTOR3 turned(
        d.x * (t * x * x + c) + d.y * (t * x * y - s * z) + d.z * (t * x * z + s * y),
        d.x * (t * x * y + s * z) + d.y * (t * y * y + c) + d.z * (t * y * z - s * x),
        d.x * (t * x * z - s * y) + d.y * (t * y * z + s * x) + d.z * (t * z * z + c));
    target = position + turned;
}

void tavCamera::MouseLook(float sensitivity)
{
    if (engine) Look(engine->GetMouseDX(), engine->GetMouseDY(), sensitivity);
}

void tavCamera::Look(float dx, float dy, float sensitivity)
{
    // 1.
    if (dx == 0.0f && dy == 0.0f) return;
    // 2.
    const float yawStep = dx * -0.001f * sensitivity;
    const float pitchStep = dy * 0.001f * sensitivity;
    // 3. Pitch only while it stays strictly inside the limits.
    const float newPitch = GetPitch() - pitchStep;
    if (pitchLower < newPitch && newPitch < pitchUpper)
    {
        const D3DXVECTOR3 direction = target - position;
        D3DXVec3Cross(&pitchAxis, &direction, &up);
        D3DXVec3Normalize(&pitchAxis, &pitchAxis);
        lastPitchStep = pitchStep;
        RotateTarget(pitchStep, pitchAxis.x, pitchAxis.y, pitchAxis.z);
    }
    // 4. Yaw always.
    yaw = MeasureYaw();
    RotateTarget(yawStep, 0.0f, 1.0f, 0.0f);
}

void tavCamera::CenterCursor() const
{
    SetCursorPos(cursorCentreX, cursorCentreY);
}

bool tavCamera::Collide(const float* vertices, unsigned vertexCount)
{
    if (!vertices) return false;
    bool touched = false;
    for (unsigned i = 0; i + 3 <= vertexCount; i += 3)
    {
        const float* v = vertices + size_t(i) * 3;
        const D3DXVECTOR3 a(v[0], v[1], v[2]), b(v[3], v[4], v[5]), c(v[6], v[7], v[8]);
        // 1. The plane.
        const D3DXVECTOR3 ca = c - a, ba = b - a;
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &ca, &ba);
        D3DXVec3Normalize(&n, &n);
        const float d = D3DXVec3Dot(&position, &n) - D3DXVec3Dot(&a, &n);
        // 2. Close to the plane, and over the triangle or near one of its edges.
        if (!(std::fabs(d) < collisionRadius)) continue;
        if (!InsideTriangle(position - n * d, a, b, c) &&
            !NearAnEdge(position, a, b, c, collisionRadius * 0.5f))
            continue;
        // 3. Out to the radius, on the side the eye is on.
        const D3DXVECTOR3 push = d > 0.0f ? n * (collisionRadius - d) : n * -(collisionRadius + d);
        position += push;
        target += push;
        touched = true;
    }
    return touched;
}

bool tavCamera::IsPointVisible(const D3DXVECTOR3& point) const
{
    D3DXVECTOR4 p;
    D3DXVec3Transform(&p, &point, &viewProjection);
    return std::fabs(p.x) <= std::fabs(p.w) && std::fabs(p.y) <= std::fabs(p.w) && p.z >= 0.0f &&
           p.z <= p.w;
}

bool tavCamera::IsSphereVisible(const D3DXVECTOR3& centre, float radius) const
{
    D3DXVECTOR4 p;
    D3DXVec3Transform(&p, &centre, &viewProjection);
    return std::fabs(p.x) - radius <= std::fabs(p.w) && std::fabs(p.y) - radius <= std::fabs(p.w) &&
           p.z + radius >= 0.0f && p.z - radius <= p.w;
}

bool tavCamera::IsSphereVisible(const float* sphere) const
{
    return sphere && IsSphereVisible(D3DXVECTOR3(sphere[0], sphere[1], sphere[2]), sphere[3]);
}

void tavCamera::ProjectToScreen(D3DXVECTOR3& out, const D3DXVECTOR3& in) const
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVec3Project(&out, &in, &viewport, &projection, &view, &identity);
}

void tavCamera::UnprojectFromScreen(D3DXVECTOR3& out, const D3DXVECTOR3& in) const
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVec3Unproject(&out, &in, &viewport, &projection, &view, &identity);
}
