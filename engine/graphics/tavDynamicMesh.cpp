#include "graphics/tavDynamicMesh.h"

#include "core/TAV.h"
#include "graphics/tavMeshBytes.h"

#include <algorithm>

namespace
{
std::string Red(const std::string& text)
{
    return "<font color=\"red\">" + text + "</font>";
}

// How often the bone tree is updated at most, in milliseconds.
const uint32_t UpdateInterval = 13;

void CheckBones(const tavBoneData& bone, const tavDynamicMeshData& d, std::vector<bool>& fits)
{
    fits.push_back(tavPartFits(bone.part, d.vertices, d.indices));
    for (const tavBoneData& child : bone.children)
        CheckBones(child, d, fits);
}

// A copy of a bone tree made field by field (keyframes as they are), each
// bone logged as it is copied.
tavBoneData CopyBone(TAV* engine, const tavBoneData& from, int depth)
{
    tavBoneData to;
    to.boneId = from.boneId;
    to.name = from.name;
    to.part = from.part;
    std::copy(from.pivot, from.pivot + 3, to.pivot);
    std::copy(from.restA, from.restA + 2, to.restA);
    std::copy(from.restB, from.restB + 3, to.restB);
    to.keyframes = from.keyframes;
    engine->WriteValue("ImportBone: ", from.name);
    engine->WriteValue("BoneID: ", from.boneId);
    engine->WriteValue("FaceCount: ", from.part.faceCount);
    engine->WriteValue("FaceStart: ", from.part.faceStart);
    engine->WriteValue("VertexCount: ", from.part.vertexCount);
    engine->WriteValue("VertexStart: ", from.part.vertexStart);
    if (depth < tavMeshFile::MaxBoneDepth)
        for (const tavBoneData& child : from.children)
            to.children.push_back(CopyBone(engine, child, depth + 1));
    return to;
}
} // namespace

tavDynamicMesh::tavDynamicMesh(TAV* engine) : engine(engine)
{
    Clear();
}

tavDynamicMesh::~tavDynamicMesh()
{
    Clear();
}

void tavDynamicMesh::Clear()
{
    buffers.Release();
    data = tavDynamicMeshData();
    materials.clear();
    animations.clear();
    combined.clear();
    boneFits.clear();
    D3DXMatrixIdentity(&parentTransform);
    hasParent = false;
    fileVersion = 0;
    nextUpdate = 0;
    restKeyframe = 0;
    startAnimation = 0;
    currentAnimation = -1;
    blend = 1.0f;
    blendStart = 0;
    inverseDuration = 0;
}

bool tavDynamicMesh::Fill(tavDynamicMeshData loaded, std::vector<tavMaterial> engineMaterials)
{
    const tavMeshBuffers::Result made = buffers.Create(
        engine ? engine->GetDevice() : nullptr, loaded.vertices.data(),
        uint32_t(loaded.vertices.size()), loaded.indices.data(), uint32_t(loaded.indices.size()));
    if (made != tavMeshBuffers::Done)
    {
        Clear();
        return false;
    }
    CheckBones(loaded.root, loaded, boneFits);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    combined.assign(boneFits.size(), identity);
    loaded.vertices.clear();
    loaded.indices.clear();
    data = std::move(loaded);
    animations = data.animations;
    materials = std::move(engineMaterials);
    fileVersion = tavMeshFile::DynamicVersion;
    return true;
}

bool tavDynamicMesh::Load(const char* fileName, const char* textureFolder)
{
    Clear();
    const char* name = fileName ? fileName : "";
    tavDynamicMeshData loaded;
    std::string why;
    const tavMeshFileResult read = tavMeshFile::LoadDynamic(fileName, loaded, &why);
    if (read == tavMeshFileResult::CannotOpen)
    {
        engine->Write(Red(std::string("Can't open dynamic mesh: ") + name));
        return false;
    }
    if (read != tavMeshFileResult::Ok)
    {
        const std::string reason = read == tavMeshFileResult::Damaged ? " (" + why + ")" : "";
        engine->Write(Red(std::string("Invalid Dynamic Mesh: ") + name + reason));
        return false;
    }
    std::vector<tavMaterial> loadedMaterials;
    for (const tavMaterialData& m : loaded.materials)
        loadedMaterials.push_back(tavMaterialFromData(engine, m, textureFolder));
    if (!Fill(std::move(loaded), std::move(loadedMaterials)))
    {
        engine->Write(
            Red(std::string("Invalid Dynamic Mesh: ") + name + " (its buffers could not be made)"));
        return false;
    }
    return true;
}

