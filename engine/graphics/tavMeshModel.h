#pragma once
// The engine's drawable static mesh: one D3DX mesh in the static vertex
// layout (position, normal, one texture coordinate pair; 32 bytes) with one
// material per subset, loaded from a .x file or generated as a sphere,
// teapot or box. Meshes live in the managed pool and survive device resets.
// Texture numbers in the materials stay the texture pool's: clearing the
// model does not remove them.

#include "graphics/tavMaterial.h"
#include "physics/tavOrientedBox.h"

#include <d3dx9.h>

#include <cstdint>
#include <string>

class TAV;

// Axis-aligned bounds of a mesh's vertices.
struct tavBoundingBox
{
    D3DXVECTOR3 min;
    D3DXVECTOR3 max;
};

class tavMeshModel
{
public:
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1; // 0x112

    // The static vertex, as every mesh of the engine stores it.
    struct Vertex
    {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
        float u, v;
    };

    // How the mesh was made; Recreate repeats it.
    enum Source : int32_t
    {
        None = 0,
        FromX = 1,
        Sphere = 2,
        Teapot = 3,
        Box = 4,
    };

    // Empty: no mesh, no materials.
    explicit tavMeshModel(TAV* engine);
    virtual ~tavMeshModel();
    tavMeshModel(const tavMeshModel&) = delete;
    tavMeshModel& operator=(const tavMeshModel&) = delete;

    // Loads a .x file. Each material's texture file is loaded through the
    // pool as `textureFolder` + its name (the name alone for an empty or
    // null folder); a texture that fails to load leaves -1. Ambient is set
    // to Diffuse. Normals are recomputed and faces sorted by subset. False
    // (and an empty model) when the file is missing or broken.
    bool LoadFromX(const char* fileName, const char* textureFolder);

    // Generated shapes, one default material with texture 0 = `texture`.
    // Texture coordinates come from each vertex's normal n: the planar rule
    // (u, v) = n.xy x 0.5 + 0.5, or with `sphereMapping` the sphere rule
    // (u, v) = asin(n.xy) / pi + 0.5. Boxes always use the planar rule. False
    // (and an empty model) for a size that is not positive, a sphere too fine
    // for 16-bit indices, or a shape D3DX refuses (fewer than 2 slices or
    // stacks). The arguments are kept for Recreate either way.
    bool CreateSphere(float radius, uint32_t slices, uint32_t stacks, int texture,
                      bool sphereMapping);
    bool CreateTeapot(int texture, bool sphereMapping);
    bool CreateBox(float width, float height, float depth, int texture);

    // Makes the mesh again the way it was made, with the same arguments.
    // False for an empty model that was never made.
    bool Recreate();
    // Releases the mesh and the materials (their textures stay in the pool).
    void Clear();

    // Draws subset by subset with each material's colours and first texture
    // (stage 0 only; the other stages and the state block are bound by
    // tavMaterial::Apply). Uses the current world transform. Returns the
    // face count, 0 for an empty model.
    uint32_t Draw();

    // The vertices (Vertex layout, GetNumVertices of them), or null for an
    // empty model or a failed lock. Unlock before drawing.
    Vertex* LockVertexBuffer(DWORD flags);
    void UnlockVertexBuffer();
    // The faces as 16-bit indices, three per face (GetNumFaces faces), or null.
    uint16_t* LockIndexBuffer(DWORD flags);
    void UnlockIndexBuffer();
    uint32_t GetNumVertices() const;
    uint32_t GetNumFaces() const;

    // Sets material `index`'s first texture number; nothing without that
    // material.
    void SetMaterialTexture(int texture, uint32_t index);
    // Removes material `index`'s first texture from the pool (other meshes
    // naming it lose it too); the material keeps the dead number.
    void RemoveMaterialTexture(uint32_t index);

    // Axis-aligned box of the vertices; the oriented box centred on it with
    // identity matrices; the bounding sphere's radius when `radius` is not
    // null. False for an empty model or a failed lock.
    bool ComputeBounds(tavBoundingBox& box, tavOrientedBox& oriented, float* radius);

    ID3DXMesh* GetMesh() const { return mesh; }
    Source GetSource() const { return source; }
    uint32_t GetMaterialCount() const { return materialCount; }
    // Material `index`, or null past the end.
    tavMaterial* GetMaterial(uint32_t index) const;
    const std::string& GetFileName() const { return fileName; }
    const std::string& GetTextureFolder() const { return textureFolder; }

protected:
    TAV* engine;

private:
    bool CreateShape(ID3DXMesh* made, int texture, bool sphereMapping);
    bool LoadMaterials(ID3DXBuffer* buffer, DWORD count);
    std::string TexturePath(const char* textureFile) const;
    bool ToStaticLayout();
    bool FinishLoadedMesh();
    bool SetTextureCoordinates(bool sphereMapping);

    ID3DXMesh* mesh;
    Source source;
    uint32_t materialCount;
    tavMaterial* materials;
    std::string fileName;
    std::string textureFolder;
    float radius;
    float boxWidth, boxHeight, boxDepth;
    uint32_t slices, stacks;
    bool sphereMapping;
    int texture;
};
