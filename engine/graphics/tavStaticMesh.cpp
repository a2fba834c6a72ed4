#include "graphics/tavStaticMesh.h"

#include "core/TAV.h"
#include "graphics/tav3dsReader.h"
#include "graphics/tavMeshBytes.h"
#include "graphics/tavObjReader.h"

namespace
{
std::string Red(const std::string& text)
{
    return "<font color=\"red\">" + text + "</font>";
}

const char* BufferFailure(tavMeshBuffers::Result r)
{
    switch (r)
    {
    case tavMeshBuffers::VertexBufferNotLocked:
        return "Failed locking the vertex buffer";
    case tavMeshBuffers::IndexBufferNotLocked:
        return "Failed locking the index buffer";
    default:
        return "Failed creating the vertex buffer"; // the index buffer's too, as ever
    }
}
} // namespace

tavStaticMesh::tavStaticMesh(TAV* engine) : engine(engine), version(0)
{
}

tavStaticMesh::~tavStaticMesh()
{
    Clear();
}

void tavStaticMesh::Clear()
{
    buffers.Release();
    parts.clear();
    partFits.clear();
    materials.clear();
    bounds = tavMeshBounds();
    version = 0;
}

bool tavStaticMesh::Fill(const tavStaticMeshData& data, std::vector<tavMaterial> engineMaterials,
                         bool logImport)
{
    const tavMeshBuffers::Result made = buffers.Create(
        engine ? engine->GetDevice() : nullptr, data.vertices.data(),
        uint32_t(data.vertices.size()), data.indices.data(), uint32_t(data.indices.size()));
    if (made != tavMeshBuffers::Done)
    {
        if (logImport) engine->Write(Red(BufferFailure(made)));
        Clear();
        return false;
    }
    parts = data.parts;
    for (const tavMeshPart& p : parts)
        partFits.push_back(tavPartFits(p, data.vertices, data.indices));
    materials = std::move(engineMaterials);
    bounds = data.bounds;
    version = tavMeshFile::StaticVersion;
    return true;
}

bool tavStaticMesh::Load(const char* fileName, const char* textureFolder)
{
    Clear();
    const char* name = fileName ? fileName : "";
    tavStaticMeshData data;
    std::string why;
    const tavMeshFileResult read = tavMeshFile::LoadStatic(fileName, FileOrder(), data, &why);
    if (read == tavMeshFileResult::CannotOpen)
    {
        engine->Write(Red(std::string("Error Opening Static Mesh: ") + name));
        return false;
    }
    if (read != tavMeshFileResult::Ok)
    {
        const std::string reason = read == tavMeshFileResult::Damaged ? " (" + why + ")" : "";
        engine->Write(Red(std::string("Invalid Static Mesh File: ") + name + reason));
        return false;
    }
    if (FileOrder() == tavMeshFile::Simple) data.bounds = tavComputeBounds(data.vertices);
    std::vector<tavMaterial> loaded;
    for (const tavMaterialData& m : data.materials)
        loaded.push_back(tavMaterialFromData(engine, m, textureFolder));
    if (!Fill(data, std::move(loaded), false))
    {
        engine->Write(Red(std::string("Invalid Static Mesh File: ") + name +
                          " (its buffers could not be made)"));
        return false;
    }
    return true;
}

void tavStaticMesh::Save(const char* fileName)
{
    if (version == 0) return;
    tavStaticMeshData data;
    if (!buffers.Read(data.vertices, data.indices)) return;
    data.version = version;
    data.parts = parts;
    for (const tavMaterial& m : materials)
        data.materials.push_back(tavMaterialToData(engine, m));
    data.bounds = bounds;
    tavWriteWholeFile(fileName, tavMeshFile::WriteStatic(data, FileOrder()));
}

