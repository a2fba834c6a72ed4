#pragma once
// The rigid-body world: dynamic bodies of simple shapes, fixed bodies and
// static triangle meshes, moved by Advance under gravity, contacts with
// friction and restitution, and damping. Same inputs give the same results,
// bit for bit.
//
// Capacity record (twelve 32-bit integers), the fields the world uses:
//   [0] room for bodies of kind 0      [1] room for fixed bodies
//   [2] room for bodies of kind 1      [4] overlap pair capacity
//   [5] total body count (dynamic and fixed together)
// The others are kept but unused. Bodies are not removed one by one: a
// world's bodies live until DestroyWorld.

#include "tavFixedBody.h"
#include "tavRigidBody.h"
#include "tavTriangleMesh.h"

#include <cstdint>
#include <memory>
#include <vector>

struct tavRigidWorldLocal;

// Where the world's reports go: text (ending in "\n") and the user pointer.
typedef void (*tavRigidReportFunction)(const char* text, void* user);

class tavRigidWorld
{
public:
    static const int CapacitySize = 12;
    // The record used when none is given.
    static const int32_t DefaultCapacity[CapacitySize];

    // ---- Materials ----
    // A contact's friction coefficient is the mean friction of its two
    // materials, its bounce factor 1 + their mean restitution. A one-point
    // contact (a sphere) also resists rolling and spinning with one fifth of
    // its friction, so balls come to rest. False for an id outside 0..255
    // or values that are negative or not finite. Every material starts at
    // friction 0.5 and restitution 0.
    bool SetMaterial(int32_t id, float friction, float restitution, uint32_t flags);

    // ---- Geometry and bodies ----
    // Copies the triangles as static collision geometry, colliding from the
    // next step on. Triangles with an index out of range, a position that is
    // not finite or no area are skipped (reported). Returns the mesh number,
    // or -1 when nothing usable was given.
    int32_t AddStaticMesh(const tavTriangleMesh* mesh);
    // A new awake body of kind 0 or 1 at the origin with no shape, mass 1 and
    // unit inertia; null for another kind or when the record has no room.
    tavRigidBody* CreateBody(int32_t kind);
    // A new fixed body at the origin with no shape; null when there is no room.
    tavFixedBody* CreateFixedBody();

    // ---- Simulation ----
    // Moves every awake body by `seconds`, solving in stepCount sub-steps
    // (1 to 64; others are clamped). Collisions are found once per call with
    // a margin that covers the motion of the whole call, so fast bodies do
    // not pass through thin geometry. Damping is applied once per call.
    // False, with nothing changed, when seconds is not positive and finite.
    // `flags` is reserved.
    bool Advance(float seconds, int32_t stepCount, uint32_t flags);

    // ---- Queries ----
    int32_t GetCapacity(int index) const;
    uint32_t GetBodyCount() const { return (uint32_t)bodies.size(); }
    uint32_t GetFixedBodyCount() const { return (uint32_t)fixedBodies.size(); }
    tavRigidBody* GetBody(uint32_t index) const;
    const tavVec3& GetGravity() const { return gravity; }
    // Simulated seconds so far.
    double GetTime() const { return time; }
    // Overlapping body pairs found by the last Advance (before any cap).
    uint32_t GetPairCount() const { return pairCount; }
    // Contacts solved by the last Advance.
    uint32_t GetContactCount() const;

    // Reports go to stderr until another function is set (null restores it).
    void SetReportFunction(tavRigidReportFunction function, void* user);
    // printf-style report through the report function.
    void Report(const char* format, ...) const;

    // Wakes every sleeping body (the static world changed).
    void WakeAll();

private:
    friend tavRigidWorld* CreateWorld(const int32_t*, int32_t, const float*);
    friend void DestroyWorld(tavRigidWorld*);
    friend class tavRigidBody;
    friend class tavFixedBody;
    tavRigidWorld(const int32_t* capacity, const tavVec3& gravity);
    ~tavRigidWorld();

    // The steps of Advance (tavRigidWorld_step.cpp).
    void CollectAwake();
    void FindPairs(float seconds);
    void FindContacts(float seconds);
    void FindBodyContacts(uint32_t body, float seconds);
    void WakeTouched(float seconds);
    void Solve(float seconds, int32_t subSteps);
    void UpdateSleep(float seconds);

    int32_t capacity[CapacitySize];
    tavVec3 gravity;
    double time;
    uint32_t pairCount;
    uint32_t kindCount[2];
    bool pairsFull;
    tavRigidReportFunction reportFunction;
    void* reportUser;
    std::vector<std::unique_ptr<tavRigidBody>> bodies;
    std::vector<std::unique_ptr<tavFixedBody>> fixedBodies;
    std::unique_ptr<tavRigidWorldLocal> local;
};

// A world for the capacity record (null: DefaultCapacity) and gravity (null:
// none); `reserved` must be 0. Null for a record with a negative count.
tavRigidWorld* CreateWorld(const int32_t* capacity, int32_t reserved, const float* gravity);
// Releases the world and everything in it; null is ignored.
void DestroyWorld(tavRigidWorld* world);
