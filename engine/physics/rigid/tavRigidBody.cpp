#include "tavRigidBody.h"

#include "tavRigidWorld.h"

namespace
{
bool FiniteAll(const float* v, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

float ClampDamping(float d) { return std::fmin(std::fabs(d), 1.0f); }
} // namespace

tavRigidBody::tavRigidBody(tavRigidWorld* w, int32_t k, uint32_t i)
    : world(w), shape(w), kind(k), index(i), material(0), mass(1), inverseMass(1),
      inverseInertia(1, 1, 1), rotation(tavMat3::Identity()), linearDamping(0),
      angularDamping(0), sleepTime(0), sleeping(false)
{
}

bool tavRigidBody::Accept(const float* v, int count, const char* what) const
{
    if (v && FiniteAll(v, count))
        return true;
    world->Report("Rigid body %u: ignored a %s that is %s.\n", index, what,
                  v ? "not finite" : "missing");
    return false;
}

void tavRigidBody::Wake()
{
    sleeping = false;
    sleepTime = 0;
}

void tavRigidBody::UpdateShape() { Wake(); }

bool tavRigidBody::SetMaterial(int32_t id)
{
    if (id < 0 || id > 255)
        return false;
    material = id;
    return true;
}

tavVec3 tavRigidBody::SphereInertia(float diameter, float mass)
{
    const float r = diameter * 0.5f;
    const float i = 0.4f * mass * r * r;
    return tavVec3(i, i, i);
}

tavVec3 tavRigidBody::BoxInertia(float x, float y, float z, float mass)
{
    const float s = std::fmax(x, std::fmax(y, z));
    const float i = 2.0f * mass * s * s / 3.0f;
    return tavVec3(i, i, i);
}

tavVec3 tavRigidBody::CylinderInertia(float diameter, float height, float mass)
{
    const float r = diameter * 0.5f;
    const float side = mass * height * height / 12.0f + mass * r * r / 4.0f;
    return tavVec3(side, mass * r * r / 2.0f, side);
}

void tavRigidBody::SetInertia(const float* inertia)
{
    if (!Accept(inertia, 3, "inertia"))
        return;
    if (!(inertia[0] > 0 && inertia[1] > 0 && inertia[2] > 0))
    {
        world->Report("Rigid body %u: ignored an inertia that is not positive.\n", index);
        return;
    }
    inverseInertia = tavVec3(1.0f / inertia[0], 1.0f / inertia[1], 1.0f / inertia[2]);
    Wake();
}

void tavRigidBody::SetMass(float m)
{
    if (!(std::isfinite(m) && m > 0))
    {
        world->Report("Rigid body %u: ignored a mass that is not positive and finite.\n", index);
        return;
    }
    mass = m;
    inverseMass = 1.0f / m;
    Wake();
}

void tavRigidBody::SetPosition(const float* p)
{
    if (!Accept(p, 3, "position"))
        return;
    position = tavVec3::From(p);
    Wake();
}

void tavRigidBody::SetOrientation(const float* q)
{
    if (!Accept(q, 4, "orientation"))
        return;
    orientation = tavQuat(q[0], q[1], q[2], q[3]).Normalized();
    rotation = orientation.Matrix();
    Wake();
}

void tavRigidBody::GetOrientation(float* q) const
{
    q[0] = orientation.x;
    q[1] = orientation.y;
    q[2] = orientation.z;
    q[3] = orientation.w;
}

void tavRigidBody::GetTransform(float* m) const
{
    for (int row = 0; row < 3; ++row)
    {
        rotation.c[row].To(m + row * 4);
        m[row * 4 + 3] = 0;
    }
    position.To(m + 12);
    m[15] = 1;
}

void tavRigidBody::SetLinearVelocity(const float* v)
{
    if (!Accept(v, 3, "linear velocity"))
        return;
    linearVelocity = tavVec3::From(v);
    Wake();
}

void tavRigidBody::ApplyImpulse(const float* impulse)
{
    if (!Accept(impulse, 3, "impulse"))
        return;
    linearVelocity += tavVec3::From(impulse) * inverseMass;
    Wake();
}

void tavRigidBody::SetAngularVelocity(const float* v)
{
    if (!Accept(v, 3, "angular velocity"))
        return;
    angularVelocity = tavVec3::From(v);
    Wake();
}

void tavRigidBody::SetLinearDamping(float d)
{
    if (!Accept(&d, 1, "linear damping"))
        return;
    linearDamping = ClampDamping(d);
}

void tavRigidBody::SetAngularDamping(float d)
{
    if (!Accept(&d, 1, "angular damping"))
        return;
    angularDamping = ClampDamping(d);
}
