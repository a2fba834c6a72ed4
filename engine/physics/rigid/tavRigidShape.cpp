#include "tavRigidShape.h"

#include "tavRigidWorld.h"

namespace
{
bool Positive(float v) { return std::isfinite(v) && v > 0.0f; }

// The rounding of a box or cylinder: a tenth of its smallest half size, at
// most one unit.
float MarginFor(float smallest) { return std::fmin(0.1f * smallest, 1.0f); }
} // namespace

tavRigidShape::tavRigidShape(tavRigidWorld* w) : world(w) { Reset(None); }

void tavRigidShape::Reset(Type t)
{
    type = t;
    radius = 0;
    half = tavVec3();
    halfHeight = 0;
    margin = 0;
    core = tavVec3();
    bound = 0;
}

bool tavRigidShape::Refuse(const char* what)
{
    if (world)
        world->Report("Rigid body shape: refused a %s whose sizes are not positive and finite.\n",
                      what);
    return false;
}

bool tavRigidShape::SetSphere(float diameter)
{
    if (!Positive(diameter))
        return Refuse("sphere");
    Reset(Sphere);
    radius = diameter * 0.5f;
    margin = radius;
    bound = radius;
    return true;
}

bool tavRigidShape::SetBox(float x, float y, float z)
{
    if (!Positive(x) || !Positive(y) || !Positive(z))
        return Refuse("box");
    Reset(Box);
    half = tavVec3(x, y, z);
    margin = MarginFor(std::fmin(x, std::fmin(y, z)));
    core = tavVec3(x - margin, y - margin, z - margin);
    bound = Length(half);
    return true;
}

bool tavRigidShape::SetCylinder(float diameter, float height)
{
    if (!Positive(diameter) || !Positive(height))
        return Refuse("cylinder");
    Reset(Cylinder);
    radius = diameter * 0.5f;
    halfHeight = height * 0.5f;
    margin = MarginFor(std::fmin(radius, halfHeight));
    core = tavVec3(radius - margin, halfHeight - margin, 0);
    bound = std::sqrt(radius * radius + halfHeight * halfHeight);
    return true;
}

tavVec3 tavRigidShape::SupportLocal(const tavVec3& d) const
{
    switch (type)
    {
    case Box:
        return tavVec3(d.x >= 0 ? core.x : -core.x, d.y >= 0 ? core.y : -core.y,
                       d.z >= 0 ? core.z : -core.z);
    case Cylinder:
    {
        const float len = std::sqrt(d.x * d.x + d.z * d.z);
        const float s = len > 1e-12f ? core.x / len : 0.0f;
        return tavVec3(d.x * s, d.y >= 0 ? core.y : -core.y, d.z * s);
    }
    default:
        return tavVec3();
    }
}

tavVec3 tavRigidShape::LocalExtents() const
{
    switch (type)
    {
    case Sphere:
        return tavVec3(radius, radius, radius);
    case Box:
        return half;
    case Cylinder:
        return tavVec3(radius, halfHeight, radius);
    default:
        return tavVec3();
    }
}
