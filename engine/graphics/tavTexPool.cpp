#include "graphics/tavTexPool.h"

#include "core/TAV.h"

#include <cctype>
#include <new>

namespace
{
const int KindFile = 1;
const int KindDynamic = 5;
} // namespace

tavTexPool::tavTexPool()
    : owner(nullptr), lastTexture(-1), lastStage(-1), availableMemory(0), imageFilter(D3DX_DEFAULT),
      mipFilter(D3DX_DEFAULT), memoryPool(D3DPOOL_MANAGED), failedCount(0)
{
}

tavTexPool::~tavTexPool()
{
    for (tavTexEntry* entry : slots)
    {
        if (!entry)
            continue;
        if (entry->texture)
            entry->texture->Release();
        entry->~tavTexEntry();
        HeapFree(GetProcessHeap(), 0, entry);
    }
    slots.clear();
    failures.clear();
}

IDirect3DDevice9* tavTexPool::Device() const { return owner ? owner->GetDevice() : nullptr; }

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
    for (size_t i = 0; i < slots.size(); ++i)
    {
        const tavTexEntry* e = slots[i];
        if (!e || e->kind != kind || kind == KindDynamic)
            continue;
        const bool fileKind = kind == 1 || kind == 3 || kind == 6;
        if (fileKind ? e->name == name : e->resourceId == resourceId)
            return int(i);
    }
    return -1;
}

IDirect3DBaseTexture9* tavTexPool::CreateFromEntry(const tavTexEntry& e, D3DXIMAGE_INFO* info) const
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return nullptr;
    if (e.kind == KindDynamic)
    {
        IDirect3DTexture9* t = nullptr;
        D3DXCreateTexture(device, e.imageInfo.Width, e.imageInfo.Height, 1, D3DUSAGE_RENDERTARGET,
                          D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t);
        return t;
    }
    IDirect3DTexture9* t = nullptr;
    D3DXCreateTextureFromFileExA(device, e.name.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, e.mipLevels, 0,
                                 D3DFMT_UNKNOWN, memoryPool, e.filter, e.mipFilter, e.colourKey,
                                 info, nullptr, &t);
    return t;
}

int tavTexPool::LoadTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels)
{
    std::string name = NormaliseName(fileName);
    const int found = FindTexture(name, 0, KindFile);
    if (found >= 0)
        return found;
    tavTexEntry request;
    request.name = name;
    request.kind = KindFile;
    request.colourKey = colourKey;
    request.mipLevels = mipLevels;
    request.filter = imageFilter;
    request.mipFilter = mipFilter;
    D3DXIMAGE_INFO info = {};
    IDirect3DBaseTexture9* texture = CreateFromEntry(request, &info);
    return AddEntry(texture, info, name, 0, KindFile, colourKey, imageFilter, mipFilter, mipLevels);
}

int tavTexPool::LoadTextureFiltered(const char* fileName, D3DCOLOR colourKey, UINT mipLevels,
                                    DWORD filter)
{
    const DWORD keptImage = imageFilter, keptMip = mipFilter;
    imageFilter = mipFilter = filter;
    const int number = LoadTexture(fileName, colourKey, mipLevels);
    imageFilter = keptImage;
    mipFilter = keptMip;
    return number;
}

bool tavTexPool::RemoveTexture(int number)
{
    if (!IsValidTexture(number))
        return false;
    tavTexEntry* e = slots[size_t(number)];
    if (e->texture)
        e->texture->Release();
    e->~tavTexEntry();
    HeapFree(GetProcessHeap(), 0, e);
    slots[size_t(number)] = nullptr;
    return true;
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
    e->managed = memoryPool == D3DPOOL_MANAGED && kind != KindDynamic;
    slots.push_back(e);
    return int(slots.size()) - 1;
}

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

void tavTexPool::SetTexture(int number, DWORD stage)
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return;
    device->SetTexture(stage, nullptr);
    if (!IsValidTexture(number))
        return;
    tavTexEntry* e = slots[size_t(number)];
    if (!e->texture)
    {
        if (e->kind == KindDynamic)
            return;
        RestoreTexture(number);
    }
    device->SetTexture(stage, e->texture);
    lastTexture = number;
    lastStage = int(stage);
}

void tavTexPool::InvalidateTexture(int number)
{
    if (!IsValidTexture(number))
        return;
    tavTexEntry* e = slots[size_t(number)];
    if (e->managed || !e->texture)
        return;
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
    if (!IsValidTexture(number))
        return;
    tavTexEntry* e = slots[size_t(number)];
    if (e->managed && e->texture)
        return;
    if (e->texture)
        e->texture->Release();
    e->texture = CreateFromEntry(*e, nullptr);
}

void tavTexPool::RestoreAll()
{
    for (int i = 0; i < int(slots.size()); ++i)
        RestoreTexture(i);
}

void TAV::ReportTexturePool() {}
