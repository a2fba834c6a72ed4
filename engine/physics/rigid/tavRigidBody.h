#pragma once
// A dynamic body of the rigid-body world, made by tavRigidWorld::CreateBody
// and owned by the world (it lives as long as the world does).
//
// Vectors are 3 floats passed by pointer, quaternions 4 floats (x, y, z, w).
// A setter given a null pointer or a value that is not finite changes
// nothing and reports why; every setter wakes a sleeping body.

#include "tavRigidMath.h"
#include "tavRigidShape.h"

#include <cstdint>

class tavRigidWorld;

class tavRigidBody
{
public:
    // Kind 0: a body the program drives itself (it never falls asleep);
    // kind 1: free debris, which sleeps once it has come to rest.
    int32_t GetKind() const { return kind; }

    // ---- Shape and mass ----
    tavRigidShape* GetShape() { return &shape; }
    // Takes the shape's new size into account (call after changing it).
    void UpdateShape();
    // The material (0 to 255) of this body's contacts; false outside that range.
    bool SetMaterial(int32_t id);
    int32_t GetMaterial() const { return material; }
    // Inertia tensors (principal moments, the same on every axis here):
    // 0.4 * mass * (diameter / 2)^2.
    static tavVec3 SphereInertia(float diameter, float mass);
    // 2 * mass * s^2 / 3 with s the largest of the half sizes x, y, z.
    static tavVec3 BoxInertia(float x, float y, float z, float mass);
    // x and z: mass * height^2 / 12 + mass * r^2 / 4; y: mass * r^2 / 2.
    static tavVec3 CylinderInertia(float diameter, float height, float mass);
    // Principal moments about the local axes; each must be > 0.
    void SetInertia(const float* inertia);
    // Mass > 0; the body keeps it and its inverse.
    void SetMass(float mass);
    float GetMass() const { return mass; }
    float GetInverseMass() const { return inverseMass; }

    // ---- Pose ----
    void SetPosition(const float* position);
    void GetPosition(float* position) const { this->position.To(position); }
    // Stored normalised; the rotation matrix is rebuilt from it at once.
    void SetOrientation(const float* quaternion);
    void GetOrientation(float* quaternion) const;
    // Row-vector 4x4: the rotation in the upper 3x3, the position in the
    // last row, the last column (0, 0, 0, 1).
    void GetTransform(float* matrix) const;

    // ---- Motion ----
    void SetLinearVelocity(const float* velocity);
    void GetLinearVelocity(float* velocity) const { linearVelocity.To(velocity); }
    // Linear velocity += impulse / mass, at once.
    void ApplyImpulse(const float* impulse);
    // Replaces the angular velocity (radians per second, world axes).
    void SetAngularVelocity(const float* velocity);
    void GetAngularVelocity(float* velocity) const { angularVelocity.To(velocity); }
    // Each step multiplies the velocity by 1 - d; the absolute value is kept,
    // at most 1.
    void SetLinearDamping(float d);
    void SetAngularDamping(float d);
    float GetLinearDamping() const { return linearDamping; }
    float GetAngularDamping() const { return angularDamping; }

    bool IsSleeping() const { return sleeping; }
    // Wakes the body (and lets it fall asleep again later).
    void Wake();

private:
    friend class tavRigidWorld;
    tavRigidBody(tavRigidWorld* world, int32_t kind, uint32_t index);
    bool Accept(const float* v, int count, const char* what) const;

    tavRigidWorld* world;
    tavRigidShape shape;
    int32_t kind;
    uint32_t index; // position in the world's body list
    int32_t material;
    float mass, inverseMass;
    tavVec3 inverseInertia; // local principal axes
    tavVec3 position;
    tavQuat orientation;
    tavMat3 rotation;
    tavVec3 linearVelocity;
    tavVec3 angularVelocity;
    float linearDamping, angularDamping;
    float sleepTime;
    tavVec3 quietVelocity, quietSpin; // when the current quiet spell began
    bool sleeping;
};
