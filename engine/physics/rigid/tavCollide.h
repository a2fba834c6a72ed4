#pragma once
// Contact generation between pairs of shapes: the narrow phase of the
// world. Every function fills a contact set whose normal points from the
// first shape to the second and whose points lie midway between the two
// surfaces; points farther apart than `maxSeparation` are left out, so
// nearby surfaces give "speculative" contacts that only act when the bodies
// would close the gap within the step.

#include "tavMeshCollider.h"
#include "tavRigidMath.h"
#include "tavRigidShape.h"

#include <cstdint>

struct tavContactSet
{
    static const int MaxPoints = 4;
    tavVec3 normal; // unit, from the first shape to the second
    int count;
    tavVec3 point[MaxPoints];
    float separation[MaxPoints]; // negative: overlap
};

// A posed convex: a shape at a position and rotation, or a static triangle.
struct tavConvex
{
    const tavRigidShape* shape;                  // null for a triangle
    const tavMeshCollider::Triangle* triangle;   // null for a shape
    tavVec3 position;
    tavMat3 rotation;

    static tavConvex Of(const tavRigidShape& s, const tavVec3& p, const tavMat3& r);
    static tavConvex Of(const tavMeshCollider::Triangle& t);
    // Farthest point of the core along world direction d.
    tavVec3 Support(const tavVec3& d) const;
    float Margin() const;
    tavVec3 Centre() const;
};

// Closest point of triangle abc to p, with its barycentric weights.
tavVec3 ClosestOnTriangle(const tavVec3& p, const tavVec3& a, const tavVec3& b, const tavVec3& c,
                          float weights[3]);

bool CollideSpheres(const tavVec3& a, float ra, const tavVec3& b, float rb, float maxSeparation,
                    tavContactSet& out);
// Sphere against a static triangle. Nothing when the nearest feature of the
// triangle is an inactive edge or corner: a neighbour in the same plane
// gives that contact with its face.
bool CollideSphereTriangle(const tavVec3& centre, float radius,
                           const tavMeshCollider::Triangle& triangle, float maxSeparation,
                           tavContactSet& out);
// Any two convexes (at most one a triangle, which must then be `b`): the
// separating direction of the cores, then up to four points from clipping
// the touching faces.
bool CollideConvex(const tavConvex& a, const tavConvex& b, float maxSeparation,
                   tavContactSet& out);
