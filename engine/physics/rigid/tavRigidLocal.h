#pragma once
// Inner data of the rigid-body world, shared by the world's step and the
// contact solver; not part of the library's interface.

#include "tavMeshCollider.h"
#include "tavRigidMath.h"

#include <cstdint>
#include <memory>
#include <vector>

struct tavRigidMaterial
{
    float friction = 0.5f;
    float restitution = 0.0f;
    uint32_t flags = 0;
};

// What a contact is against, for matching contacts from one step to the next.
struct tavContactKey
{
    uint32_t body;  // the dynamic body
    uint32_t other; // kind in the top two bits (0 body, 1 fixed, 2 mesh), then its number
    uint32_t part;  // triangle number for a mesh, else 0

    bool operator<(const tavContactKey& k) const
    {
        if (body != k.body)
            return body < k.body;
        if (other != k.other)
            return other < k.other;
        return part < k.part;
    }
    bool operator==(const tavContactKey& k) const
    {
        return body == k.body && other == k.other && part == k.part;
    }
};

struct tavContactPoint
{
    tavVec3 anchorA, anchorB; // from each body's centre at the start of the step
    tavVec3 angularA, angularB; // anchor x normal
    float separation;         // at the start of the step; negative: overlap
    float relativeVelocity;   // along the normal at the start of the step
    float normalImpulse, pushImpulse, maxNormalImpulse;
    float tangentImpulse[2];
    float normalMass, tangentMass[2];
};

struct tavManifold
{
    tavContactKey key;
    uint32_t a, b; // solver bodies; 0 is the immovable world
    tavVec3 normal, tangent[2];
    float friction, restitution;
    float rolling; // largest rolling impulse per unit of normal impulse
    int count;
    tavContactPoint points[4];
    tavVec3 rollingImpulse;
    tavMat3 rollingMass;
};

// A body as the solver sees it during one step.
struct tavSolverBody
{
    tavVec3 v, w;          // velocity
    tavVec3 pushV, pushW;  // overlap correction, this sub-step only
    tavVec3 displacement;  // since the start of the step
    tavMat3 turn;          // rotation since the start of the step (identity for spheres)
    tavMat3 inverseInertia; // world axes, at the start of the step
    tavQuat orientation;
    tavMat3 startRotation;
    float inverseMass;
    uint32_t body;         // world body number
    bool round;            // a sphere: contacts do not move with its turning
};

// Forces carried from one step to the next to warm-start the solver.
struct tavCachedContact
{
    tavContactKey key;
    tavVec3 anchor[4];
    float normalForce[4];
    float tangentForce[4][2];
    tavVec3 rollingTorque;
    int count;
};

struct tavBounds
{
    tavVec3 min, max;
};

struct tavBodyPair
{
    uint32_t a, b; // world body numbers, a < b
};

struct tavRigidWorldLocal
{
    tavRigidMaterial materials[256];
    std::vector<std::unique_ptr<tavMeshCollider>> meshes;

    // Scratch of one step, kept to spare allocations.
    std::vector<uint32_t> awake;
    std::vector<uint8_t> inStep; // per body: 1 when it takes part in this step
    std::vector<tavBounds> bounds;
    std::vector<float> pushReach; // per body: how far overlap pushes may move it this step
    std::vector<uint32_t> sweepOrder;
    std::vector<tavBodyPair> pairs;
    std::vector<tavManifold> manifolds;
    std::vector<uint32_t> triangles;
    std::vector<tavSolverBody> solverBodies;
    std::vector<uint32_t> solverOf; // body number -> solver body
    std::vector<tavCachedContact> cache;
    std::vector<uint32_t> islands;
};
