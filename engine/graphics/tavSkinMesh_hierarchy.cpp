// The four callbacks D3DX calls while it builds a skinned mesh's frame
// hierarchy, and the conversion of each skinned container for the chosen
// skinning method.
#include "graphics/tavSkinMesh.h"

#include "core/TAV.h"

#include <cstring>
#include <new>

namespace
{

char* CopyName(const char* name)
{
    if (!name)
        return nullptr;
    const size_t length = std::strlen(name);
    char* copy = new (std::nothrow) char[length + 1];
    if (copy)
        std::memcpy(copy, name, length + 1);
    return copy;
}

template <typename T>
void ReleaseNull(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

// ---- Frames ----

HRESULT tavSkinMesh::tavHierarchy::CreateFrame(const char* name, D3DXFRAME** newFrame)
{
    *newFrame = nullptr;
    tavFrame* frame = new (std::nothrow) tavFrame;
    if (!frame)
        return E_OUTOFMEMORY;
    frame->Name = nullptr;
    frame->pMeshContainer = nullptr;
    frame->pFrameSibling = nullptr;
    frame->pFrameFirstChild = nullptr;
    if (name && !(frame->Name = CopyName(name))) {
        delete frame;
        return E_OUTOFMEMORY;
    }
    D3DXMatrixIdentity(&frame->TransformationMatrix);
    D3DXMatrixIdentity(&frame->combined);
    *newFrame = frame;
    return S_OK;
}

HRESULT tavSkinMesh::tavHierarchy::DestroyFrame(D3DXFRAME* frame)
{
    if (!frame)
        return S_OK;
    delete[] frame->Name;
    delete static_cast<tavFrame*>(frame);
    return S_OK;
}

// ---- Mesh containers ----

HRESULT tavSkinMesh::tavHierarchy::CreateMeshContainer(
    const char* name, const D3DXMESHDATA* meshData, const D3DXMATERIAL* materials,
    const D3DXEFFECTINSTANCE* /*effectInstances*/, DWORD materialCount, const DWORD* adjacency,
    ID3DXSkinInfo* skinInfo, D3DXMESHCONTAINER** newContainer)
{
    *newContainer = nullptr;
    if (!meshData || meshData->Type != D3DXMESHTYPE_MESH || !meshData->pMesh)
        return E_FAIL;
    ID3DXMesh* mesh = meshData->pMesh;

    // Bounds of this mesh: every container overwrites them, the last wins.
    void* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)))
        return E_FAIL;
    D3DXComputeBoundingBox(static_cast<D3DXVECTOR3*>(vertices), mesh->GetNumVertices(), 32,
                           &owner->boundingBox.min, &owner->boundingBox.max);
    mesh->UnlockVertexBuffer();
    const D3DXVECTOR3 centroid = (owner->boundingBox.min + owner->boundingBox.max) * 0.5f;
    const D3DXVECTOR3 half = owner->boundingBox.max - centroid;
    owner->orientedBox = tavOrientedBox();
    for (int i = 0; i < 3; ++i) {
        owner->orientedBox.centroid[i] = centroid[i];
        owner->orientedBox.halfExtents[i] = half[i];
    }

    tavMeshContainer* container = new (std::nothrow) tavMeshContainer;
    if (!container)
        return E_OUTOFMEMORY;
    std::memset(container, 0, sizeof *container);
    container->MeshData.Type = D3DXMESHTYPE_MESH;
    HRESULT hr = S_OK;
    auto fail = [&](HRESULT why) {
        DestroyMeshContainer(container);
        return why;
    };
    if (name && !(container->Name = CopyName(name)))
        return fail(E_OUTOFMEMORY);

    // A mesh without normals gets them.
    if (!(mesh->GetFVF() & D3DFVF_NORMAL)) {
        IDirect3DDevice9* device = nullptr;
        mesh->GetDevice(&device);
        hr = mesh->CloneMeshFVF(mesh->GetOptions(), mesh->GetFVF() | D3DFVF_NORMAL, device,
                                &container->MeshData.pMesh);
        if (device)
            device->Release();
        if (FAILED(hr))
            return fail(hr);
        D3DXComputeNormals(container->MeshData.pMesh, nullptr);
    } else {
        container->MeshData.pMesh = mesh;
        mesh->AddRef();
    }

    container->NumMaterials = materialCount ? materialCount : 1;
    container->materials = new (std::nothrow) tavMaterial[container->NumMaterials];
    const DWORD faces = mesh->GetNumFaces();
    container->pAdjacency = new (std::nothrow) DWORD[faces * 3];
    if (!container->materials || !container->pAdjacency)
        return fail(E_OUTOFMEMORY);
    if (adjacency)
        std::memcpy(container->pAdjacency, adjacency, sizeof(DWORD) * faces * 3);
    else
        std::memset(container->pAdjacency, 0xFF, sizeof(DWORD) * faces * 3);

    if (materialCount == 0) {
        D3DMATERIAL9& m = container->materials[0].material;
        m.Diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
        m.Specular = m.Diffuse;
    } else {
        for (DWORD i = 0; i < materialCount; ++i) {
            tavMaterial& m = container->materials[i];
            m.material = materials[i].MatD3D;
            m.material.Emissive = m.material.Diffuse;
            if (materials[i].pTextureFilename && materials[i].pTextureFilename[0]) {
                const std::string path = owner->textureFolder + materials[i].pTextureFilename;
                m.textures[0] = owner->engine->LoadTexture(path.c_str(), 0, 1);
            }
        }
    }

    if (skinInfo) {
        container->pSkinInfo = skinInfo;
        skinInfo->AddRef();
        container->sourceMesh = mesh;
        mesh->AddRef();
        const DWORD bones = skinInfo->GetNumBones();
        container->boneOffsets = new (std::nothrow) D3DXMATRIX[bones ? bones : 1];
        container->boneMatrices = new (std::nothrow) D3DXMATRIX*[bones ? bones : 1]();
        if (!container->boneOffsets || !container->boneMatrices)
            return fail(E_OUTOFMEMORY);
        for (DWORD b = 0; b < bones; ++b)
            container->boneOffsets[b] = *skinInfo->GetBoneOffsetMatrix(b);
        hr = owner->GenerateSkinnedMesh(container);
        if (FAILED(hr))
            return fail(hr);
    }
    *newContainer = container;
    return S_OK;
}

