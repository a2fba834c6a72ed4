#include "graphics/tavMeshModel.h"

#include "core/TAV.h"

#include <cmath>
#include <new>
#include <vector>

namespace
{
const float InversePi = 0.31830987f;

// asin of a normal component a rounding step past 1 would be NaN.
float Asin(float x)
{
    return std::asin(x > 1.0f ? 1.0f : (x < -1.0f ? -1.0f : x));
}
} // namespace

tavMeshModel::tavMeshModel(TAV* e)
    : engine(e), mesh(nullptr), source(None), materialCount(0), materials(nullptr), radius(0),
      boxWidth(0), boxHeight(0), boxDepth(0), slices(0), stacks(0), sphereMapping(false),
      texture(-1)
{
}

tavMeshModel::~tavMeshModel()
{
    Clear();
}

void tavMeshModel::Clear()
{
    if (mesh) mesh->Release();
    mesh = nullptr;
    delete[] materials;
    materials = nullptr;
    materialCount = 0;
}

// ---- .x files ----

bool tavMeshModel::LoadFromX(const char* file, const char* folder)
{
    Clear();
    source = FromX;
    fileName = file ? file : "";
    textureFolder = folder ? folder : "";
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device || fileName.empty()) return false;
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD count = 0;
    if (FAILED(D3DXLoadMeshFromXA(fileName.c_str(), D3DXMESH_MANAGED, device, nullptr,
                                  &materialBuffer, nullptr, &count, &mesh)) ||
        !mesh)
        mesh = nullptr;
    const bool loaded = mesh && LoadMaterials(materialBuffer, count) && FinishLoadedMesh();
    if (materialBuffer) materialBuffer->Release();
    if (!loaded) Clear();
    return loaded;
}

bool tavMeshModel::LoadMaterials(ID3DXBuffer* buffer, DWORD count)
{
    // The count comes from the file; the buffer holds what D3DX really made.
    const DWORD held = buffer ? DWORD(buffer->GetBufferSize() / sizeof(D3DXMATERIAL)) : 0;
    if (count > held) count = held;
    if (count == 0) return true;
    materials = new (std::nothrow) tavMaterial[count];
    if (!materials) return false;
    materialCount = count;
    const D3DXMATERIAL* read = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    for (DWORD i = 0; i < count; ++i)
    {
        tavMaterial& m = materials[i];
        m.material = read[i].MatD3D;
        m.material.Ambient = m.material.Diffuse;
        const char* textureFile = read[i].pTextureFilename;
        m.textures[0] =
            textureFile && *textureFile
                ? engine->LoadTexture(TexturePath(textureFile).c_str(), 0, engine->MipLevels())
                : -1;
    }
    return true;
}

std::string tavMeshModel::TexturePath(const char* textureFile) const
{
    return textureFolder.empty() ? std::string(textureFile) : textureFolder + textureFile;
}

bool tavMeshModel::ToStaticLayout()
{
    ID3DXMesh* clone = nullptr;
    const HRESULT hr = mesh->CloneMeshFVF(D3DXMESH_MANAGED, FVF, engine->GetDevice(), &clone);
    mesh->Release();
    mesh = SUCCEEDED(hr) ? clone : nullptr;
    return mesh != nullptr;
}

bool tavMeshModel::FinishLoadedMesh()
{
    if (!ToStaticLayout()) return false;
    // A face naming a vertex the file never gave would send the normal
    // computation past the vertex buffer.
    const uint16_t* indices = LockIndexBuffer(D3DLOCK_READONLY);
    if (!indices) return false;
    const uint32_t indexCount = GetNumFaces() * 3, vertexCount = GetNumVertices();
    bool inRange = true;
    for (uint32_t i = 0; i < indexCount && inRange; ++i)
        inRange = indices[i] < vertexCount;
    UnlockIndexBuffer();
    if (!inRange) return false;
    std::vector<DWORD> adjacency(size_t(GetNumFaces()) * 3);
    const bool adjacent = SUCCEEDED(mesh->GenerateAdjacency(0.01f, adjacency.data()));
    D3DXComputeNormals(mesh, adjacent ? adjacency.data() : nullptr);
    if (adjacent)
        mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, adjacency.data(), nullptr, nullptr, nullptr);
    return true;
}

// ---- Generated shapes ----

bool tavMeshModel::CreateSphere(float r, uint32_t sliceCount, uint32_t stackCount, int tex,
                                bool sphereRule)
{
    Clear();
    source = Sphere;
    radius = r;
    slices = sliceCount;
    stacks = stackCount;
    texture = tex;
    sphereMapping = sphereRule;
    // Poles plus a ring per inner stack, within 16-bit indices.
    const uint64_t vertices = 2 + uint64_t(slices) * (stacks > 0 ? stacks - 1 : 0);
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    ID3DXMesh* made = nullptr;
    if (!device || !(r > 0.0f) || vertices > 0xFFFF ||
        FAILED(D3DXCreateSphere(device, r, slices, stacks, &made, nullptr)))
        return false;
    return CreateShape(made, tex, sphereRule);
}

bool tavMeshModel::CreateTeapot(int tex, bool sphereRule)
{
    Clear();
    source = Teapot;
    texture = tex;
    sphereMapping = sphereRule;
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    ID3DXMesh* made = nullptr;
    if (!device || FAILED(D3DXCreateTeapot(device, &made, nullptr))) return false;
    return CreateShape(made, tex, sphereRule);
}

