#pragma once
// A vertex buffer drawn as one run of primitives with one texture: the sea,
// the sky box and the console's background panel. The buffer is created in
// the managed pool by default, so it survives a device reset untouched.

#include <d3d9.h>

#include <cstdint>

class TAV;

// The buffer's vertex: 36 bytes, flexible vertex format 0x152.
struct tavPrimitiveVertex
{
    float x, y, z;    // position
    float nx, ny, nz; // normal
    D3DCOLOR diffuse; // ARGB
    float u, v;       // texture coordinates
};
static_assert(sizeof(tavPrimitiveVertex) == 36, "the primitive buffer's stride is 36 bytes");

class tavPrimitiveBuffer
{
public:
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

    // Nothing is created yet: Render draws nothing until Create succeeds.
    explicit tavPrimitiveBuffer(TAV* engine);
    ~tavPrimitiveBuffer();
    tavPrimitiveBuffer(const tavPrimitiveBuffer&) = delete;
    tavPrimitiveBuffer& operator=(const tavPrimitiveBuffer&) = delete;

    // Replaces the buffer by a new one holding `vertices` (vertexCount of
    // them); `primitiveCount` is what Render draws when given -1. Shows the
    // buffer. 0, or E_FAIL when the buffer could not be created or filled
    // (the old one is gone either way, and nothing is drawn until the next
    // successful Create).
    HRESULT Create(uint32_t vertexCount, uint32_t primitiveCount,
                   const tavPrimitiveVertex* vertices);
    // Rewrites the first `count` vertices in place (a dynamic buffer takes
    // D3DLOCK_DISCARD or D3DLOCK_NOSYSLOCK as `lockFlags`). E_FAIL before
    // Create, for more vertices than the buffer holds, or when the lock fails.
    HRESULT Update(const tavPrimitiveVertex* vertices, uint32_t count, DWORD lockFlags);
    // Releases the vertex buffer; Render draws nothing until the next Create.
    void Release();

    // Texture number bound on stage 0 by Render (-1 leaves the stage empty).
    void SetTexture(int textureNumber) { texture = textureNumber; }
    int GetTexture() const { return texture; }

    // Draws `primitiveCount` primitives (-1: the count given to Create) from
    // `startVertex`. Nothing is drawn while hidden or before Create, nor when
    // the run would reach past the buffer's last vertex; then the result is
    // S_FALSE (not drawn) or E_INVALIDARG (out of range). Otherwise the
    // result of DrawPrimitive.
    HRESULT Render(uint32_t startVertex = 0, int primitiveCount = -1);

    // Triangle strip unless changed; applies to later Render calls.
    void SetPrimitiveType(D3DPRIMITIVETYPE type) { primitiveType = type; }
    // Usage and pool of buffers made by later Create calls (write-only,
    // managed by default). A default-pool buffer must be released before a
    // device reset and created again after it.
    void SetUsage(DWORD flags) { usage = flags; }
    void SetPool(D3DPOOL memoryPool) { pool = memoryPool; }
    void SetHidden(bool on) { hidden = on; }

    bool IsCreated() const { return created; }
    bool IsHidden() const { return hidden; }
    uint32_t GetVertexCount() const { return vertexCount; }
    uint32_t GetPrimitiveCount() const { return primitiveCount; }

    // Vertices a run of `primitives` primitives of `type` uses.
    static uint64_t VerticesFor(D3DPRIMITIVETYPE type, uint32_t primitives);

private:
    HRESULT Fill(const tavPrimitiveVertex* vertices, uint32_t count, DWORD lockFlags);

    D3DPRIMITIVETYPE primitiveType;
    TAV* engine;
    uint32_t vertexCount;
    uint32_t primitiveCount;
    IDirect3DVertexBuffer9* vertexBuffer;
    DWORD usage;
    D3DPOOL pool;
    int texture;
    bool created;
    bool hidden;
};