HRESULT tavSkinMesh::tavHierarchy::DestroyMeshContainer(D3DXMESHCONTAINER* base)
{
    if (!base)
        return S_OK;
    tavMeshContainer* container = static_cast<tavMeshContainer*>(base);
    delete[] container->Name;
    delete[] container->materials;
    delete[] container->pAdjacency;
    delete[] container->boneOffsets;
    delete[] container->boneMatrices;
    _aligned_free(container->drawMatrices);
    delete container->softwareSkin;
    ReleaseNull(container->boneCombinations);
    ReleaseNull(container->MeshData.pMesh);
    ReleaseNull(container->sourceMesh);
    ReleaseNull(container->skinnedMesh);
    ReleaseNull(container->pSkinInfo);
    delete container;
    return S_OK;
}

// ---- Conversion for the skinning method ----

HRESULT tavSkinMesh::GenerateSkinnedMesh(tavMeshContainer* container)
{
    if (!container->pSkinInfo)
        return S_OK;
    ReleaseNull(container->MeshData.pMesh);
    ReleaseNull(container->boneCombinations);
    container->ownSkinning = false;
    switch (skinningMethod) {
    case NonIndexedBlending:
        return ConvertBlended(container);
    case IndexedBlending:
        return ConvertIndexed(container);
    case Software:
        return PrepareSoftware(container);
    case VertexShader:
    case VertexShaderHlsl:
        return ConvertForShader(container);
    default:
        return E_INVALIDARG;
    }
}

HRESULT tavSkinMesh::ConvertBlended(tavMeshContainer* c)
{
    HRESULT hr = c->pSkinInfo->ConvertToBlendedMesh(
        c->sourceMesh, D3DXMESHOPT_VERTEXCACHE | D3DXMESH_MANAGED, c->pAdjacency, nullptr,
        nullptr, nullptr, &c->influences, &c->attributeGroups, &c->boneCombinations,
        &c->MeshData.pMesh);
    if (FAILED(hr))
        return FallBackToOwnSkinning(c, hr, "ConvertToBlendedMesh");

    // The first group that needs more matrices than the device blends goes
    // to software processing, with every group after it.
    const DWORD most = engine->GetCaps().MaxVertexBlendMatrices;
    const D3DXBONECOMBINATION* groups =
        static_cast<const D3DXBONECOMBINATION*>(c->boneCombinations->GetBufferPointer());
    c->firstSoftwareGroup = c->attributeGroups;
    for (DWORD g = 0; g < c->attributeGroups; ++g) {
        DWORD used = 0;
        for (DWORD i = 0; i < c->influences; ++i)
            used += groups[g].BoneId[i] != UINT_MAX;
        if (used > most) {
            c->firstSoftwareGroup = g;
            break;
        }
    }
    if (c->firstSoftwareGroup < c->attributeGroups) {
        IDirect3DDevice9* device = engine->GetDevice();
        ID3DXMesh* clone = nullptr;
        hr = c->MeshData.pMesh->CloneMeshFVF(
            D3DXMESH_SOFTWAREPROCESSING | c->MeshData.pMesh->GetOptions(),
            c->MeshData.pMesh->GetFVF(), device, &clone);
        if (FAILED(hr))
            return hr;
        c->MeshData.pMesh->Release();
        c->MeshData.pMesh = clone;
    }
    return S_OK;
}

