#pragma once
// A static mesh in the engine's own file (version 20): one vertex and index
// buffer in the managed pool, part records drawn with their materials, and
// bounding volumes (an axis box, an oriented box and a sphere about its
// centre). Made by Load, by the 3DS and OBJ importers, from a .x file or
// from memory; Save writes the same layout back. Texture numbers in the
// materials stay the texture pool's: Clear does not remove them.
//
// Bad files are refused with a red line in the log and leave the mesh
// empty: nothing is drawn and Save writes nothing.

#include "graphics/tavBoundingSphere.h"
#include "graphics/tavMeshBuffers.h"
#include "graphics/tavMeshFile.h"
#include "graphics/tavMeshModel.h"
#include "physics/tavOrientedBox.h"

#include <d3dx9.h>

#include <cstdint>
#include <string>
#include <vector>

class TAV;
class tav3dsReader;
class tavObjReader;

class tavStaticMesh
{
public:
    explicit tavStaticMesh(TAV* engine);
    virtual ~tavStaticMesh();
    tavStaticMesh(const tavStaticMesh&) = delete;
    tavStaticMesh& operator=(const tavStaticMesh&) = delete;

    // Clears, then reads the file in this class's section order; each
    // texture name is loaded as `textureFolder` + name. False (and an empty
    // mesh) for a file that is missing ("Error Opening Static Mesh: "), of
    // another version or damaged ("Invalid Static Mesh File: ").
    bool Load(const char* fileName, const char* textureFolder);
    // Writes the mesh in this class's order; nothing for an empty mesh or
    // when the file cannot be created.
    void Save(const char* fileName);

    // Clears, then imports the first triangle mesh of a 3DS file, logging
    // every step; texture names are loaded as `textureFolder` + name.
    bool Import3DS(const char* fileName, const char* textureFolder);
    // Clears, then imports an OBJ file, logging every step.
    bool ImportOBJ(const char* fileName);
    // Clears, then converts the mesh of a .x file: materials as the file has
    // them (Ambient = Diffuse; textures loaded as `textureFolder` + name,
    // "./" for an empty folder), normals recomputed, faces sorted by
    // material into one part each, every part's indices counted from its
    // own first vertex. False (and an empty mesh) when D3DX cannot load it
    // or it needs 32-bit indices.
    bool ImportX(const char* fileName, const char* textureFolder);
    // Clears, then fills the buffers from the arrays and computes the
    // bounding volumes. False when a buffer cannot be made.
    bool ImportFromMemory(const tavMeshVertex* vertices, uint32_t vertexCount,
                          const uint16_t* indices, uint32_t indexCount,
                          const tavMaterial* materials, uint32_t materialCount,
                          const tavMeshPart* parts, uint32_t partCount);

    // Releases the buffers, parts and materials; version 0.
    void Clear();

    // Draws every part with its material (tavMaterial::Apply; the default
    // material for a part without one) under the current world transform.
    // The faces drawn; 0 for an empty mesh.
    uint32_t Draw();
    // DrawIndexedPrimitive of one part with the mesh's buffers bound, as the
    // part record says (a part that would reach past the buffers is not
    // drawn). The faces drawn.
    uint32_t DrawPart(const tavMeshPart& part);

    void GetBox(tavBoundingBox& box) const;
    void GetOrientedBox(tavOrientedBox& box) const;
    void GetSphere(tavBoundingSphere& sphere) const;

    // The vertices or the 16-bit indices, or null for an empty mesh.
    tavMeshVertex* LockVertexBuffer(DWORD flags) { return buffers.LockVertexBuffer(flags); }
    void UnlockVertexBuffer() { buffers.UnlockVertexBuffer(); }
    uint16_t* LockIndexBuffer(DWORD flags) { return buffers.LockIndexBuffer(flags); }
    void UnlockIndexBuffer() { buffers.UnlockIndexBuffer(); }

    uint16_t GetVersion() const { return version; }
    uint32_t GetNumVertices() const { return buffers.VertexCount(); }
    uint32_t GetNumIndices() const { return buffers.IndexCount(); }
    uint32_t GetNumParts() const { return uint32_t(parts.size()); }
    uint32_t GetNumMaterials() const { return uint32_t(materials.size()); }
    const tavMeshPart* GetPart(uint32_t index) const;
    // Null past the end.
    tavMaterial* GetMaterial(uint32_t index);

protected:
    // The section order this class reads and writes.
    virtual tavMeshFile::Order FileOrder() const { return tavMeshFile::WithBounds; }

private:
    // Buffers, parts and materials from plain data (materials already in
    // the engine); the bounds as given. False after logging `failure` and
    // clearing when a buffer cannot be made.
    bool Fill(const tavStaticMeshData& data, std::vector<tavMaterial> engineMaterials,
              bool logImport);
    bool FinishImport(const tavStaticMeshData& data, const char* textureFolder);

    TAV* engine;
    tavMeshBuffers buffers;
    uint16_t version;
    std::vector<tavMeshPart> parts;
    std::vector<bool> partFits;
    std::vector<tavMaterial> materials;
    tavMeshBounds bounds;
};
