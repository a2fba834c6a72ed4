#pragma once
// Small helpers shared by the physics tests: a world with a mesh, running
// it, and catching its reports.

#include "physics/rigid/tavRigidWorld.h"
#include "tavTestMesh.h"

#include <memory>
#include <string>

struct tavWorldDeleter
{
    void operator()(tavRigidWorld* w) const { DestroyWorld(w); }
};
using tavWorldPtr = std::unique_ptr<tavRigidWorld, tavWorldDeleter>;

// Collects every report of a world.
struct tavReportCatcher
{
    std::string text;
    int count = 0;
    static void Catch(const char* t, void* user)
    {
        tavReportCatcher* c = (tavReportCatcher*)user;
        c->text += t;
        ++c->count;
    }
    void Attach(tavRigidWorld& w) { w.SetReportFunction(Catch, this); }
};

// Room for 100 bodies of each kind unless a record is given.
inline tavWorldPtr MakeWorld(float gravity = -100.0f, const int32_t* capacity = nullptr)
{
    static const int32_t roomy[12] = {100, 100, 100, 50, 20000, 300, 0, 100, 2000, 100, 20, 5};
    const float g[3] = {0, gravity, 0};
    return tavWorldPtr(CreateWorld(capacity ? capacity : roomy, 0, g));
}

inline int32_t AddMesh(tavRigidWorld& w, const tavTestMesh& m)
{
    tavTriangleMesh r = m.Record();
    const int32_t id = w.AddStaticMesh(&r);
    r.Release();
    return id;
}

// A flat floor at y = 0 cut into 20 x 20 quads over [-size, size].
inline tavTestMesh Floor(float size = 1000.0f, int cuts = 20)
{
    tavTestMesh m;
    m.AddGrid(tavVec3(-size, 0, -size), tavVec3(0, 0, 2 * size), tavVec3(2 * size, 0, 0), cuts,
              cuts);
    return m;
}

// Gives a body whose shape is set its mass, inertia and place.
inline tavRigidBody* Place(tavRigidBody* b, const tavVec3& at, float mass, const tavVec3& inertia)
{
    b->UpdateShape();
    const float moments[3] = {inertia.x, inertia.y, inertia.z};
    b->SetInertia(moments);
    b->SetMass(mass);
    const float p[3] = {at.x, at.y, at.z};
    b->SetPosition(p);
    return b;
}

inline tavRigidBody* AddBall(tavRigidWorld& w, const tavVec3& at, float diameter = 20.0f,
                             float mass = 1.0f, int kind = 1)
{
    tavRigidBody* b = w.CreateBody(kind);
    b->GetShape()->SetSphere(diameter);
    return Place(b, at, mass, tavRigidBody::SphereInertia(diameter, mass));
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
    b.GetPosition(p);
    return tavVec3::From(p);
}

inline tavVec3 VelocityOf(const tavRigidBody& b)
{
    float v[3];
    b.GetLinearVelocity(v);
    return tavVec3::From(v);
}
