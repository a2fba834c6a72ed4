#include "tavFixedBody.h"

#include "tavRigidWorld.h"

tavFixedBody::tavFixedBody(tavRigidWorld* w, uint32_t i)
    : world(w), shape(w), index(i), material(0), rotation(tavMat3::Identity())
{
}

void tavFixedBody::UpdateShape() { world->WakeAll(); }

bool tavFixedBody::SetMaterial(int32_t id)
{
    if (id < 0 || id > 255)
        return false;
    material = id;
    return true;
}

void tavFixedBody::SetPosition(const float* p)
{
    if (!p || !IsFinite(tavVec3::From(p)))
    {
        world->Report("Fixed body %u: ignored a position that is missing or not finite.\n", index);
        return;
    }
    position = tavVec3::From(p);
    world->WakeAll();
}

void tavFixedBody::SetOrientation(const float* q)
{
    if (!q || !std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2]) ||
        !std::isfinite(q[3]))
    {
        world->Report("Fixed body %u: ignored an orientation that is missing or not finite.\n",
                      index);
        return;
    }
    orientation = tavQuat(q[0], q[1], q[2], q[3]).Normalized();
    rotation = orientation.Matrix();
    world->WakeAll();
}

void tavFixedBody::GetOrientation(float* q) const
{
    q[0] = orientation.x;
    q[1] = orientation.y;
    q[2] = orientation.z;
    q[3] = orientation.w;
}

void tavFixedBody::GetTransform(float* m) const
{
    for (int row = 0; row < 3; ++row)
    {
        rotation.c[row].To(m + row * 4);
        m[row * 4 + 3] = 0;
    }
    position.To(m + 12);
    m[15] = 1;
}
