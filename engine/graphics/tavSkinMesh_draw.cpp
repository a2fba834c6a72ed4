// Drawing a skinned mesh: each container by its skinning method, with the
// bones' matrices of the current pose.
#include "graphics/tavSkinMesh.h"

#include "core/TAV.h"

#include <climits>
#include <cstring>
#include <vector>

uint32_t tavSkinMesh::Draw()
{
    uint32_t faces = 0;
    if (engine->GetDevice())
        DrawFrame(rootFrame, faces);
    return faces;
}

void tavSkinMesh::DrawFrame(D3DXFRAME* frame, uint32_t& faces)
{
    for (; frame; frame = frame->pFrameSibling) {
        for (D3DXMESHCONTAINER* m = frame->pMeshContainer; m; m = m->pNextMeshContainer)
            DrawContainer(static_cast<tavMeshContainer*>(m), faces);
        DrawFrame(frame->pFrameFirstChild, faces);
    }
}

void tavSkinMesh::DrawContainer(tavMeshContainer* c, uint32_t& faces)
{
    if (!c->pSkinInfo) {
        DrawSubsets(c, c->MeshData.pMesh, faces);
        return;
    }
    if (c->ownSkinning || skinningMethod == Software) {
        if (SkinOnProcessor(c))
            DrawSubsets(c, c->MeshData.pMesh, faces);
    } else if (skinningMethod == NonIndexedBlending) {
        DrawBlended(c, faces);
    } else if (skinningMethod == IndexedBlending) {
        DrawIndexed(c, faces);
    } else {
        // The shader methods' converted mesh is for a skinning shader the
        // engine does not ship: the pose is drawn from the processor's
        // skinning of the source mesh instead.
        LogOnce(loggedSoftwareDraw,
                "tavSkinMesh: vertex-shader skinning draws the pose skinned on the processor");
        IDirect3DDevice9* device = engine->GetDevice();
        if (!c->skinnedMesh &&
            FAILED(c->sourceMesh->CloneMeshFVF(D3DXMESH_MANAGED, c->sourceMesh->GetFVF(), device,
                                               &c->skinnedMesh)))
            return;
        if (SUCCEEDED(SetUpOwnSkinning(c))) {
            ID3DXMesh* converted = c->MeshData.pMesh;
            c->MeshData.pMesh = c->skinnedMesh;
            if (SkinOnProcessor(c))
                DrawSubsets(c, c->skinnedMesh, faces);
            c->MeshData.pMesh = converted;
        }
    }
}

void tavSkinMesh::DrawSubsets(tavMeshContainer* c, ID3DXMesh* mesh, uint32_t& faces)
{
    if (!mesh)
        return;
    IDirect3DDevice9* device = engine->GetDevice();
    device->SetFVF(mesh->GetFVF());
    for (DWORD i = 0; i < c->NumMaterials; ++i) {
        device->SetMaterial(&c->materials[i].material);
        engine->SetTexture(c->materials[i].textures[0], 0);
        mesh->DrawSubset(i);
    }
    faces += mesh->GetNumFaces();
}

// Writes this pose's skinned vertices into the container's mesh: through
// the platform's UpdateSkinnedMesh for the software method, or the engine's
// own skinning where that call is missing or the conversion fell back.
bool tavSkinMesh::SkinOnProcessor(tavMeshContainer* c)
{
    const DWORD bones = c->pSkinInfo->GetNumBones();
    std::vector<D3DXMATRIX> skin(bones);
    std::vector<tavMatrix4> combined(bones);
    for (DWORD b = 0; b < bones; ++b) {
        if (!c->boneMatrices[b])
            return false;
        D3DXMatrixMultiply(&skin[b], &c->boneOffsets[b], c->boneMatrices[b]);
        std::memcpy(combined[b].m, c->boneMatrices[b], sizeof(D3DXMATRIX));
    }
    void* source = nullptr;
    void* target = nullptr;
    if (FAILED(c->sourceMesh->LockVertexBuffer(D3DLOCK_READONLY, &source)))
        return false;
    if (FAILED(c->MeshData.pMesh->LockVertexBuffer(0, &target))) {
        c->sourceMesh->UnlockVertexBuffer();
        return false;
    }
    bool own = c->ownSkinning || skinningMethod != Software;
    if (!own) {
        const HRESULT hr = c->pSkinInfo->UpdateSkinnedMesh(skin.data(), nullptr, source, target);
        if (hr == E_NOTIMPL) {
            LogOnce(loggedOwnSkinning, "tavSkinMesh: UpdateSkinnedMesh is not available; the "
                                       "mesh is skinned on the processor by the engine");
            c->ownSkinning = own = true;
        }
    }
    if (own && c->softwareSkin)
        c->softwareSkin->Apply(source, target, c->sourceMesh->GetNumBytesPerVertex(),
                               (c->sourceMesh->GetFVF() & D3DFVF_NORMAL) ? 12 : -1,
                               combined.data());
    c->MeshData.pMesh->UnlockVertexBuffer();
    c->sourceMesh->UnlockVertexBuffer();
    return true;
}