bool tavStaticMesh::FinishImport(const tavStaticMeshData& data, const char* textureFolder)
{
    engine->Write("Copying");
    std::vector<tavMaterial> loaded;
    for (const tavMaterialData& m : data.materials)
        loaded.push_back(tavMaterialFromData(engine, m, textureFolder));
    if (!Fill(data, std::move(loaded), true)) return false;
    engine->WriteValue("Successfully copied verts: ", uint32_t(data.vertices.size()));
    engine->WriteValue("Successfully copied indices: ", uint32_t(data.indices.size()));
    if (materials.empty())
        engine->Write("No materials to copy.");
    else
        engine->WriteValue("Successfully copied materials: ", uint32_t(materials.size()));
    if (parts.empty())
        engine->Write("No parts to copy.");
    else
        engine->WriteValue("Successfully copied parts: ", uint32_t(parts.size()));
    return true;
}

bool tavStaticMesh::Import3DS(const char* fileName, const char* textureFolder)
{
    Clear();
    tav3dsReader reader;
    const bool opened = reader.Read(fileName);
    for (const std::string& line : reader.log)
        engine->Write(opened ? line : Red(line));
    return opened && FinishImport(reader.mesh, textureFolder);
}

bool tavStaticMesh::ImportOBJ(const char* fileName)
{
    Clear();
    tavObjReader reader;
    const bool opened = reader.Read(fileName);
    for (const std::string& line : reader.log)
        engine->Write(opened ? line : Red(line));
    return opened && FinishImport(reader.mesh, nullptr);
}

namespace
{
// The .x file's materials, textures loaded from `folder`.
std::vector<tavMaterial> XMaterials(TAV* engine, ID3DXBuffer* buffer, DWORD count,
                                    const std::string& folder)
{
    std::vector<tavMaterial> out;
    const D3DXMATERIAL* x =
        buffer ? static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; x && i < count; ++i)
    {
        tavMaterial m;
        m.material = x[i].MatD3D;
        m.material.Ambient = m.material.Diffuse;
        if (x[i].pTextureFilename && *x[i].pTextureFilename)
            m.textures[0] = engine->LoadTexture((folder + x[i].pTextureFilename).c_str(), 0, 9);
        out.push_back(m);
    }
    return out;
}

// The loaded mesh in the static layout, normals recomputed and faces
// sorted by material; null on failure (`loaded` is released either way).
ID3DXMesh* StaticLayout(ID3DXMesh* loaded, IDirect3DDevice9* device)
{
    ID3DXMesh* mesh = nullptr;
    const HRESULT cloned = loaded->CloneMeshFVF(
        D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device, &mesh);
    loaded->Release();
    if (FAILED(cloned)) return nullptr;
    std::vector<DWORD> adjacency(size_t(mesh->GetNumFaces()) * 3);
    if (FAILED(D3DXComputeNormals(mesh, nullptr)) ||
        FAILED(mesh->GenerateAdjacency(0.01f, adjacency.data())) ||
        FAILED(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, adjacency.data(), nullptr, nullptr,
                                     nullptr)))
    {
        mesh->Release();
        return nullptr;
    }
    return mesh;
}

// Vertices, indices and one part per attribute range of a mesh in the
// static layout with 16-bit indices. D3DX numbers the indices from the
// mesh's first vertex; a part record draws from its own first vertex, so
// each range's indices are counted from there.
bool XData(ID3DXMesh* mesh, tavStaticMeshData& data)
{
    if (mesh->GetOptions() & D3DXMESH_32BIT) return false;
    DWORD ranges = 0;
    mesh->GetAttributeTable(nullptr, &ranges);
    std::vector<D3DXATTRIBUTERANGE> table(ranges);
    void* vertices = nullptr;
    void* indices = nullptr;
    if ((ranges && FAILED(mesh->GetAttributeTable(table.data(), &ranges))) ||
        FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)))
        return false;
    const tavMeshVertex* v = static_cast<const tavMeshVertex*>(vertices);
    data.vertices.assign(v, v + mesh->GetNumVertices());
    mesh->UnlockVertexBuffer();
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices))) return false;
    const uint16_t* i = static_cast<const uint16_t*>(indices);
    data.indices.assign(i, i + size_t(mesh->GetNumFaces()) * 3);
    mesh->UnlockIndexBuffer();
    for (const D3DXATTRIBUTERANGE& r : table)
    {
        tavMeshPart part;
        part.material = r.AttribId;
        part.faceCount = r.FaceCount;
        part.faceStart = r.FaceStart;
        part.vertexCount = r.VertexCount;
        part.vertexStart = r.VertexStart;
        for (size_t k = size_t(r.FaceStart) * 3; k < size_t(r.FaceStart + r.FaceCount) * 3; ++k)
            data.indices[k] = uint16_t(data.indices[k] - r.VertexStart);
        part.lowestIndex = tavLowestIndex(part, data.indices);
        data.parts.push_back(part);
    }
    return true;
}
} // namespace

