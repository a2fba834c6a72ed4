#pragma once
// A vertex buffer of 36-byte vertices drawn as one primitive run with one
// texture number (the sea, the sky box faces, the console panel).

#include <d3d9.h>

#include <cstdint>

class TAV;

// The engine's lit, coloured, textured vertex (flexible vertex format 0x152).
struct tavVertex
{
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(tavVertex) == 36, "tavVertex is the 36-byte 0x152 vertex");

class tavPrimitiveBuffer
{
public:
    static const DWORD Format = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

    explicit tavPrimitiveBuffer(TAV* engine);
    // Releases the vertex buffer.
    ~tavPrimitiveBuffer();
    tavPrimitiveBuffer(const tavPrimitiveBuffer&) = delete;
    tavPrimitiveBuffer& operator=(const tavPrimitiveBuffer&) = delete;

    // (Re)creates the buffer with the vertices copied in and shows it. 0, or
    // E_FAIL when creating, locking or unlocking failed.
    HRESULT Create(uint32_t vertexCount, uint32_t primitiveCount, const tavVertex* vertices);
    // Texture number bound on stage 0 when drawing; -1 for none.
    void SetTexture(int textureNumber) { texture = textureNumber; }
    // Draws from `startVertex`; -1 primitives means the count given to
    // Create. Nothing while not created or hidden.
    void Render(uint32_t startVertex, int primitiveCount = -1);
    // Releases the vertex buffer (device reset); Create makes it again.
    void Release();

    void SetHidden(bool on) { hidden = on; }
    void SetPrimitiveType(D3DPRIMITIVETYPE type) { primitiveType = type; }
    bool IsCreated() const { return created; }

private:
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