HRESULT tavSkinMesh::ConvertIndexed(tavMeshContainer* c)
{
    IDirect3DIndexBuffer9* indices = nullptr;
    HRESULT hr = c->sourceMesh->GetIndexBuffer(&indices);
    if (FAILED(hr))
        return hr;
    DWORD faceInfluences = 0;
    hr = c->pSkinInfo->GetMaxFaceInfluences(indices, c->sourceMesh->GetNumFaces(),
                                            &faceInfluences);
    indices->Release();
    if (FAILED(hr)) {
        // Counted from the skin's own bone influences instead.
        hr = SetUpOwnSkinning(c);
        if (FAILED(hr))
            return hr;
        std::vector<uint32_t> corners;
        WORD* index = nullptr;
        if (SUCCEEDED(c->sourceMesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index))) {
            corners.assign(index, index + c->sourceMesh->GetNumFaces() * 3);
            c->sourceMesh->UnlockIndexBuffer();
        }
        faceInfluences = c->softwareSkin->GetMaxFaceInfluences(corners);
    }
    if (faceInfluences > 12)
        faceInfluences = 12;

    const D3DCAPS9& caps = engine->GetCaps();
    const DWORD bones = c->pSkinInfo->GetNumBones();
    DWORD options = D3DXMESHOPT_VERTEXCACHE;
    if (caps.MaxVertexBlendMatrixIndex + 1 < faceInfluences) {
        c->paletteEntries = bones < 256 ? bones : 256;
        c->softwareProcessing = true;
        options |= D3DXMESH_SYSTEMMEM;
    } else {
        const DWORD half = (caps.MaxVertexBlendMatrixIndex + 1) / 2;
        c->paletteEntries = bones < half ? bones : half;
        c->softwareProcessing = false;
        options |= D3DXMESH_MANAGED;
    }
    hr = c->pSkinInfo->ConvertToIndexedBlendedMesh(
        c->sourceMesh, options, c->paletteEntries, c->pAdjacency, nullptr, nullptr, nullptr,
        &c->influences, &c->attributeGroups, &c->boneCombinations, &c->MeshData.pMesh);
    if (FAILED(hr))
        return FallBackToOwnSkinning(c, hr, "ConvertToIndexedBlendedMesh");
    return S_OK;
}

HRESULT tavSkinMesh::ConvertForShader(tavMeshContainer* c)
{
    const DWORD bones = c->pSkinInfo->GetNumBones();
    c->paletteEntries = bones < 27 ? bones : 26;
    DWORD options = D3DXMESHOPT_VERTEXCACHE;
    if (engine->GetCaps().VertexShaderVersion < D3DVS_VERSION(1, 1)) {
        c->softwareProcessing = true;
        options |= D3DXMESH_SYSTEMMEM;
    } else {
        c->softwareProcessing = false;
        options |= D3DXMESH_MANAGED;
    }
    HRESULT hr = c->pSkinInfo->ConvertToIndexedBlendedMesh(
        c->sourceMesh, options, c->paletteEntries, c->pAdjacency, nullptr, nullptr, nullptr,
        &c->influences, &c->attributeGroups, &c->boneCombinations, &c->MeshData.pMesh);
    if (FAILED(hr))
        return FallBackToOwnSkinning(c, hr, "ConvertToIndexedBlendedMesh");

    // Position, normal, one texture set and four blend indices as a colour.
    IDirect3DDevice9* device = engine->GetDevice();
    const DWORD fvf = (c->MeshData.pMesh->GetFVF() & 0x400E) | 0x1110;
    if (fvf != c->MeshData.pMesh->GetFVF()) {
        ID3DXMesh* clone = nullptr;
        hr = c->MeshData.pMesh->CloneMeshFVF(c->MeshData.pMesh->GetOptions(), fvf, device, &clone);
        if (FAILED(hr))
            return hr;
        c->MeshData.pMesh->Release();
        c->MeshData.pMesh = clone;
    }
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    hr = c->MeshData.pMesh->GetDeclaration(declaration);
    if (FAILED(hr))
        return hr;
    for (D3DVERTEXELEMENT9* e = declaration; e->Stream != 0xFF; ++e)
        if (e->Usage == D3DDECLUSAGE_BLENDINDICES && e->UsageIndex == 0)
            e->Type = D3DDECLTYPE_D3DCOLOR;
    hr = c->MeshData.pMesh->UpdateSemantics(declaration);
    if (FAILED(hr))
        return hr;
    _aligned_free(c->drawMatrices);
    c->drawMatrices = static_cast<D3DXMATRIX*>(
        _aligned_malloc(sizeof(D3DXMATRIX) * (c->paletteEntries ? c->paletteEntries : 1), 16));
    return c->drawMatrices ? S_OK : E_OUTOFMEMORY;
}

HRESULT tavSkinMesh::PrepareSoftware(tavMeshContainer* c)
{
    // The mesh that each frame's skinned vertices are written into.
    IDirect3DDevice9* device = engine->GetDevice();
    HRESULT hr = c->sourceMesh->CloneMeshFVF(D3DXMESH_MANAGED, c->sourceMesh->GetFVF(), device,
                                             &c->MeshData.pMesh);
    if (FAILED(hr))
        return hr;
    return SetUpOwnSkinning(c);
}