bool tavStaticMesh::ImportX(const char* fileName, const char* textureFolder)
{
    Clear();
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    ID3DXMesh* loaded = nullptr;
    ID3DXBuffer* buffer = nullptr;
    DWORD count = 0;
    if (!device || !fileName ||
        FAILED(D3DXLoadMeshFromXA(fileName, D3DXMESH_MANAGED, device, nullptr, &buffer, nullptr,
                                  &count, &loaded)))
        return false;
    const std::string folder = textureFolder && *textureFolder ? textureFolder : "./";
    std::vector<tavMaterial> xMaterials = XMaterials(engine, buffer, count, folder);
    if (buffer) buffer->Release();
    ID3DXMesh* mesh = StaticLayout(loaded, device);
    tavStaticMeshData data;
    const bool read = mesh && XData(mesh, data);
    if (mesh) mesh->Release();
    if (!read) return false;
    data.bounds = tavComputeBounds(data.vertices);
    return Fill(data, std::move(xMaterials), false);
}

bool tavStaticMesh::ImportFromMemory(const tavMeshVertex* vertices, uint32_t vertexCount,
                                     const uint16_t* indices, uint32_t indexCount,
                                     const tavMaterial* given, uint32_t materialCount,
                                     const tavMeshPart* givenParts, uint32_t partCount)
{
    Clear();
    if (!vertices || (!indices && indexCount) || (!given && materialCount) ||
        (!givenParts && partCount))
        return false;
    tavStaticMeshData data;
    data.vertices.assign(vertices, vertices + vertexCount);
    data.indices.assign(indices, indices + indexCount);
    data.parts.assign(givenParts, givenParts + partCount);
    for (tavMeshPart& p : data.parts)
        p.lowestIndex = tavLowestIndex(p, data.indices);
    data.bounds = tavComputeBounds(data.vertices);
    return Fill(data, std::vector<tavMaterial>(given, given + materialCount), false);
}

uint32_t tavStaticMesh::DrawPart(const tavMeshPart& part)
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device || version == 0) return 0;
    buffers.Bind(device);
    return buffers.Draw(device, part);
}

uint32_t tavStaticMesh::Draw()
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device || version == 0) return 0;
    const tavMaterial plain;
    uint32_t faces = 0;
    for (size_t i = 0; i < parts.size(); ++i)
    {
        if (!partFits[i]) continue;
        const uint32_t m = parts[i].material;
        (m < materials.size() ? materials[m] : plain).Apply(engine);
        buffers.Bind(device);
        faces += buffers.Draw(device, parts[i]);
    }
    return faces;
}

void tavStaticMesh::GetBox(tavBoundingBox& box) const
{
    box.min = D3DXVECTOR3(bounds.boxMin);
    box.max = D3DXVECTOR3(bounds.boxMax);
}

void tavStaticMesh::GetOrientedBox(tavOrientedBox& box) const
{
    box = tavOrientedBox();
    for (int a = 0; a < 3; ++a)
    {
        box.centroid[a] = bounds.centroid[a];
        box.halfExtents[a] = bounds.halfExtents[a];
    }
}

void tavStaticMesh::GetSphere(tavBoundingSphere& sphere) const
{
    sphere = tavBoundingSphere();
    for (int i = 0; i < 3; ++i)
        sphere.centre[i] = bounds.centroid[i];
    sphere.radius = bounds.radius;
    sphere.empty = false;
}

const tavMeshPart* tavStaticMesh::GetPart(uint32_t index) const
{
    return index < parts.size() ? &parts[index] : nullptr;
}

tavMaterial* tavStaticMesh::GetMaterial(uint32_t index)
{
    return index < materials.size() ? &materials[index] : nullptr;
}