bool tavMeshModel::CreateBox(float width, float height, float depth, int tex)
{
    Clear();
    source = Box;
    boxWidth = width;
    boxHeight = height;
    boxDepth = depth;
    texture = tex;
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    ID3DXMesh* made = nullptr;
    if (!device || !(width > 0.0f) || !(height > 0.0f) || !(depth > 0.0f) ||
        FAILED(D3DXCreateBox(device, width, height, depth, &made, nullptr)))
        return false;
    return CreateShape(made, tex, false);
}

bool tavMeshModel::CreateShape(ID3DXMesh* made, int tex, bool sphereRule)
{
    mesh = made;
    if (!made || !ToStaticLayout()) return false;
    D3DXComputeNormals(mesh, nullptr);
    if (!SetTextureCoordinates(sphereRule))
    {
        Clear();
        return false;
    }
    materials = new (std::nothrow) tavMaterial[1];
    if (!materials)
    {
        Clear();
        return false;
    }
    materials[0].textures[0] = tex;
    materialCount = 1;
    return true;
}

bool tavMeshModel::SetTextureCoordinates(bool sphereRule)
{
    Vertex* v = LockVertexBuffer(0);
    if (!v) return false;
    for (uint32_t i = 0, n = GetNumVertices(); i < n; ++i)
    {
        const D3DXVECTOR3& normal = v[i].normal;
        if (sphereRule)
        {
            v[i].u = Asin(normal.x) * InversePi + 0.5f;
            v[i].v = Asin(normal.y) * InversePi + 0.5f;
        }
        else
        {
            v[i].u = normal.x * 0.5f + 0.5f;
            v[i].v = normal.y * 0.5f + 0.5f;
        }
    }
    UnlockVertexBuffer();
    return true;
}

bool tavMeshModel::Recreate()
{
    switch (source)
    {
    case FromX:
    {
        // LoadFromX stores its arguments over the ones passed in.
        const std::string file = fileName, folder = textureFolder;
        return LoadFromX(file.c_str(), folder.c_str());
    }
    case Sphere:
        return CreateSphere(radius, slices, stacks, texture, sphereMapping);
    case Teapot:
        return CreateTeapot(texture, sphereMapping);
    case Box:
        return CreateBox(boxWidth, boxHeight, boxDepth, texture);
    default:
        return false;
    }
}

// ---- Drawing ----

uint32_t tavMeshModel::Draw()
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!mesh || !device) return 0;
    device->SetFVF(FVF);
    for (uint32_t i = 0; i < materialCount; ++i)
    {
        if (materials)
        {
            device->SetMaterial(&materials[i].material);
            engine->SetTexture(materials[i].textures[0], 0);
        }
        mesh->DrawSubset(i);
    }
    return mesh->GetNumFaces();
}

// ---- Buffers and counts ----

tavMeshModel::Vertex* tavMeshModel::LockVertexBuffer(DWORD flags)
{
    void* data = nullptr;
    if (!mesh || FAILED(mesh->LockVertexBuffer(flags, &data))) return nullptr;
    return static_cast<Vertex*>(data);
}

void tavMeshModel::UnlockVertexBuffer()
{
    if (mesh) mesh->UnlockVertexBuffer();
}

uint16_t* tavMeshModel::LockIndexBuffer(DWORD flags)
{
    void* data = nullptr;
    if (!mesh || (mesh->GetOptions() & D3DXMESH_32BIT) ||
        FAILED(mesh->LockIndexBuffer(flags, &data)))
        return nullptr;
    return static_cast<uint16_t*>(data);
}

void tavMeshModel::UnlockIndexBuffer()
{
    if (mesh) mesh->UnlockIndexBuffer();
}

uint32_t tavMeshModel::GetNumVertices() const
{
    return mesh ? mesh->GetNumVertices() : 0;
}

uint32_t tavMeshModel::GetNumFaces() const
{
    return mesh ? mesh->GetNumFaces() : 0;
}

// ---- Materials ----

tavMaterial* tavMeshModel::GetMaterial(uint32_t index) const
{
    return materials && index < materialCount ? &materials[index] : nullptr;
}

void tavMeshModel::SetMaterialTexture(int tex, uint32_t index)
{
    if (tavMaterial* m = GetMaterial(index)) m->textures[0] = tex;
}

void tavMeshModel::RemoveMaterialTexture(uint32_t index)
{
    if (const tavMaterial* m = GetMaterial(index)) engine->RemoveTexture(m->textures[0]);
}

// ---- Bounds ----

bool tavMeshModel::ComputeBounds(tavBoundingBox& box, tavOrientedBox& oriented, float* sphereRadius)
{
    const Vertex* v = LockVertexBuffer(0);
    if (!v) return false;
    const uint32_t count = GetNumVertices();
    D3DXComputeBoundingBox(&v->position, count, sizeof(Vertex), &box.min, &box.max);
    if (sphereRadius)
    {
        D3DXVECTOR3 centre;
        D3DXComputeBoundingSphere(&v->position, count, sizeof(Vertex), &centre, sphereRadius);
    }
    UnlockVertexBuffer();
    const D3DXVECTOR3 centroid = (box.min + box.max) * 0.5f;
    const D3DXVECTOR3 half = box.max - centroid;
    oriented = tavOrientedBox();
    for (int i = 0; i < 3; ++i)
    {
        oriented.centroid[i] = centroid[i];
        oriented.halfExtents[i] = half[i];
    }
    return true;
}
