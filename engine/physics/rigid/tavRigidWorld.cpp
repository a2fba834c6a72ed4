#include "tavRigidWorld.h"

#include "tavRigidLocal.h"

#include <cstdarg>
#include <cstdio>

const int32_t tavRigidWorld::DefaultCapacity[tavRigidWorld::CapacitySize] = {
    50, 50, 50, 50, 1225, 50, 100, 100, 2000, 100, 200, -1};

namespace
{
void ReportToStderr(const char* text, void*) { std::fputs(text, stderr); }
} // namespace

tavRigidWorld* CreateWorld(const int32_t* capacity, int32_t reserved, const float* gravity)
{
    const int32_t* record = capacity ? capacity : tavRigidWorld::DefaultCapacity;
    if (reserved != 0)
        return nullptr;
    for (int i : {0, 1, 2, 4, 5})
        if (record[i] < 0)
            return nullptr;
    tavVec3 g;
    if (gravity)
    {
        g = tavVec3::From(gravity);
        if (!IsFinite(g))
            return nullptr;
    }
    return new (std::nothrow) tavRigidWorld(record, g);
}

void DestroyWorld(tavRigidWorld* world) { delete world; }

tavRigidWorld::tavRigidWorld(const int32_t* record, const tavVec3& g)
    : gravity(g), time(0), pairCount(0), kindCount{0, 0}, pairsFull(false),
      reportFunction(ReportToStderr), reportUser(nullptr), local(new tavRigidWorldLocal)
{
    for (int i = 0; i < CapacitySize; ++i)
        capacity[i] = record[i];
}

tavRigidWorld::~tavRigidWorld() = default;

int32_t tavRigidWorld::GetCapacity(int index) const
{
    return index >= 0 && index < CapacitySize ? capacity[index] : 0;
}

tavRigidBody* tavRigidWorld::GetBody(uint32_t index) const
{
    return index < bodies.size() ? bodies[index].get() : nullptr;
}

uint32_t tavRigidWorld::GetContactCount() const { return (uint32_t)local->manifolds.size(); }

void tavRigidWorld::SetReportFunction(tavRigidReportFunction function, void* user)
{
    reportFunction = function ? function : ReportToStderr;
    reportUser = function ? user : nullptr;
}

void tavRigidWorld::Report(const char* format, ...) const
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    reportFunction(text, reportUser);
}

bool tavRigidWorld::SetMaterial(int32_t id, float friction, float restitution, uint32_t flags)
{
    if (id < 0 || id > 255)
        return false;
    if (!(std::isfinite(friction) && friction >= 0 && std::isfinite(restitution) &&
          restitution >= 0))
    {
        Report("Material %d: refused friction %g and restitution %g (each must be finite and "
               "not negative).\n",
               id, friction, restitution);
        return false;
    }
    local->materials[id].friction = friction;
    local->materials[id].restitution = restitution;
    local->materials[id].flags = flags;
    return true;
}

int32_t tavRigidWorld::AddStaticMesh(const tavTriangleMesh* mesh)
{
    if (!mesh)
    {
        Report("AddStaticMesh: no mesh record given.\n");
        return -1;
    }
    std::unique_ptr<tavMeshCollider> collider(new tavMeshCollider);
    tavMeshCollider::Stats stats;
    const bool built = collider->Build(*mesh, stats);
    if (stats.badIndex || stats.notFinite || stats.degenerate)
        Report("AddStaticMesh: skipped %d of %d triangles (%d with an index out of range, %d "
               "with a position that is not finite, %d without area).\n",
               stats.badIndex + stats.notFinite + stats.degenerate, mesh->triangleCount,
               stats.badIndex, stats.notFinite, stats.degenerate);
    if (!built)
    {
        Report("AddStaticMesh: the mesh (%d vertices, %d triangles) has nothing to collide "
               "with.\n",
               mesh->vertexCount, mesh->triangleCount);
        return -1;
    }
    local->meshes.push_back(std::move(collider));
    WakeAll();
    return (int32_t)local->meshes.size() - 1;
}

tavRigidBody* tavRigidWorld::CreateBody(int32_t kind)
{
    if (kind != 0 && kind != 1)
        return nullptr;
    const int32_t room = capacity[kind == 0 ? 0 : 2];
    if ((int64_t)kindCount[kind] >= room ||
        (int64_t)(bodies.size() + fixedBodies.size()) >= capacity[5])
        return nullptr;
    bodies.emplace_back(new tavRigidBody(this, kind, (uint32_t)bodies.size()));
    ++kindCount[kind];
    return bodies.back().get();
}

tavFixedBody* tavRigidWorld::CreateFixedBody()
{
    if ((int64_t)fixedBodies.size() >= capacity[1] ||
        (int64_t)(bodies.size() + fixedBodies.size()) >= capacity[5])
        return nullptr;
    fixedBodies.emplace_back(new tavFixedBody(this, (uint32_t)fixedBodies.size()));
    return fixedBodies.back().get();
}

void tavRigidWorld::WakeAll()
{
    for (auto& b : bodies)
        b->Wake();
}
