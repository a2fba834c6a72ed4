#include "graphics/tavSkinMesh.h"

#include "core/TAV.h"

#include <cstring>
#include <new>
#include <vector>

namespace
{

tavMatrix4 ToMatrix4(const D3DXMATRIX& m)
{
    tavMatrix4 out;
    std::memcpy(out.m, &m, sizeof out.m);
    return out;
}

} // namespace

tavSkinMesh::tavSkinMesh(TAV* engine)
    : engine(engine), skinningMethod(Software), rootFrame(nullptr), controller(nullptr),
      sphereCentre(0.0f, 0.0f, 0.0f), sphereRadius(0.0f), boundingBox{}, hierarchy(this),
      ownAnimation(nullptr), animationSeconds(0.0), loggedOwnSkinning(false),
      loggedOwnAnimation(false), loggedOwnSphere(false), loggedSoftwareDraw(false)
{
}

tavSkinMesh::~tavSkinMesh()
{
    Release();
}

void tavSkinMesh::Release()
{
    if (rootFrame)
        D3DXFrameDestroy(rootFrame, &hierarchy);
    rootFrame = nullptr;
    if (controller)
        controller->Release();
    controller = nullptr;
    delete ownAnimation;
    ownAnimation = nullptr;
    animationSeconds = 0.0;
    sphereCentre = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    sphereRadius = 0.0f;
}

HRESULT tavSkinMesh::Load(const char* fileName, const char* folder)
{
    Release();
    textureFolder = folder ? folder : "";
    HRESULT hr = D3DXLoadMeshHierarchyFromXA(fileName, D3DXMESH_MANAGED, engine->GetDevice(),
                                             &hierarchy, nullptr, &rootFrame, &controller);
    if (SUCCEEDED(hr))
        hr = LinkBones(rootFrame);
    if (SUCCEEDED(hr)) {
        UpdateFrameMatrices(rootFrame, nullptr);
        hr = ComputeBoundingSphere();
    }
    if (FAILED(hr)) {
        Release();
        return hr;
    }
    if (!controller)
        ReadOwnAnimation(fileName);
    return S_OK;
}

HRESULT tavSkinMesh::LinkBones(D3DXFRAME* frame)
{
    if (!frame)
        return S_OK;
    for (D3DXMESHCONTAINER* base = frame->pMeshContainer; base; base = base->pNextMeshContainer) {
        tavMeshContainer* c = static_cast<tavMeshContainer*>(base);
        if (!c->pSkinInfo)
            continue;
        for (DWORD b = 0; b < c->pSkinInfo->GetNumBones(); ++b) {
            tavFrame* bone = FindFrame(c->pSkinInfo->GetBoneName(b));
            if (!bone)
                return E_FAIL;
            c->boneMatrices[b] = &bone->combined;
        }
    }
    HRESULT hr = LinkBones(frame->pFrameSibling);
    return SUCCEEDED(hr) ? LinkBones(frame->pFrameFirstChild) : hr;
}

tavFrame* tavSkinMesh::FindFrame(const char* name) const
{
    if (!rootFrame || !name)
        return nullptr;
    return static_cast<tavFrame*>(D3DXFrameFind(rootFrame, name));
}

// ---- Animation ----

void tavSkinMesh::AdvanceTime()
{
    AdvanceTimeBy(engine->GetFrameTime());
}

void tavSkinMesh::AdvanceTimeBy(double seconds)
{
    if (controller)
        controller->AdvanceTime(seconds, this);
    else if (ownAnimation) {
        animationSeconds += seconds;
        ApplyOwnAnimation();
    }
    if (rootFrame)
        UpdateFrameMatrices(rootFrame, nullptr);
}

HRESULT tavSkinMesh::HandleCallback(UINT /*track*/, LPVOID /*callbackData*/)
{
    return S_OK;
}

void tavSkinMesh::UpdateFrameMatrices(D3DXFRAME* base, const D3DXMATRIX* parent)
{
    for (; base; base = base->pFrameSibling) {
        tavFrame* frame = static_cast<tavFrame*>(base);
        if (parent)
            D3DXMatrixMultiply(&frame->combined, &frame->TransformationMatrix, parent);
        else
            frame->combined = frame->TransformationMatrix;
        UpdateFrameMatrices(frame->pFrameFirstChild, &frame->combined);
    }
}

