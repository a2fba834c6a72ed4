#include "graphics/tavTexPool.h"

#include "core/TAV.h"

#include <cctype>
#include <new>

namespace
{
bool IsFileKind(int kind)
{
    return kind == TAV_TEX_FILE || kind == TAV_TEX_CUBE_FILE || kind == TAV_TEX_FILE_ALT;
}

bool IsResourceKind(int kind)
{
    return kind == TAV_TEX_RESOURCE || kind == TAV_TEX_CUBE_RESOURCE ||
           kind == TAV_TEX_RESOURCE_ALT;
}

// Resources are looked up by integer id in the program's own module.
const char* ResourceName(DWORD id)
{
    return MAKEINTRESOURCEA(id & 0xFFFF);
}

const D3DCOLOR ReportColour = 0xFFFFFFB8;
const D3DCOLOR LoadedColour = 0xFF00FF00;
const D3DCOLOR FailedColour = 0xFFFF0000;
} // namespace

tavTexPool::tavTexPool()
    : owner(nullptr), lastTexture(-1), lastStage(-1), availableMemory(0), imageFilter(D3DX_DEFAULT),
      mipFilter(D3DX_DEFAULT), memoryPool(D3DPOOL_MANAGED), failedCount(0)
{
}

tavTexPool::~tavTexPool()
{
    for (tavTexEntry* entry : slots)
        DeleteEntry(entry);
    slots.clear();
    failures.clear();
}

void tavTexPool::DeleteEntry(tavTexEntry* entry)
{
    if (!entry) return;
    if (entry->texture) entry->texture->Release();
    entry->~tavTexEntry();
    HeapFree(GetProcessHeap(), 0, entry);
}

IDirect3DDevice9* tavTexPool::Device() const
{
    return owner ? owner->GetDevice() : nullptr;
}

void tavTexPool::Attach(TAV* engine)
{
    owner = engine;
    IDirect3DDevice9* device = Device();
    availableMemory = device ? device->GetAvailableTextureMem() : 0;
}

void tavTexPool::SetFilters(DWORD filter, DWORD mip)
{
    imageFilter = filter;
    mipFilter = mip;
}

std::string tavTexPool::NormaliseName(const char* fileName)
{
    std::string name = fileName ? fileName : "";
    for (char& c : name)
        c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

int tavTexPool::FindTexture(std::string& name, DWORD resourceId, int kind) const
{
    name = NormaliseName(name.c_str());
    if (kind == TAV_TEX_DYNAMIC) return -1;
    for (size_t i = 0; i < slots.size(); ++i)
    {
        const tavTexEntry* e = slots[i];
        if (!e || e->kind != kind) continue;
        if (IsFileKind(kind) ? e->name == name : e->resourceId == resourceId) return int(i);
    }
    return -1;
}

// ---- Loading -------------------------------------------------------------------

IDirect3DBaseTexture9* tavTexPool::CreateFromEntry(const tavTexEntry& e, D3DXIMAGE_INFO* info) const
{
    IDirect3DDevice9* device = Device();
    if (!device) return nullptr;
    const UINT size = D3DX_DEFAULT;
    IDirect3DTexture9* flat = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    switch (e.kind)
    {
    case TAV_TEX_FILE:
    case TAV_TEX_FILE_ALT:
        D3DXCreateTextureFromFileExA(device, e.name.c_str(), size, size, e.mipLevels, 0,
                                     D3DFMT_UNKNOWN, memoryPool, e.filter, e.mipFilter, e.colourKey,
                                     info, nullptr, &flat);
        return flat;
    case TAV_TEX_RESOURCE:
    case TAV_TEX_RESOURCE_ALT:
        D3DXCreateTextureFromResourceExA(device, nullptr, ResourceName(e.resourceId), size, size,
                                         e.mipLevels, 0, D3DFMT_UNKNOWN, memoryPool, e.filter,
                                         e.mipFilter, e.colourKey, info, nullptr, &flat);
        return flat;
    case TAV_TEX_CUBE_FILE:
        D3DXCreateCubeTextureFromFileExA(device, e.name.c_str(), size, e.mipLevels, 0,
                                         D3DFMT_UNKNOWN, memoryPool, e.filter, e.mipFilter,
                                         e.colourKey, info, nullptr, &cube);
        return cube;
    case TAV_TEX_CUBE_RESOURCE:
        D3DXCreateCubeTextureFromResourceExA(device, nullptr, ResourceName(e.resourceId), size,
                                             e.mipLevels, 0, D3DFMT_UNKNOWN, memoryPool, e.filter,
                                             e.mipFilter, e.colourKey, info, nullptr, &cube);
        return cube;
    case TAV_TEX_DYNAMIC:
        D3DXCreateTexture(device, e.imageInfo.Width, e.imageInfo.Height, 1, D3DUSAGE_RENDERTARGET,
                          D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &flat);
        return flat;
    default:
        return nullptr;
    }
}

int tavTexPool::Load(int kind, const char* fileName, DWORD resourceId, D3DCOLOR colourKey,
                     UINT mipLevels, DWORD filter, DWORD mip)
{
    std::string name = IsFileKind(kind) ? NormaliseName(fileName) : std::string();
    const int found = FindTexture(name, resourceId, kind);
    if (found >= 0) return found;
    tavTexEntry request = {};
    request.name = name;
    request.resourceId = resourceId;
    request.kind = kind;
    request.colourKey = colourKey;
    request.mipLevels = mipLevels;
    request.filter = filter;
    request.mipFilter = mip;
    D3DXIMAGE_INFO info = {};
    IDirect3DBaseTexture9* texture = CreateFromEntry(request, &info);
    return AddEntry(texture, info, name, resourceId, kind, colourKey, filter, mip, mipLevels);
}

int tavTexPool::LoadTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_FILE, fileName, 0, colourKey, mipLevels, imageFilter, mipFilter);
}

