#include "tavPhysics.h"

#include <cmath>
#include <cstring>

namespace
{
bool Finite3(const float* v)
{
    return v && std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

bool Positive(float v) { return std::isfinite(v) && v > 0.0f; }

int32_t Clamp32(uint64_t v) { return v > INT32_MAX ? INT32_MAX : (int32_t)v; }
} // namespace

tavPhysics::tavPhysics() : world(nullptr), lastStep(0) {}

tavPhysics::~tavPhysics() { Release(); }

void tavPhysics::Release()
{
    if (world)
        DestroyWorld(world);
    world = nullptr;
    lastStep = 0;
    // Swapped, not cleared: the memory goes too.
    std::vector<tavRigidBody*>().swap(bodies);
    std::vector<tavFixedBody*>().swap(fixedBodies);
}

bool tavPhysics::Create(uint32_t countA, uint32_t countB, uint32_t countC, const float* gravity)
{
    if (world)
        return false;
    const uint64_t n = (uint64_t)countA + countB + countC;
    const int32_t capacity[tavRigidWorld::CapacitySize] = {
        Clamp32(countB), Clamp32(countA), Clamp32(countC), 50, Clamp32(n * (n - (n > 0)) / 2),
        Clamp32(n),      0,               100,             2000, 100, 20, 5};
    world = CreateWorld(capacity, 0, gravity);
    if (world)
        world->SetReportFunction(ReportText, nullptr);
    return world != nullptr;
}

int32_t tavPhysics::Refuse(const char* what) const
{
    if (world)
        world->Report("tavPhysics: %s\n", what);
    else
        ReportText("tavPhysics: no world (Create was not called or failed).\n", nullptr);
    return -1;
}

bool tavPhysics::ConvertMesh(const void* vertices, uint32_t vertexStride, uint32_t vertexCount,
                             const void* indices, bool wideIndices, uint32_t triangleCount,
                             tavTriangleMesh* record)
{
    if (!record || (vertexCount && (!vertices || vertexStride < 12)) ||
        (triangleCount && !indices) || vertexCount > INT32_MAX || triangleCount > INT32_MAX)
    {
        ReportText("tavPhysics::ConvertMesh: missing or impossible mesh data.\n", nullptr);
        return false;
    }
    if (!record->Allocate((int32_t)vertexCount, (int32_t)triangleCount))
    {
        ReportText("tavPhysics::ConvertMesh: out of memory.\n", nullptr);
        return false;
    }
    for (uint32_t t = 0; t < triangleCount; ++t)
    {
        tavTriangleMesh::Triangle& tri = record->triangles[t];
        for (int i = 0; i < 3; ++i)
            tri.index[i] = wideIndices ? ((const uint32_t*)indices)[t * 3 + i]
                                       : ((const uint16_t*)indices)[t * 3 + i];
        tri.material = 0;
        tri.reserved[0] = 0;
    }
    const unsigned char* v = (const unsigned char*)vertices;
    for (uint32_t i = 0; i < vertexCount; ++i)
        std::memcpy(&record->vertices[i], v + (size_t)i * vertexStride, 3 * sizeof(float));
    return true;
}

int32_t tavPhysics::AddStaticMesh(const tavTriangleMesh* record)
{
    if (!world)
        return Refuse("AddStaticMesh without a world.");
    return world->AddStaticMesh(record);
}

bool tavPhysics::Step(float seconds, uint32_t flags)
{
    if (lastStep != 0)
    {
        if (seconds < 0.8f * lastStep)
            seconds = 0.8f * lastStep;
        if (seconds > 1.2f * lastStep)
            seconds = 1.2f * lastStep;
    }
    if (seconds > MaxStep)
        seconds = MaxStep;
    if (!world || !(std::isfinite(seconds) && seconds > 0))
    {
        Refuse(world ? "Step refused a step that is not positive and finite."
                     : "Step without a world.");
        return false;
    }
    world->Advance(seconds, StepCount, flags);
    lastStep = seconds;
    return true;
}

bool tavPhysics::CheckBody(const float* position, float mass, const char* what) const
{
    if (!world)
        return Refuse("adding a body without a world.") >= 0;
    if (!Finite3(position) || !Positive(mass))
    {
        world->Report("tavPhysics: refused a %s (position missing or not finite, or a mass that "
                      "is not positive).\n",
                      what);
        return false;
    }
    return true;
}

int32_t tavPhysics::FinishBody(tavRigidBody* body, const float* position, const tavVec3& inertia,
                               float mass, float angularDamping, float linearDamping)
{
    const float moments[3] = {inertia.x, inertia.y, inertia.z};
    body->SetInertia(moments);
    body->SetMass(mass);
    body->SetPosition(position);
    body->SetAngularDamping(angularDamping);
    body->SetLinearDamping(linearDamping);
    return AddBody(body);
}

int32_t tavPhysics::AddSphere(const float* position, float diameter, float mass,
                              float angularDamping, float linearDamping, bool kindFlag)
{
    if (!CheckBody(position, mass, "sphere"))
        return -1;
    if (!Positive(diameter))
        return Refuse("refused a sphere whose diameter is not positive.");
    tavRigidBody* body = world->CreateBody(kindFlag ? 1 : 0);
    if (!body)
        return Refuse("the world has no room for another sphere.");
    body->GetShape()->SetSphere(diameter);
    body->UpdateShape();
    return FinishBody(body, position, tavRigidBody::SphereInertia(diameter, mass), mass,
                      angularDamping, linearDamping);
}

int32_t tavPhysics::AddBox(const float* position, float width, float height, float depth,
                           float mass, float angularDamping, float linearDamping, bool kindFlag)
{
    if (!CheckBody(position, mass, "box"))
        return -1;
    if (!Positive(width) || !Positive(height) || !Positive(depth))
        return Refuse("refused a box whose sizes are not positive.");
    tavRigidBody* body = world->CreateBody(kindFlag ? 1 : 0);
    if (!body)
        return Refuse("the world has no room for another box.");
    body->GetShape()->SetBox(width * 0.5f, height * 0.5f, depth * 0.5f);
    body->UpdateShape();
    return FinishBody(body, position,
                      tavRigidBody::BoxInertia(width * 0.5f, height * 0.5f, depth * 0.5f, mass),
                      mass, angularDamping, linearDamping);
}

int32_t tavPhysics::AddCylinder(const float* position, float diameter, float height, float mass,
                                float angularDamping, float linearDamping, bool kindFlag)
{
    if (!CheckBody(position, mass, "cylinder"))
        return -1;
    if (!Positive(diameter) || !Positive(height))
        return Refuse("refused a cylinder whose sizes are not positive.");
    tavRigidBody* body = world->CreateBody(kindFlag ? 1 : 0);
    if (!body)
        return Refuse("the world has no room for another cylinder.");
    body->GetShape()->SetCylinder(diameter, height);
    body->UpdateShape();
    return FinishBody(body, position, tavRigidBody::CylinderInertia(diameter, height, mass), mass,
                      angularDamping, linearDamping);
}

int32_t tavPhysics::FinishFixed(tavFixedBody* body, const float* position,
                                const float* orientation)
{
    body->UpdateShape();
    body->SetPosition(position);
    if (orientation)
        body->SetOrientation(orientation);
    return AddFixedBody(body);
}

int32_t tavPhysics::AddFixedSphere(const float* position, float diameter)
{
    if (!CheckBody(position, 1.0f, "fixed sphere"))
        return -1;
    if (!Positive(diameter))
        return Refuse("refused a fixed sphere whose diameter is not positive.");
    tavFixedBody* body = world->CreateFixedBody();
    if (!body)
        return Refuse("the world has no room for another fixed body.");
    body->GetShape()->SetSphere(diameter);
    return FinishFixed(body, position, nullptr);
}

int32_t tavPhysics::AddFixedBox(const float* position, float width, float height, float depth,
                                const float* orientation)
{
    if (!CheckBody(position, 1.0f, "fixed box"))
        return -1;
    if (!Positive(width) || !Positive(height) || !Positive(depth))
        return Refuse("refused a fixed box whose sizes are not positive.");
    tavFixedBody* body = world->CreateFixedBody();
    if (!body)
        return Refuse("the world has no room for another fixed body.");
    body->GetShape()->SetBox(width * 0.5f, height * 0.5f, depth * 0.5f);
    return FinishFixed(body, position, orientation);
}

int32_t tavPhysics::AddFixedCylinder(const float* position, float diameter, float height,
                                     const float* orientation)
{
    if (!CheckBody(position, 1.0f, "fixed cylinder"))
        return -1;
    if (!Positive(diameter) || !Positive(height))
        return Refuse("refused a fixed cylinder whose sizes are not positive.");
    tavFixedBody* body = world->CreateFixedBody();
    if (!body)
        return Refuse("the world has no room for another fixed body.");
    body->GetShape()->SetCylinder(diameter, height);
    return FinishFixed(body, position, orientation);
}

int32_t tavPhysics::AddBody(tavRigidBody* body)
{
    if (!body)
        return -1;
    bodies.push_back(body);
    return (int32_t)bodies.size() - 1;
}

int32_t tavPhysics::AddFixedBody(tavFixedBody* body)
{
    if (!body)
        return -1;
    fixedBodies.push_back(body);
    return (int32_t)fixedBodies.size() - 1;
}

tavRigidBody* tavPhysics::GetBody(uint32_t handle) const
{
    return handle < bodies.size() ? bodies[handle] : nullptr;
}

tavFixedBody* tavPhysics::GetFixedBody(uint32_t handle) const
{
    return handle < fixedBodies.size() ? fixedBodies[handle] : nullptr;
}

void tavPhysics::GetTransform(uint32_t handle, float* matrix, bool dynamic) const
{
    if (!matrix)
        return;
    if (dynamic)
    {
        if (handle < bodies.size())
            bodies[handle]->GetTransform(matrix);
    }
    else if (handle < fixedBodies.size())
        fixedBodies[handle]->GetTransform(matrix);
}
