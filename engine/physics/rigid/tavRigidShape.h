#pragma once
// The collision shape of a body: a sphere, a box or a cylinder (axis along
// the body's local y). A body's shape is changed through these setters and
// then tavRigidBody::UpdateShape. Sizes that are not positive and finite are
// refused with a report; the shape keeps what it had.
//
// Boxes and cylinders collide as a slightly smaller "core" rounded by a
// margin (a few percent of their smallest size): resting contacts are then
// found between separated cores, which keeps their normals steady.

#include "tavRigidMath.h"

#include <cstdint>

class tavRigidWorld;

class tavRigidShape
{
public:
    enum Type : uint8_t
    {
        None = 0, // collides with nothing
        Sphere,
        Box,
        Cylinder,
    };

    explicit tavRigidShape(tavRigidWorld* world = nullptr);

    // Sphere of radius diameter / 2.
    bool SetSphere(float diameter);
    // Box of half sizes x, y, z (centre to face along each local axis).
    bool SetBox(float x, float y, float z);
    // Cylinder of radius diameter / 2 and half-height height / 2 along local y.
    bool SetCylinder(float diameter, float height);

    Type GetType() const { return type; }
    float GetRadius() const { return radius; }          // sphere and cylinder
    tavVec3 GetHalfExtents() const { return half; }     // box
    float GetHalfHeight() const { return halfHeight; }  // cylinder

    // ---- Collision data (used by the world) ----
    // Radius of the sphere around the centre that holds the whole shape.
    float BoundingRadius() const { return bound; }
    // The rounding margin; the sphere's radius for a sphere.
    float Margin() const { return margin; }
    // Farthest point of the core along local direction d.
    tavVec3 SupportLocal(const tavVec3& d) const;
    // Box core half extents; for a cylinder (core radius, core half-height, 0).
    tavVec3 Core() const { return core; }
    // Half extents of the local bounding box of the whole shape.
    tavVec3 LocalExtents() const;

private:
    bool Refuse(const char* what);
    void Reset(Type t);

    tavRigidWorld* world;
    Type type;
    float radius;
    tavVec3 half;
    float halfHeight;
    float margin;
    tavVec3 core;
    float bound;
};