void tavDynamicMesh::Save(const char* fileName)
{
    if (fileVersion == 0) return;
    tavDynamicMeshData out = data;
    if (!buffers.Read(out.vertices, out.indices)) return;
    out.fileVersion = fileVersion;
    out.animations = animations;
    out.materials.clear();
    for (const tavMaterial& m : materials)
        out.materials.push_back(tavMaterialToData(engine, m));
    if (!tavWriteWholeFile(fileName, tavMeshFile::WriteDynamic(out)))
        engine->Write(
            Red(std::string("Can't open file for mesh output: ") + (fileName ? fileName : "")));
}

bool tavDynamicMesh::ImportFromMemory(const tavMeshVertex* vertices, uint32_t vertexCount,
                                      const uint16_t* indices, uint32_t indexCount,
                                      const tavMaterial* given, uint32_t materialCount,
                                      const tavBoneData& root, const tavAnimation* givenAnimations,
                                      uint32_t animationCount, uint32_t keyframeCount)
{
    Clear();
    engine->Write("Import from Memory (EDM)");
    engine->WriteValue("FileVersion: ", uint32_t(tavMeshFile::DynamicVersion));
    engine->WriteValue("NumVerts: ", vertexCount);
    engine->WriteValue("NumIndices: ", indexCount);
    engine->WriteValue("NumMaterials: ", materialCount);
    engine->WriteValue("NumKeyframes: ", keyframeCount);
    engine->WriteValue("NumAnimations: ", animationCount);
    if (!vertices || (!indices && indexCount) || (!given && materialCount) ||
        (!givenAnimations && animationCount))
        return false;
    tavDynamicMeshData made;
    made.vertices.assign(vertices, vertices + vertexCount);
    made.indices.assign(indices, indices + indexCount);
    made.numKeyframes = keyframeCount;
    made.animations.assign(givenAnimations, givenAnimations + animationCount);
    made.bounds = tavComputeBounds(made.vertices);
    made.root = CopyBone(engine, root, 0);
    if (!Fill(std::move(made), std::vector<tavMaterial>(given, given + materialCount)))
        return false;
    engine->WriteValue("NumBones: ", GetNumBones());
    return true;
}

void tavDynamicMesh::Animate(const D3DXMATRIX* parent)
{
    AnimateAt(engine ? engine->GetMilliseconds() : 0, parent);
}

void tavDynamicMesh::AnimateAt(uint32_t now, const D3DXMATRIX* parent)
{
    hasParent = parent != nullptr;
    if (parent) parentTransform = *parent;
    if (fileVersion == 0 || now <= nextUpdate) return;
    // 1. A finished blend starts the next animation.
    if (blend >= 1.0f && !animations.empty())
    {
        const uint32_t next =
            currentAnimation < 0 ? startAnimation : animations[size_t(currentAnimation)].next;
        currentAnimation = next < animations.size() ? int32_t(next) : -1;
        blend = 0;
        blendStart = now;
        const uint32_t duration =
            currentAnimation < 0 ? 0 : animations[size_t(currentAnimation)].duration;
        inverseDuration = duration ? 1.0f / float(duration) : 1.0f;
    }
    // 2. How far the blend has come.
    blend = std::min(1.0f, std::max(0.0f, float(now - blendStart) * inverseDuration));
    // 3. The bone tree, parents first.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    uint32_t index = 0;
    UpdateBone(data.root, index, identity);
    nextUpdate = now + UpdateInterval;
}