int tavTexPool::LoadTextureFiltered(const char* fileName, D3DCOLOR colourKey, UINT mipLevels,
                                    DWORD filter)
{
    return Load(TAV_TEX_FILE, fileName, 0, colourKey, mipLevels, filter, filter);
}

int tavTexPool::LoadTextureFromResource(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_RESOURCE, nullptr, resourceId, colourKey, mipLevels, imageFilter,
                mipFilter);
}

int tavTexPool::LoadCubeTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_CUBE_FILE, fileName, 0, colourKey, mipLevels, imageFilter, mipFilter);
}

int tavTexPool::LoadCubeTextureFromResource(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_CUBE_RESOURCE, nullptr, resourceId, colourKey, mipLevels, imageFilter,
                mipFilter);
}

int tavTexPool::LoadTextureAlt(const char* fileName, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_FILE_ALT, fileName, 0, colourKey, mipLevels, imageFilter, mipFilter);
}

int tavTexPool::LoadTextureFromResourceAlt(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels)
{
    return Load(TAV_TEX_RESOURCE_ALT, nullptr, resourceId, colourKey, mipLevels, imageFilter,
                mipFilter);
}

int tavTexPool::CreateDynamicTexture(UINT width, UINT height, D3DCOLOR colourKey, UINT mipLevels)
{
    tavTexEntry request = {};
    request.kind = TAV_TEX_DYNAMIC;
    request.imageInfo.Width = width;
    request.imageInfo.Height = height;
    request.imageInfo.MipLevels = mipLevels;
    IDirect3DBaseTexture9* texture = CreateFromEntry(request, nullptr);
    return AddEntry(texture, request.imageInfo, std::string(), 0, TAV_TEX_DYNAMIC, colourKey,
                    imageFilter, mipFilter, mipLevels);
}

int tavTexPool::AddEntry(IDirect3DBaseTexture9* texture, const D3DXIMAGE_INFO& info,
                         const std::string& name, DWORD resourceId, int kind, D3DCOLOR colourKey,
                         DWORD filter, DWORD mip, UINT mipLevels)
{
    if (!texture)
    {
        failures.push_back(std::string("Failed: ") + (resourceId ? "Resource ID" : name));
        ++failedCount;
        return -1;
    }
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(tavTexEntry));
    if (!memory)
    {
        texture->Release();
        failures.push_back("Failed: out of memory for " + name);
        ++failedCount;
        return -1;
    }
    tavTexEntry* e = new (memory) tavTexEntry();
    e->texture = texture;
    e->imageInfo = info;
    e->filter = filter;
    e->mipFilter = mip;
    e->name = name;
    e->loadTime = GetTickCount();
    e->colourKey = colourKey;
    e->resourceId = resourceId;
    e->kind = kind;
    e->mipLevels = mipLevels;
    e->managed = memoryPool == D3DPOOL_MANAGED && kind != TAV_TEX_DYNAMIC;
    slots.push_back(e);
    return int(slots.size()) - 1;
}

// ---- Use -----------------------------------------------------------------------

bool tavTexPool::IsValidTexture(int number) const
{
    return number >= 0 && number < int(slots.size()) && slots[size_t(number)] != nullptr;
}

bool tavTexPool::IsTextureLoaded(int number) const
{
    return IsValidTexture(number) && slots[size_t(number)]->texture != nullptr;
}