void tavSkinMesh::ApplyOwnAnimation()
{
    const double ticks = ownAnimation->TicksAt(animationSeconds);
    for (const tavAnimationSet::Track& track : ownAnimation->GetTracks())
        if (tavFrame* frame = FindFrame(track.frameName.c_str()))
            std::memcpy(&frame->TransformationMatrix, tavAnimationSet::Sample(track, ticks).m,
                        sizeof(D3DXMATRIX));
}

// ---- Bounds ----

bool tavSkinMesh::PlatformEndsOnFrameSphere()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

HRESULT tavSkinMesh::ComputeBoundingSphere()
{
    if (!PlatformEndsOnFrameSphere())
        return D3DXFrameCalculateBoundingSphere(rootFrame, &sphereCentre, &sphereRadius);
    LogOnce(loggedOwnSphere, "tavSkinMesh: the bounding sphere of the frames is computed by the "
                             "engine (the platform's call would end the process)");
    tavBoundingSphere sphere;
    OwnBoundingSphere(rootFrame, sphere);
    sphereCentre = D3DXVECTOR3(sphere.centre[0], sphere.centre[1], sphere.centre[2]);
    sphereRadius = sphere.radius;
    return S_OK;
}

void tavSkinMesh::OwnBoundingSphere(D3DXFRAME* base, tavBoundingSphere& sphere)
{
    for (; base; base = base->pFrameSibling) {
        tavFrame* frame = static_cast<tavFrame*>(base);
        for (D3DXMESHCONTAINER* m = frame->pMeshContainer; m; m = m->pNextMeshContainer) {
            tavMeshContainer* c = static_cast<tavMeshContainer*>(m);
            ID3DXMesh* mesh = c->sourceMesh ? c->sourceMesh : c->MeshData.pMesh;
            void* vertices = nullptr;
            if (!mesh || FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)))
                continue;
            const tavBoundingSphere own = tavBoundingSphere::OfPoints(
                vertices, mesh->GetNumVertices(), mesh->GetNumBytesPerVertex());
            mesh->UnlockVertexBuffer();
            sphere.Merge(own.Transformed(ToMatrix4(frame->combined)));
        }
        OwnBoundingSphere(frame->pFrameFirstChild, sphere);
    }
}

// ---- Skinning on the processor ----

HRESULT tavSkinMesh::SetUpOwnSkinning(tavMeshContainer* c)
{
    if (c->softwareSkin)
        return S_OK;
    if ((c->sourceMesh->GetFVF() & D3DFVF_POSITION_MASK) != D3DFVF_XYZ)
        return E_FAIL;
    std::vector<tavSoftwareSkin::Bone> bones(c->pSkinInfo->GetNumBones());
    for (DWORD b = 0; b < bones.size(); ++b) {
        const DWORD count = c->pSkinInfo->GetNumBoneInfluences(b);
        bones[b].name = c->pSkinInfo->GetBoneName(b) ? c->pSkinInfo->GetBoneName(b) : "";
        bones[b].vertices.resize(count);
        bones[b].weights.resize(count);
        if (count && FAILED(c->pSkinInfo->GetBoneInfluence(b, reinterpret_cast<DWORD*>(bones[b].vertices.data()),
                                                          bones[b].weights.data())))
            return E_FAIL;
        bones[b].offset = ToMatrix4(c->boneOffsets[b]);
    }
    c->softwareSkin = new (std::nothrow) tavSoftwareSkin;
    if (!c->softwareSkin)
        return E_OUTOFMEMORY;
    if (!c->softwareSkin->Init(c->sourceMesh->GetNumVertices(), std::move(bones))) {
        delete c->softwareSkin;
        c->softwareSkin = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT tavSkinMesh::FallBackToOwnSkinning(tavMeshContainer* c, HRESULT platformResult,
                                           const char* call)
{
    // Only a call the platform does not have is replaced; other failures
    // are the caller's to see.
    if (platformResult != E_NOTIMPL)
        return platformResult;
    if (!loggedOwnSkinning)
        engine->tavLog::Printf("tavSkinMesh: %s is not available (0x%08lX); the mesh is skinned on the "
                       "processor",
                       call, static_cast<unsigned long>(platformResult));
    loggedOwnSkinning = true;
    if (c->MeshData.pMesh)
        c->MeshData.pMesh->Release();
    if (c->boneCombinations)
        c->boneCombinations->Release();
    c->MeshData.pMesh = nullptr;
    c->boneCombinations = nullptr;
    c->ownSkinning = true;
    return PrepareSoftware(c);
}

void tavSkinMesh::LogOnce(bool& logged, const char* text)
{
    if (!logged)
        engine->tavLog::Write(text);
    logged = true;
}
