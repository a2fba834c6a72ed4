#pragma once
// A dynamic mesh ("EDM", version 396): one vertex and index buffer shared
// by a tree of bones, each bone a drawable range of faces with its own
// material, pivot and keyframes. Animate blends the current animation's two
// keyframes of every bone by the time since it started and walks the tree,
// parents before children; Draw then draws every bone under its combined
// transform. Buffers live in the managed pool and survive a device reset.
//
// Bad files are refused with a red line in the log ("Can't open dynamic
// mesh: ", "Invalid Dynamic Mesh: ") and leave the mesh empty: nothing is
// animated or drawn.

#include "graphics/tavMeshBuffers.h"
#include "graphics/tavStaticMesh.h"

#include <d3dx9.h>

#include <cstdint>
#include <vector>

class TAV;

class tavDynamicMesh
{
public:
    explicit tavDynamicMesh(TAV* engine);
    ~tavDynamicMesh();
    tavDynamicMesh(const tavDynamicMesh&) = delete;
    tavDynamicMesh& operator=(const tavDynamicMesh&) = delete;

    // Clears, then reads the file; texture names load as `textureFolder` +
    // name. False (and an empty mesh) for a missing, misversioned or damaged
    // file.
    bool Load(const char* fileName, const char* textureFolder);
    // Writes the file; "Can't open file for mesh output: " when it cannot be
    // created. Nothing for an empty mesh.
    void Save(const char* fileName);
    // Clears, then takes copies of everything given (the bone tree copied
    // bone by bone), fills the buffers and computes the bounding volumes,
    // logging each count. False when a buffer cannot be made.
    bool ImportFromMemory(const tavMeshVertex* vertices, uint32_t vertexCount,
                          const uint16_t* indices, uint32_t indexCount,
                          const tavMaterial* materials, uint32_t materialCount,
                          const tavBoneData& root, const tavAnimation* animations,
                          uint32_t animationCount, uint32_t keyframeCount);
    void Clear();

    // Advances the animation by the engine clock (see AnimateAt). `parent`,
    // when given, is put in front of every bone's transform when drawing.
    void Animate(const D3DXMATRIX* parent = nullptr);
    // The same at `now` milliseconds: at most every 13 ms; when the last
    // blend has finished the next animation starts (the first one the first
    // time) and its blend factor runs from 0 to 1 over its duration.
    void AnimateAt(uint32_t now, const D3DXMATRIX* parent = nullptr);
    // Draws every bone with a vertex count, depth first from the root, with
    // its material under its combined transform (the world
    // transform is left at the last bone's). The faces drawn.
    uint32_t Draw();

    tavMeshVertex* LockVertexBuffer(DWORD flags) { return buffers.LockVertexBuffer(flags); }
    void UnlockVertexBuffer() { buffers.UnlockVertexBuffer(); }
    uint16_t* LockIndexBuffer(DWORD flags) { return buffers.LockIndexBuffer(flags); }
    void UnlockIndexBuffer() { buffers.UnlockIndexBuffer(); }

    uint16_t GetFileVersion() const { return fileVersion; }
    uint32_t GetNumVerts() const { return buffers.VertexCount(); }
    uint32_t GetNumIndices() const { return buffers.IndexCount(); }
    uint32_t GetNumBones() const { return uint32_t(combined.size()); }
    uint32_t GetNumMaterials() const { return uint32_t(materials.size()); }
    uint32_t GetNumAnimations() const { return uint32_t(animations.size()); }
    // Null past the end.
    tavMaterial* GetMaterial(uint32_t index)
    {
        return index < materials.size() ? &materials[index] : nullptr;
    }
    // The bone's combined transform by depth-first number (root 0), or null.
    const D3DXMATRIX* GetBoneTransform(uint32_t bone) const;
    int32_t GetCurrentAnimation() const { return currentAnimation; }
    float GetBlend() const { return blend; }
    void GetBox(tavBoundingBox& box) const;
    void GetSphere(tavBoundingSphere& sphere) const;
    void GetOrientedBox(tavOrientedBox& box) const;

private:
    bool Fill(tavDynamicMeshData data, std::vector<tavMaterial> engineMaterials);
    // Bone `bone` (number `index`) and its children under `parent`.
    void UpdateBone(const tavBoneData& bone, uint32_t& index, const D3DXMATRIX& parent);
    uint32_t DrawBone(const tavBoneData& bone, uint32_t& index, IDirect3DDevice9* device);
    tavKeyframe Keyframe(const tavBoneData& bone, uint32_t number) const;

    TAV* engine;
    tavMeshBuffers buffers;
    tavDynamicMeshData data; // the tree, animations and bounds (vertices and indices not kept)
    std::vector<tavMaterial> materials;
    std::vector<tavAnimation> animations;
    std::vector<D3DXMATRIX> combined; // by depth-first bone number
    std::vector<bool> boneFits;
    D3DXMATRIX parentTransform;
    bool hasParent;
    uint16_t fileVersion;
    uint32_t nextUpdate;
    uint32_t restKeyframe;
    uint32_t startAnimation;
    int32_t currentAnimation;
    float blend;
    uint32_t blendStart;
    float inverseDuration;
};
