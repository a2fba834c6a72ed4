#include "graphics/tavMeshBuffers.h"

#include "core/TAV.h"
#include "graphics/tavMeshBytes.h"

#include <cstring>

namespace
{
const DWORD StaticFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
const UINT MeshMipLevels = 9;

D3DCOLORVALUE Colour(const float* rgba)
{
    return D3DCOLORVALUE{rgba[0], rgba[1], rgba[2], rgba[3]};
}

void Colour(const D3DCOLORVALUE& c, float* rgba)
{
    rgba[0] = c.r;
    rgba[1] = c.g;
    rgba[2] = c.b;
    rgba[3] = c.a;
}
} // namespace

tavMeshBuffers::Result tavMeshBuffers::Create(IDirect3DDevice9* device,
                                              const tavMeshVertex* vertices,
                                              uint32_t newVertexCount, const uint16_t* indices,
                                              uint32_t newIndexCount)
{
    Release();
    if (!device || newVertexCount == 0 ||
        FAILED(device->CreateVertexBuffer(newVertexCount * sizeof(tavMeshVertex),
                                          D3DUSAGE_WRITEONLY, StaticFVF, D3DPOOL_MANAGED,
                                          &vertexBuffer, nullptr)))
    {
        vertexBuffer = nullptr;
        return VertexBufferNotCreated;
    }
    void* target = nullptr;
    if (FAILED(vertexBuffer->Lock(0, 0, &target, D3DLOCK_DISCARD)) || !target)
    {
        Release();
        return VertexBufferNotLocked;
    }
    std::memcpy(target, vertices, newVertexCount * sizeof(tavMeshVertex));
    vertexBuffer->Unlock();
    // An index buffer of no indices cannot be made; two bytes stand in.
    const UINT bytes = newIndexCount ? newIndexCount * 2 : 2;
    if (FAILED(device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                         &indexBuffer, nullptr)))
    {
        indexBuffer = nullptr;
        Release();
        return IndexBufferNotCreated;
    }
    if (FAILED(indexBuffer->Lock(0, 0, &target, D3DLOCK_DISCARD)) || !target)
    {
        Release();
        return IndexBufferNotLocked;
    }
    std::memset(target, 0, bytes);
    if (newIndexCount) std::memcpy(target, indices, newIndexCount * 2);
    indexBuffer->Unlock();
    vertexCount = newVertexCount;
    indexCount = newIndexCount;
    return Done;
}

void tavMeshBuffers::Release()
{
    if (vertexBuffer) vertexBuffer->Release();
    if (indexBuffer) indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    vertexCount = indexCount = 0;
}

void tavMeshBuffers::Bind(IDirect3DDevice9* device) const
{
    device->SetFVF(StaticFVF);
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(tavMeshVertex));
    device->SetIndices(indexBuffer);
}

uint32_t tavMeshBuffers::Draw(IDirect3DDevice9* device, const tavMeshPart& part) const
{
    if (!vertexBuffer || part.faceCount == 0 || part.vertexStart >= vertexCount ||
        (uint64_t(part.faceStart) + part.faceCount) * 3 > indexCount)
        return 0;
    const UINT room = vertexCount - part.vertexStart;
    const UINT lowest = part.lowestIndex < room ? part.lowestIndex : 0;
    UINT count = part.vertexCount;
    if (count == 0 || count > room - lowest) count = room - lowest;
    if (FAILED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, INT(part.vertexStart), lowest,
                                            count, part.faceStart * 3, part.faceCount)))
        return 0;
    return part.faceCount;
}

tavMeshVertex* tavMeshBuffers::LockVertexBuffer(DWORD flags)
{
    void* p = nullptr;
    if (!vertexBuffer || FAILED(vertexBuffer->Lock(0, 0, &p, flags))) return nullptr;
    return static_cast<tavMeshVertex*>(p);
}

void tavMeshBuffers::UnlockVertexBuffer()
{
    if (vertexBuffer) vertexBuffer->Unlock();
}

uint16_t* tavMeshBuffers::LockIndexBuffer(DWORD flags)
{
    void* p = nullptr;
    if (!indexBuffer || FAILED(indexBuffer->Lock(0, 0, &p, flags))) return nullptr;
    return static_cast<uint16_t*>(p);
}

void tavMeshBuffers::UnlockIndexBuffer()
{
    if (indexBuffer) indexBuffer->Unlock();
}

bool tavMeshBuffers::Read(std::vector<tavMeshVertex>& vertices, std::vector<uint16_t>& indices)
{
    const tavMeshVertex* v = LockVertexBuffer(D3DLOCK_READONLY);
    if (!v) return false;
    vertices.assign(v, v + vertexCount);
    UnlockVertexBuffer();
    const uint16_t* i = LockIndexBuffer(D3DLOCK_READONLY);
    if (!i) return false;
    indices.assign(i, i + indexCount);
    UnlockIndexBuffer();
    return true;
}

tavMaterial tavMaterialFromData(TAV* engine, const tavMaterialData& data, const char* folder)
{
    tavMaterial m;
    m.material.Ambient = Colour(data.ambient);
    m.material.Diffuse = Colour(data.diffuse);
    m.material.Emissive = Colour(data.emissive);
    m.material.Specular = Colour(data.specular);
    m.material.Power = data.power;
    m.shininess = data.shininess;
    m.name = data.name;
    for (size_t slot = 0; slot < data.textures.size() && slot < tavMaterial::MaxTextures; ++slot)
    {
        const std::string path = std::string(folder ? folder : "") + data.textures[slot];
        m.textures[slot] = engine->LoadTexture(path.c_str(), 0, MeshMipLevels);
    }
    return m;
}

tavMaterialData tavMaterialToData(TAV* engine, const tavMaterial& material)
{
    tavMaterialData d;
    Colour(material.material.Ambient, d.ambient);
    Colour(material.material.Diffuse, d.diffuse);
    Colour(material.material.Emissive, d.emissive);
    Colour(material.material.Specular, d.specular);
    d.power = material.material.Power;
    d.shininess = material.shininess;
    d.name = material.name;
    for (int slot = 0; slot < material.GetTextureCount(); ++slot)
    {
        std::string name;
        engine->GetTextureName(material.textures[slot], name);
        d.textures.push_back(tavTextureFileName(name));
    }
    return d;
}
