#pragma once
// An immovable, posed body: a shape placed in the world that dynamic bodies
// collide with but that nothing moves. Made by tavRigidWorld::CreateFixedBody
// and owned by the world. Re-posing it wakes the sleeping bodies.

#include "tavRigidMath.h"
#include "tavRigidShape.h"

#include <cstdint>

class tavRigidWorld;

class tavFixedBody
{
public:
    tavRigidShape* GetShape() { return &shape; }
    // Takes the shape's new size into account.
    void UpdateShape();
    bool SetMaterial(int32_t id);
    int32_t GetMaterial() const { return material; }

    void SetPosition(const float* position);
    void GetPosition(float* position) const { this->position.To(position); }
    // Stored normalised; the rotation matrix is rebuilt from it at once.
    void SetOrientation(const float* quaternion);
    void GetOrientation(float* quaternion) const;
    // Row-vector 4x4 with the position in the last row.
    void GetTransform(float* matrix) const;

private:
    friend class tavRigidWorld;
    tavFixedBody(tavRigidWorld* world, uint32_t index);

    tavRigidWorld* world;
    tavRigidShape shape;
    uint32_t index;
    int32_t material;
    tavVec3 position;
    tavQuat orientation;
    tavMat3 rotation;
};