IDirect3DBaseTexture9* tavTexPool::GetTexture(int number) const
{
    return IsValidTexture(number) ? slots[size_t(number)]->texture : nullptr;
}

void tavTexPool::GetTextureInfo(int number, D3DXIMAGE_INFO& info) const
{
    if (number >= int(slots.size())) number = int(slots.size()) - 1;
    if (IsValidTexture(number)) info = slots[size_t(number)]->imageInfo;
}

std::string tavTexPool::DisplayName(const tavTexEntry& e)
{
    if (IsFileKind(e.kind)) return "\"" + e.name + "\"";
    if (IsResourceKind(e.kind)) return "Resource #" + std::to_string(e.resourceId);
    return std::string();
}

void tavTexPool::GetTextureName(int number, std::string& name) const
{
    if (IsValidTexture(number)) name = DisplayName(*slots[size_t(number)]);
}

void tavTexPool::SetTexture(int number, DWORD stage)
{
    IDirect3DDevice9* device = Device();
    if (!device) return;
    device->SetTexture(stage, nullptr);
    if (!IsValidTexture(number)) return;
    tavTexEntry* e = slots[size_t(number)];
    if (!e->texture)
    {
        if (e->kind == TAV_TEX_DYNAMIC) return;
        RestoreTexture(number);
    }
    device->SetTexture(stage, e->texture);
    lastTexture = number;
    lastStage = int(stage);
}

bool tavTexPool::RemoveTexture(int number)
{
    if (!IsValidTexture(number)) return false;
    DeleteEntry(slots[size_t(number)]);
    slots[size_t(number)] = nullptr;
    if (lastTexture == number) lastTexture = -1;
    return true;
}

// ---- Device loss -----------------------------------------------------------------

void tavTexPool::InvalidateTexture(int number)
{
    if (!IsValidTexture(number)) return;
    tavTexEntry* e = slots[size_t(number)];
    if (e->managed || !e->texture) return;
    e->texture->Release();
    e->texture = nullptr;
}

void tavTexPool::InvalidateAll()
{
    for (int i = 0; i < int(slots.size()); ++i)
        InvalidateTexture(i);
}

void tavTexPool::ReleaseAll()
{
    for (tavTexEntry* e : slots)
    {
        if (e && e->texture)
        {
            e->texture->Release();
            e->texture = nullptr;
        }
    }
}

void tavTexPool::RestoreTexture(int number)
{
    if (!IsValidTexture(number)) return;
    tavTexEntry* e = slots[size_t(number)];
    // A managed texture survives device loss by itself: nothing to do, even
    // when ReleaseAll took it (it is gone then until it is loaded anew).
    if (e->managed) return;
    if (e->texture) e->texture->Release();
    e->texture = CreateFromEntry(*e, nullptr);
}

void tavTexPool::RestoreAll()
{
    for (int i = 0; i < int(slots.size()); ++i)
        RestoreTexture(i);
}

// ---- Report ----------------------------------------------------------------------

void tavTexPool::PrintReport(tavConsole& console) const
{
    console.Printf(ReportColour, "=== Texture Pool Statistics ===");
    for (size_t i = 0; i < slots.size(); ++i)
    {
        const tavTexEntry* e = slots[i];
        if (!e) continue;
        const std::string name = DisplayName(*e);
        const D3DXIMAGE_INFO& info = e->imageInfo;
        if (info.Width == 0 || info.Height == 0)
        {
            console.Printf(FailedColour, "#%d FAILED %s", int(i), name.c_str());
            continue;
        }
        console.Printf(e->texture ? LoadedColour : ReportColour,
                       "#%d%s %s %dx%d Mip:%d Fmt:%d Dpth:%d t:%d", int(i),
                       e->texture ? " L " : " F ", name.c_str(), int(info.Width), int(info.Height),
                       int(info.MipLevels), int(info.Format), int(info.Depth), e->kind);
    }
    IDirect3DDevice9* device = Device();
    const DWORD nowAvailable = device ? device->GetAvailableTextureMem() : availableMemory;
    console.Printf(ReportColour, "Number of Textures: %d", int(slots.size()));
    console.Printf(ReportColour, "%.3f MB Available Texture Memory", availableMemory * 0.000001);
    console.Printf(ReportColour, "%.3f MB used by textures",
                   DWORD(availableMemory - nowAvailable) * 0.000001);
    console.Printf(ReportColour, "%.3f KB used by pool", double(slots.size() * 64) * 0.001);
    console.Printf(ReportColour, "%d textures failed to load.", int(failedCount));
    for (const std::string& failure : failures)
        console.Printf(FailedColour, "%s", failure.c_str());
}

void TAV::ReportTexturePool()
{
    PrintReport(*this);
}
