#pragma once
// The engine's one store of Direct3D textures. Every texture is loaded once
// and afterwards named by its texture number (an index; -1 = none). The pool
// binds textures to sampler stages by number, drops its device-bound
// textures when the device is lost and brings file textures back on their
// next use.

#include <d3dx9.h>

#include <string>
#include <vector>

class TAV;

// One pooled texture; allocated on the process heap, owned by the pool.
struct tavTexEntry
{
    IDirect3DBaseTexture9* texture; // null while released
    D3DXIMAGE_INFO imageInfo;       // as D3DX reported it at the first load
    DWORD filter;
    DWORD mipFilter;
    std::string name; // normalised file name (file kinds)
    DWORD loadTime;
    D3DCOLOR colourKey;
    DWORD resourceId;
    int kind;
    UINT mipLevels;
    bool managed; // survives device loss: invalidation leaves it alone
};

class tavTexPool
{
public:
    tavTexPool();
    // Deletes every entry, releasing its texture.
    ~tavTexPool();
    tavTexPool(const tavTexPool&) = delete;
    tavTexPool& operator=(const tavTexPool&) = delete;

    // Stores the engine and reads the device's available texture memory.
    void Attach(TAV* engine);
    // D3DX image and mip filters for later loads.
    void SetFilters(DWORD filter, DWORD mipFilter);
    // Memory pool (D3DPOOL) for later file loads.
    void SetPool(D3DPOOL pool) { memoryPool = pool; }

    // A 2D texture from an image file; the same (normalised) name returns the
    // number it got the first time. -1 when nothing could be loaded (the
    // failure is counted and listed, and a later request tries again).
    int LoadTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels);
    int LoadTexture(const char* fileName) { return LoadTexture(fileName, 0, 1); }
    // As LoadTexture, with `filter` as both image and mip filter of this load.
    int LoadTextureFiltered(const char* fileName, D3DCOLOR colourKey, UINT mipLevels, DWORD filter);
    // Releases and forgets the texture; its number stays empty for good.
    // False for a number that is not a live entry.
    bool RemoveTexture(int number);

    // Normalises `name` in place; the number of the matching entry or -1.
    int FindTexture(std::string& name, DWORD resourceId, int kind) const;

    // Empties the stage, then binds the texture (restoring a released one).
    // Any number is accepted: an invalid one leaves the stage empty.
    void SetTexture(int number, DWORD stage);
    IDirect3DBaseTexture9* GetTexture(int number) const;
    bool IsValidTexture(int number) const;
    bool IsTextureLoaded(int number) const;
    int GetTextureCount() const { return int(slots.size()); }
    DWORD GetFailedCount() const { return failedCount; }
    DWORD GetAvailableTextureMem() const { return availableMemory; }

    // Releases the texture object of a live, non-managed entry.
    void InvalidateTexture(int number);
    void InvalidateAll();
    // Releases every texture object, managed ones too.
    void ReleaseAll();
    // Re-creates a live, non-managed entry's texture from its parameters.
    void RestoreTexture(int number);
    void RestoreAll();

    // Normalised form of a file name: "/" for "\" and lower case.
    static std::string NormaliseName(const char* fileName);

private:
    int AddEntry(IDirect3DBaseTexture9* texture, const D3DXIMAGE_INFO& info, const std::string& name,
                 DWORD resourceId, int kind, D3DCOLOR colourKey, DWORD filter, DWORD mipFilter,
                 UINT mipLevels);
    IDirect3DBaseTexture9* CreateFromEntry(const tavTexEntry& entry, D3DXIMAGE_INFO* info) const;
    IDirect3DDevice9* Device() const;

    TAV* owner;
    int lastTexture;
    int lastStage;
    DWORD availableMemory;
    DWORD imageFilter;
    DWORD mipFilter;
    D3DPOOL memoryPool;
    DWORD failedCount;
    std::vector<tavTexEntry*> slots;
    std::vector<std::string> failures;
};
