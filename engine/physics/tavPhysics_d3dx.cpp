// The wrapper's Windows side: D3DX meshes and matrices, and reports to the
// debugger output.

#include "tavPhysics.h"

#include "graphics/tavDynamicMesh.h"
#include "graphics/tavMeshModel.h"

#include <d3dx9.h>

void tavPhysics::ReportText(const char* text, void*) { OutputDebugStringA(text); }

bool tavPhysics::ConvertMesh(ID3DXMesh* mesh, tavTriangleMesh* record)
{
    if (!mesh || !record)
    {
        ReportText("tavPhysics::ConvertMesh: no mesh or no record.\n", nullptr);
        return false;
    }
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    void* indices = nullptr;
    void* vertices = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices)))
        indices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)))
        vertices = nullptr;
    bool done = false;
    if (indices && vertices)
        done = ConvertMesh(vertices, mesh->GetNumBytesPerVertex(), mesh->GetNumVertices(), indices,
                           wide, mesh->GetNumFaces(), record);
    else
        ReportText("tavPhysics::ConvertMesh: the mesh's buffers could not be locked.\n", nullptr);
    if (indices)
        mesh->UnlockIndexBuffer();
    if (vertices)
        mesh->UnlockVertexBuffer();
    return done;
}

bool tavPhysics::ConvertMesh(tavMeshModel* model, tavTriangleMesh* record)
{
    return ConvertMesh(model ? model->GetMesh() : nullptr, record);
}

bool tavPhysics::ConvertDynamicMesh(tavDynamicMesh* mesh, tavTriangleMesh* record)
{
    if (!mesh || !record || mesh->GetFileVersion() == 0)
    {
        ReportText("tavPhysics::ConvertDynamicMesh: no mesh or no record.\n", nullptr);
        return false;
    }
    const uint16_t* indices = mesh->LockIndexBuffer(D3DLOCK_READONLY);
    const tavMeshVertex* vertices = mesh->LockVertexBuffer(D3DLOCK_READONLY);
    bool done = false;
    if (indices && vertices)
        done = ConvertMesh(vertices, sizeof(tavMeshVertex), mesh->GetNumVerts(), indices, false,
                           mesh->GetNumIndices() / 3, record);
    else
        ReportText("tavPhysics::ConvertDynamicMesh: the mesh's buffers could not be locked.\n",
                   nullptr);
    if (indices)
        mesh->UnlockIndexBuffer();
    if (vertices)
        mesh->UnlockVertexBuffer();
    return done;
}

void tavPhysics::GetTransform(uint32_t handle, D3DXMATRIX* matrix, bool dynamic) const
{
    if (matrix)
        GetTransform(handle, &matrix->_11, dynamic);
}
