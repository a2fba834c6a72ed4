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

HRESULT tavPrimitiveBuffer::Create(uint32_t count, uint32_t primitives, const tavVertex* vertices)
{
    Release();
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device || !vertices || count == 0) return E_FAIL;
    const UINT bytes = count * sizeof(tavVertex);
    if (FAILED(device->CreateVertexBuffer(bytes, usage, Format, pool, &vertexBuffer, nullptr)))
        return E_FAIL;
    void* memory = nullptr;
    if (FAILED(vertexBuffer->Lock(0, bytes, &memory, 0)))
    {
        Release();
        return E_FAIL;
    }
    std::memcpy(memory, vertices, bytes);
    if (FAILED(vertexBuffer->Unlock()))
    {
        Release();
        return E_FAIL;
    }
    vertexCount = count;
    primitiveCount = primitives;
    created = true;
    hidden = false;
    return S_OK;
}

void tavPrimitiveBuffer::Render(uint32_t startVertex, int primitives)
{
    if (!created || hidden) return;
    IDirect3DDevice9* device = engine->GetDevice();
    engine->tavTexPool::SetTexture(texture, 0);
    device->SetFVF(Format);
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(tavVertex));
    device->DrawPrimitive(primitiveType, startVertex,
                          primitives < 0 ? primitiveCount : UINT(primitives));
}