tavKeyframe tavDynamicMesh::Keyframe(const tavBoneData& bone, uint32_t number) const
{
    return number < bone.keyframes.size() ? bone.keyframes[number] : tavKeyframe();
}

void tavDynamicMesh::UpdateBone(const tavBoneData& bone, uint32_t& index, const D3DXMATRIX& parent)
{
    const uint32_t self = index++;
    tavKeyframe from, to;
    if (currentAnimation >= 0)
    {
        from = Keyframe(bone, animations[size_t(currentAnimation)].fromKeyframe);
        to = Keyframe(bone, animations[size_t(currentAnimation)].toKeyframe);
    }
    else
    {
        from = Keyframe(bone, 0);
        to = Keyframe(bone, restKeyframe);
    }
    D3DXQUATERNION rotation;
    const D3DXQUATERNION qa(from.k), qb(to.k);
    D3DXQuaternionSlerp(&rotation, &qa, &qb, blend);
    const D3DXVECTOR3 ta(from.k + 4), tb(to.k + 4);
    D3DXVECTOR3 translation;
    D3DXVec3Lerp(&translation, &ta, &tb, blend);
    // Rotation about the pivot as the parent has carried it, then the
    // translation; applied after the parent's own transform.
    D3DXVECTOR3 pivot(bone.pivot);
    D3DXVec3TransformCoord(&pivot, &pivot, &parent);
    D3DXMATRIX toPivot, rotate, back, move, local;
    D3DXMatrixTranslation(&toPivot, -pivot.x, -pivot.y, -pivot.z);
    D3DXMatrixRotationQuaternion(&rotate, &rotation);
    D3DXMatrixTranslation(&back, pivot.x, pivot.y, pivot.z);
    D3DXMatrixTranslation(&move, translation.x, translation.y, translation.z);
    local = toPivot * rotate * back * move;
    combined[self] = parent * local;
    for (const tavBoneData& child : bone.children)
        UpdateBone(child, index, combined[self]);
}

uint32_t tavDynamicMesh::Draw()
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device || fileVersion == 0) return 0;
    uint32_t index = 0;
    return DrawBone(data.root, index, device);
}

uint32_t tavDynamicMesh::DrawBone(const tavBoneData& bone, uint32_t& index,
                                  IDirect3DDevice9* device)
{
    const uint32_t self = index++;
    uint32_t faces = 0;
    if (bone.part.vertexCount != 0 && boneFits[self])
    {
        const tavMaterial plain;
        const uint32_t m = bone.part.material;
        (m < materials.size() ? materials[m] : plain).Apply(engine);
        engine->SetWorldTransform(hasParent ? combined[self] * parentTransform : combined[self]);
        buffers.Bind(device);
        faces += buffers.Draw(device, bone.part);
    }
    for (const tavBoneData& child : bone.children)
        faces += DrawBone(child, index, device);
    return faces;
}

const D3DXMATRIX* tavDynamicMesh::GetBoneTransform(uint32_t bone) const
{
    return bone < combined.size() ? &combined[bone] : nullptr;
}

void tavDynamicMesh::GetBox(tavBoundingBox& box) const
{
    box.min = D3DXVECTOR3(data.bounds.boxMin);
    box.max = D3DXVECTOR3(data.bounds.boxMax);
}

void tavDynamicMesh::GetSphere(tavBoundingSphere& sphere) const
{
    sphere = tavBoundingSphere();
    for (int i = 0; i < 3; ++i)
        sphere.centre[i] = data.bounds.centroid[i];
    sphere.radius = data.bounds.radius;
    sphere.empty = false;
}

void tavDynamicMesh::GetOrientedBox(tavOrientedBox& box) const
{
    box = tavOrientedBox();
    for (int a = 0; a < 3; ++a)
    {
        box.centroid[a] = data.bounds.centroid[a];
        box.halfExtents[a] = data.bounds.halfExtents[a];
    }
}
