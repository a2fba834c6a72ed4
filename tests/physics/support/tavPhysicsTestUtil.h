#pragma once
// Helpers of the physics tests: a world, a floor, bodies, steps, reports.
#include "physics/rigid/tavRigidWorld.h"
#include "tavTestMesh.h"

#include <limits>
#include <memory>
#include <string>

const float NaN = std::numeric_limits<float>::quiet_NaN(), Gravity[3] = {0, -100, 0};

using tavWorldPtr = std::unique_ptr<tavRigidWorld, void (*)(tavRigidWorld*)>;

struct tavReportCatcher
{
    std::string text;
    int count = 0;
    static void Catch(const char* t, void* user) { ((tavReportCatcher*)user)->Add(t); }
    void Add(const char* t) { text += t, ++count; }
    void Attach(tavRigidWorld& w) { w.SetReportFunction(Catch, this); }
};

// Room for 100 bodies of each kind unless a record is given.
inline tavWorldPtr MakeWorld(float gravity = -100.0f, const int32_t* capacity = nullptr)
{
    static const int32_t roomy[12] = {100, 100, 100, 50, 20000, 300, 0, 100, 2000, 100, 20, 5};
    const float g[3] = {0, gravity, 0};
    return tavWorldPtr(CreateWorld(capacity ? capacity : roomy, 0, g), DestroyWorld);
}

inline void AddMesh(tavRigidWorld& w, const tavTestMesh& m)
{
    tavTriangleMesh r = m.Record();
    w.AddStaticMesh(&r);
    r.Release();
}

// A flat floor at y = 0 over [-size, size], cut into cuts x cuts quads.
inline tavTestMesh Floor(float size = 1000.0f, int cuts = 20)
{
    tavTestMesh m;
    m.AddGrid(tavVec3(-size, 0, -size), tavVec3(0, 0, 2 * size), tavVec3(2 * size, 0, 0), cuts,
              cuts);
    return m;
}

inline tavRigidBody* Place(tavRigidBody* b, const tavVec3& at, float mass, const tavVec3& inertia)
{
    b->UpdateShape();
    b->SetInertia(&inertia.x);
    b->SetMass(mass);
    b->SetPosition(&at.x);
    return b;
}

inline tavRigidBody* AddBall(tavRigidWorld& w, const tavVec3& at, float diameter = 20.0f)
{
    tavRigidBody* b = w.CreateBody(1);
    b->GetShape()->SetSphere(diameter);
    return Place(b, at, 1.0f, tavRigidBody::SphereInertia(diameter, 1.0f));
}

inline tavRigidBody* AddBox(tavRigidWorld& w, const tavVec3& at, const tavVec3& half, float mass)
{
    tavRigidBody* b = w.CreateBody(1);
    b->GetShape()->SetBox(half.x, half.y, half.z);
    return Place(b, at, mass, tavRigidBody::BoxInertia(half.x, half.y, half.z, mass));
}

inline void RunFor(tavRigidWorld& w, float seconds, float step = 1.0f / 60.0f)
{
    for (float t = 0; t < seconds; t += step)
        w.Advance(step, 10, 0);
}

inline tavVec3 PositionOf(const tavRigidBody& b)
{
    float p[3];
    return b.GetPosition(p), tavVec3::From(p);
}

inline tavVec3 VelocityOf(const tavRigidBody& b)
{
    float v[3];
    return b.GetLinearVelocity(v), tavVec3::From(v);
}
