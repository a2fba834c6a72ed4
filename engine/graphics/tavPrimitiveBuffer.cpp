#include "graphics/tavPrimitiveBuffer.h"

#include "core/TAV.h"

#include <cstring>

tavPrimitiveBuffer::tavPrimitiveBuffer(TAV* e)
    : primitiveType(D3DPT_TRIANGLESTRIP), engine(e), vertexCount(0), primitiveCount(0),
      vertexBuffer(nullptr), usage(D3DUSAGE_WRITEONLY), pool(D3DPOOL_MANAGED), texture(-1),
      created(false), hidden(true)
{
}

tavPrimitiveBuffer::~tavPrimitiveBuffer()
{
    Release();
}

void tavPrimitiveBuffer::Release()
{
    if (vertexBuffer) vertexBuffer->Release();
    vertexBuffer = nullptr;
    created = false;
}

HRESULT tavPrimitiveBuffer::Create(uint32_t count, uint32_t primitives,
                                   const tavPrimitiveVertex* vertices)
{
    Release();
    vertexCount = count;
    primitiveCount = primitives;
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    const uint64_t bytes = uint64_t(count) * sizeof(tavPrimitiveVertex);
    if (!device || !vertices || count == 0 || bytes > 0xFFFFFFFFu) return E_FAIL;
    if (FAILED(device->CreateVertexBuffer(UINT(bytes), usage, FVF, pool, &vertexBuffer, nullptr)))
    {
        vertexBuffer = nullptr;
        return E_FAIL;
    }
    if (FAILED(Fill(vertices, count, 0)))
    {
        Release();
        return E_FAIL;
    }
    created = true;
    hidden = false;
    return S_OK;
}

HRESULT tavPrimitiveBuffer::Update(const tavPrimitiveVertex* vertices, uint32_t count,
                                   DWORD lockFlags)
{
    if (!created || !vertexBuffer || !vertices || count > vertexCount) return E_FAIL;
    return Fill(vertices, count, lockFlags);
}

HRESULT tavPrimitiveBuffer::Fill(const tavPrimitiveVertex* vertices, uint32_t count,
                                 DWORD lockFlags)
{
    void* data = nullptr;
    if (FAILED(vertexBuffer->Lock(0, 0, &data, lockFlags)) || !data) return E_FAIL;
    std::memcpy(data, vertices, size_t(count) * sizeof(tavPrimitiveVertex));
    return FAILED(vertexBuffer->Unlock()) ? E_FAIL : S_OK;
}

uint64_t tavPrimitiveBuffer::VerticesFor(D3DPRIMITIVETYPE type, uint32_t primitives)
{
    const uint64_t n = primitives;
    switch (type)
    {
    case D3DPT_LINELIST:
        return n * 2;
    case D3DPT_LINESTRIP:
        return n + 1;
    case D3DPT_TRIANGLELIST:
        return n * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return n + 2;
    default:
        return n;
    }
}

HRESULT tavPrimitiveBuffer::Render(uint32_t startVertex, int primitives)
{
    if (!created || hidden) return S_FALSE;
    const uint32_t count = primitives == -1 ? primitiveCount : uint32_t(primitives);
    // Direct3D does not check a run against the buffer; a stored count that
    // outgrew the vertices must not make it read past them.
    if (primitives < -1 || count == 0 ||
        uint64_t(startVertex) + VerticesFor(primitiveType, count) > vertexCount)
        return E_INVALIDARG;
    IDirect3DDevice9* device = engine->GetDevice();
    if (!device) return S_FALSE;
    engine->SetTexture(texture, 0);
    device->SetFVF(FVF);
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(tavPrimitiveVertex));
    return device->DrawPrimitive(primitiveType, startVertex, count);
}
