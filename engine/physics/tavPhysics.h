#pragma once
// The engine's owner of one rigid-body world: creates it from body counts
// and gravity, turns meshes into static collision geometry, adds bodies of
// simple shapes under small integer handles, steps the world with a clamped
// time step and reads body transforms back for drawing. A scene holds one by
// value; destruction destroys the world.
//
// Handles are positions in the two body lists (dynamic, fixed); they are
// never reused or removed. Bad arguments (null pointers, sizes or masses that
// are not positive, values that are not finite) are refused with a report
// and a -1 / false / null result; the world keeps running.

#include "physics/rigid/tavRigidWorld.h"

#include <cstdint>
#include <vector>

struct ID3DXMesh;
struct D3DXMATRIX;
class tavMeshModel;
class tavDynamicMesh;

class tavPhysics
{
public:
    // The longest step the world is ever advanced by, in seconds.
    static constexpr float MaxStep = 0.02222f;
    // Sub-steps per Advance.
    static const int32_t StepCount = 10;

    tavPhysics();
    // Release.
    virtual ~tavPhysics();
    // Destroys the world with everything in it and forgets every handle;
    // Create may then make a new one. For owners whose destructor never
    // runs (scenes). Safe without a world and twice.
    void Release();
    // Reserved for subclasses that want to hear about contacts; the world
    // does not call it.
    virtual void OnContact(tavRigidBody* /*a*/, tavRigidBody* /*b*/, const float* /*point*/,
                           const float* /*normal*/)
    {
    }

    tavPhysics(const tavPhysics&) = delete;
    tavPhysics& operator=(const tavPhysics&) = delete;

    // Makes the world with room for countB bodies of kind 0, countC of kind 1
    // and countA fixed bodies, a pair capacity of n(n-1)/2 and n bodies in all
    // (n = countA + countB + countC), and the given gravity (3 floats).
    // False when a world exists already or could not be made.
    bool Create(uint32_t countA, uint32_t countB, uint32_t countC, const float* gravity);
    // The world, for direct library calls (materials); null before Create.
    tavRigidWorld* GetWorld() const { return world; }

    // ---- Static geometry ----
    // Fills `record` from plain triangle data: `vertexCount` positions, each
    // three floats at the start of a `vertexStride`-byte vertex, and
    // `triangleCount` triangles of 16-bit (or, with wideIndices, 32-bit)
    // indices. The arrays are allocated with tavTriangleMesh::Allocate and
    // belong to the caller (tavTriangleMesh::Release frees them).
    static bool ConvertMesh(const void* vertices, uint32_t vertexStride, uint32_t vertexCount,
                            const void* indices, bool wideIndices, uint32_t triangleCount,
                            tavTriangleMesh* record);
    // The same from a D3DX mesh, read through its own lock operations
    // (Windows only).
    static bool ConvertMesh(ID3DXMesh* mesh, tavTriangleMesh* record);
    // The same from the engine's static mesh; false for an empty model.
    static bool ConvertMesh(tavMeshModel* model, tavTriangleMesh* record);
    // The same from the engine's dynamic mesh: every index of its index
    // buffer, three to a triangle, over all of its vertices, read through
    // its own lock operations (the bones' poses do not move them). False
    // for an empty mesh (Windows only).
    static bool ConvertDynamicMesh(tavDynamicMesh* mesh, tavTriangleMesh* record);
    // Adds the record's triangles to the world as static geometry: the
    // library's mesh number, or -1.
    int32_t AddStaticMesh(const tavTriangleMesh* record);

    // ---- Stepping ----
    // Advances the world by `seconds`, clamped first to 0.8 .. 1.2 times the
    // last step (when there was one), then to at most MaxStep, in StepCount
    // sub-steps. A step that comes out not positive or not finite is refused:
    // nothing moves, the last step is kept and the result is false.
    bool Step(float seconds, uint32_t flags);
    // The step used by the last successful Step (0 before the first).
    float GetLastStep() const { return lastStep; }

    // ---- Bodies ----
    // A dynamic sphere (kindFlag: a body of kind 1, else kind 0); its handle
    // or -1.
    int32_t AddSphere(const float* position, float diameter, float mass, float angularDamping,
                      float linearDamping, bool kindFlag);
    // A dynamic box of full sizes width (x), height (y) and depth (z).
    int32_t AddBox(const float* position, float width, float height, float depth, float mass,
                   float angularDamping, float linearDamping, bool kindFlag);
    // A dynamic cylinder standing along y.
    int32_t AddCylinder(const float* position, float diameter, float height, float mass,
                        float angularDamping, float linearDamping, bool kindFlag);
    // Fixed bodies; `orientation` (a quaternion, may be null for none) poses them.
    int32_t AddFixedSphere(const float* position, float diameter);
    int32_t AddFixedBox(const float* position, float width, float height, float depth,
                        const float* orientation);
    int32_t AddFixedCylinder(const float* position, float diameter, float height,
                             const float* orientation);
    // Appends a body made directly through the library: its handle, or -1 for null.
    int32_t AddBody(tavRigidBody* body);
    int32_t AddFixedBody(tavFixedBody* body);

    // Null for a handle that names no dynamic body.
    tavRigidBody* GetBody(uint32_t handle) const;
    tavFixedBody* GetFixedBody(uint32_t handle) const;
    uint32_t GetBodyCount() const { return (uint32_t)bodies.size(); }
    uint32_t GetFixedBodyCount() const { return (uint32_t)fixedBodies.size(); }
    // The body's row-vector 4x4 transform (16 floats, position in the last
    // row); `dynamic` picks the list. A bad handle leaves `matrix` untouched.
    void GetTransform(uint32_t handle, float* matrix, bool dynamic) const;
    // The same into a D3DX matrix (Windows only).
    void GetTransform(uint32_t handle, D3DXMATRIX* matrix, bool dynamic) const;

    // Where the world's reports go: the debugger output on Windows, stderr
    // elsewhere.
    static void ReportText(const char* text, void* user);

private:
    int32_t Refuse(const char* what) const;
    bool CheckBody(const float* position, float mass, const char* what) const;
    int32_t FinishBody(tavRigidBody* body, const float* position, const tavVec3& inertia,
                       float mass, float angularDamping, float linearDamping);
    int32_t FinishFixed(tavFixedBody* body, const float* position, const float* orientation);

    tavRigidWorld* world;
    float lastStep;
    std::vector<tavRigidBody*> bodies;
    std::vector<tavFixedBody*> fixedBodies;
};