// Non-indexed blending: per attribute group, its bones as the world
// matrices the device blends between.
void tavSkinMesh::DrawBlended(tavMeshContainer* c, uint32_t& faces)
{
    IDirect3DDevice9* device = engine->GetDevice();
    D3DXMATRIX world;
    device->GetTransform(D3DTS_WORLD, &world);
    const D3DXBONECOMBINATION* groups =
        static_cast<const D3DXBONECOMBINATION*>(c->boneCombinations->GetBufferPointer());
    device->SetFVF(c->MeshData.pMesh->GetFVF());
    for (DWORD g = 0; g < c->attributeGroups; ++g) {
        const bool software = g >= c->firstSoftwareGroup;
        if (software)
            device->SetSoftwareVertexProcessing(TRUE);
        DWORD blend = 0;
        for (DWORD i = 0; i < c->influences; ++i) {
            const DWORD bone = groups[g].BoneId[i];
            if (bone == UINT_MAX)
                continue;
            blend = i;
            D3DXMATRIX m;
            D3DXMatrixMultiply(&m, &c->boneOffsets[bone], c->boneMatrices[bone]);
            D3DXMatrixMultiply(&m, &m, &world);
            device->SetTransform(D3DTS_WORLDMATRIX(i), &m);
        }
        device->SetRenderState(D3DRS_VERTEXBLEND, blend);
        const tavMaterial& material = c->materials[groups[g].AttribId];
        device->SetMaterial(&material.material);
        engine->SetTexture(material.textures[0], 0);
        c->MeshData.pMesh->DrawSubset(g);
        if (software)
            device->SetSoftwareVertexProcessing(FALSE);
    }
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->SetTransform(D3DTS_WORLD, &world);
    faces += c->MeshData.pMesh->GetNumFaces();
}

// Indexed blending: per attribute group, its palette of bone matrices.
void tavSkinMesh::DrawIndexed(tavMeshContainer* c, uint32_t& faces)
{
    IDirect3DDevice9* device = engine->GetDevice();
    D3DXMATRIX world;
    device->GetTransform(D3DTS_WORLD, &world);
    if (c->softwareProcessing)
        device->SetSoftwareVertexProcessing(TRUE);
    // One influence blends nothing but still picks its palette entry.
    device->SetRenderState(D3DRS_VERTEXBLEND,
                           c->influences > 1 ? c->influences - 1 : DWORD(D3DVBF_0WEIGHTS));
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, TRUE);
    device->SetFVF(c->MeshData.pMesh->GetFVF());
    const D3DXBONECOMBINATION* groups =
        static_cast<const D3DXBONECOMBINATION*>(c->boneCombinations->GetBufferPointer());
    for (DWORD g = 0; g < c->attributeGroups; ++g) {
        for (DWORD i = 0; i < c->paletteEntries; ++i) {
            const DWORD bone = groups[g].BoneId[i];
            if (bone == UINT_MAX)
                continue;
            D3DXMATRIX m;
            D3DXMatrixMultiply(&m, &c->boneOffsets[bone], c->boneMatrices[bone]);
            D3DXMatrixMultiply(&m, &m, &world);
            device->SetTransform(D3DTS_WORLDMATRIX(i), &m);
        }
        const tavMaterial& material = c->materials[groups[g].AttribId];
        device->SetMaterial(&material.material);
        engine->SetTexture(material.textures[0], 0);
        c->MeshData.pMesh->DrawSubset(g);
    }
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    if (c->softwareProcessing)
        device->SetSoftwareVertexProcessing(FALSE);
    device->SetTransform(D3DTS_WORLD, &world);
    faces += c->MeshData.pMesh->GetNumFaces();
}
