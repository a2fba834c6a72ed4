#pragma once
// The Direct3D side shared by the engine's own mesh classes: one managed,
// write-only vertex buffer in the static layout (FVF 0x112) and one 16-bit
// index buffer, filled from plain data; part records drawn with
// DrawIndexedPrimitive; and materials carried between tavMaterial (texture
// numbers of the pool) and the files' tavMaterialData (texture names).
// Managed buffers survive a device reset: nothing here needs restoring.

#include "graphics/tavMaterial.h"
#include "graphics/tavMeshData.h"

#include <d3d9.h>

#include <vector>

class TAV;

class tavMeshBuffers
{
public:
    tavMeshBuffers() = default;
    ~tavMeshBuffers() { Release(); }
    tavMeshBuffers(const tavMeshBuffers&) = delete;
    tavMeshBuffers& operator=(const tavMeshBuffers&) = delete;

    enum Result
    {
        Done,
        VertexBufferNotCreated,
        VertexBufferNotLocked,
        IndexBufferNotCreated,
        IndexBufferNotLocked,
    };
    // Releases what is held, then creates and fills both buffers (locked
    // with D3DLOCK_DISCARD). On any failure nothing is held.
    Result Create(IDirect3DDevice9* device, const tavMeshVertex* vertices, uint32_t vertexCount,
                  const uint16_t* indices, uint32_t indexCount);
    // Safe when empty and twice.
    void Release();
    bool IsEmpty() const { return !vertexBuffer; }

    // Stream 0 (stride 32), the indices and FVF 0x112.
    void Bind(IDirect3DDevice9* device) const;
    // DrawIndexedPrimitive of the part after Bind. A part that was found
    // not to fit its buffers (Fits) is never drawn; the vertex range is
    // kept inside the buffer. The faces drawn.
    uint32_t Draw(IDirect3DDevice9* device, const tavMeshPart& part) const;

    // Null when empty or when the lock fails.
    tavMeshVertex* LockVertexBuffer(DWORD flags);
    void UnlockVertexBuffer();
    uint16_t* LockIndexBuffer(DWORD flags);
    void UnlockIndexBuffer();
    // Copies of the buffers' contents (read back through a read-only lock);
    // false when they cannot be locked.
    bool Read(std::vector<tavMeshVertex>& vertices, std::vector<uint16_t>& indices);

    uint32_t VertexCount() const { return vertexCount; }
    uint32_t IndexCount() const { return indexCount; }

private:
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
};

// The file's material in the engine: colours and power as they are, each
// texture name loaded through the pool as `folder` + name (colour key 0, 9
// mip levels) into slots 0, 1, ...; a texture that fails leaves -1.
tavMaterial tavMaterialFromData(TAV* engine, const tavMaterialData& data, const char* folder);
// The engine's material as the file keeps it: the textures before the
// first -1, each named by its file name without folder.
tavMaterialData tavMaterialToData(TAV* engine, const tavMaterial& material);
