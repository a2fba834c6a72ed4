#pragma once
// The engine's one store of Direct3D textures. Every texture is loaded once
// and afterwards named by its texture number (an index; -1 = none). The pool
// binds textures to sampler stages by number, drops its device-bound
// textures when the device is lost and brings file and resource textures
// back on their next use. Numbers are never reused: a removed number stays
// empty for the pool's whole life.
//
// The pool takes no lock. Scenes load on the engine's loading thread while
// the main loop runs; they hold the engine's frame lock while they load
// through the pool, so the two threads never meet in here.

#include <d3dx9.h>

#include <string>
#include <vector>

class tavConsole;
class TAV;

// Where a texture came from; stored, compared on lookup and reported ("t:").
enum tavTexKind : int
{
    TAV_TEX_FILE = 1,          // image file, 2D texture
    TAV_TEX_RESOURCE = 2,      // resource of the program's own module, 2D texture
    TAV_TEX_CUBE_FILE = 3,     // image file, cube texture
    TAV_TEX_CUBE_RESOURCE = 4, // resource, cube texture
    TAV_TEX_DYNAMIC = 5,       // created empty: 2D render target, default pool
    TAV_TEX_FILE_ALT = 6,      // as 1, recorded apart
    TAV_TEX_RESOURCE_ALT = 7,  // as 2, recorded apart
};

// One pooled texture; allocated on the process heap, owned by the pool.
struct tavTexEntry
{
    IDirect3DBaseTexture9* texture; // null while released
    D3DXIMAGE_INFO imageInfo;       // as D3DX reported it at the first load
    DWORD filter;                   // reused on restore
    DWORD mipFilter;
    std::string name; // normalised file name (file kinds), else empty
    DWORD loadTime;   // GetTickCount when the entry was made
    D3DCOLOR colourKey;
    DWORD resourceId; // resource kinds, else 0
    int kind;
    UINT mipLevels;
    bool managed; // survives device loss: invalidation and restore leave it alone
};

class tavTexPool
{
public:
    tavTexPool();
    // Deletes every entry, releasing its texture.
    ~tavTexPool();
    tavTexPool(const tavTexPool&) = delete;
    tavTexPool& operator=(const tavTexPool&) = delete;

    // Stores the engine and reads the device's available texture memory
    // (the report's baseline).
    void Attach(TAV* engine);
    // D3DX image and mip filters for later loads.
    void SetFilters(DWORD filter, DWORD mipFilter);
    // Memory pool (D3DPOOL) for later file and resource loads.
    void SetPool(D3DPOOL pool) { memoryPool = pool; }

    // ---- Loading. Each returns a texture number, or -1 when D3DX gave no
    // texture: the failure is counted and listed ("Failed: " and the name,
    // or "Resource ID"), no entry is made and a later request tries again.
    // A request that matches an entry (same kind and normalised name or
    // resource id) returns its number, whatever key, levels or filter it
    // asks for.
    int LoadTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels);
    int LoadTexture(const char* fileName) { return LoadTexture(fileName, 0, 1); }
    // As LoadTexture; `filter` serves as image and as mip filter.
    int LoadTextureFiltered(const char* fileName, D3DCOLOR colourKey, UINT mipLevels, DWORD filter);
    // A resource of the program's own module (the low 16 bits of the id).
    int LoadTextureFromResource(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels);
    int LoadCubeTexture(const char* fileName, D3DCOLOR colourKey, UINT mipLevels);
    int LoadCubeTextureFromResource(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels);
    // An empty A8R8G8B8 render target in the default pool: always a new
    // entry, lost at every invalidation and empty until RestoreTexture.
    // Key and levels are only recorded.
    int CreateDynamicTexture(UINT width, UINT height, D3DCOLOR colourKey, UINT mipLevels);
    // Kinds 6 and 7: loaded exactly as 1 and 2, but separate entries.
    int LoadTextureAlt(const char* fileName, D3DCOLOR colourKey, UINT mipLevels);
    int LoadTextureFromResourceAlt(DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels);

    // Normalises `name` in place; the first matching entry's number or -1.
    // Dynamic textures are never found.
    int FindTexture(std::string& name, DWORD resourceId, int kind) const;

    // ---- Use. Every operation accepts any number: -1, one past the end
    // or an emptied slot does nothing harmful.
    // Empties the stage, then binds the texture, restoring a released file
    // or resource texture first. A released dynamic texture leaves the
    // stage empty.
    void SetTexture(int number, DWORD stage);
    IDirect3DBaseTexture9* GetTexture(int number) const;
    // Copies the image info; a number past the end reads the last slot. Only
    // live entries are defined: `info` is left alone for an empty slot.
    void GetTextureInfo(int number, D3DXIMAGE_INFO& info) const;
    // "\"name\"" for file kinds, "Resource #id" for resource kinds, empty for
    // dynamic ones; `name` is left alone for an invalid number.
    void GetTextureName(int number, std::string& name) const;
    bool IsValidTexture(int number) const;
    // Valid and holding a texture object.
    bool IsTextureLoaded(int number) const;
    // Slots, emptied ones included.
    int GetTextureCount() const { return int(slots.size()); }
    DWORD GetFailedCount() const { return failedCount; }
    DWORD GetAvailableTextureMem() const { return availableMemory; }

    // Releases the texture and deletes the entry; the number stays empty.
    bool RemoveTexture(int number);

    // ---- Device loss.
    // Releases the texture object of a live, non-managed entry.
    void InvalidateTexture(int number);
    void InvalidateAll();
    // Releases every texture object, managed ones too. A managed texture
    // released this way stays empty (no restore brings it back): for the
    // end of the device's life, not for a reset.
    void ReleaseAll();
    // Re-creates a live, non-managed entry's texture from its stored
    // parameters (a failure leaves it null; SetTexture tries again).
    void RestoreTexture(int number);
    void RestoreAll();

    // Normalised form of a file name: "/" for "\" and C-locale lower case.
    static std::string NormaliseName(const char* fileName);

protected:
    // The statistics report, printed through `console` (TAV::ReportTexturePool).
    void PrintReport(tavConsole& console) const;

private:
    int Load(int kind, const char* fileName, DWORD resourceId, D3DCOLOR colourKey, UINT mipLevels,
             DWORD filter, DWORD mipFilter);
    int AddEntry(IDirect3DBaseTexture9* texture, const D3DXIMAGE_INFO& info,
                 const std::string& name, DWORD resourceId, int kind, D3DCOLOR colourKey,
                 DWORD filter, DWORD mipFilter, UINT mipLevels);
    // The D3DX call of the entry's kind; `info` may be null (restores).
    IDirect3DBaseTexture9* CreateFromEntry(const tavTexEntry& entry, D3DXIMAGE_INFO* info) const;
    static void DeleteEntry(tavTexEntry* entry);
    static std::string DisplayName(const tavTexEntry& entry);
    IDirect3DDevice9* Device() const;

    TAV* owner;
    int lastTexture;
    int lastStage;
    DWORD availableMemory;
    DWORD imageFilter;
    DWORD mipFilter;
    D3DPOOL memoryPool;
    DWORD failedCount;
    std::vector<tavTexEntry*> slots; // index = texture number; null once removed
    std::vector<std::string> failures;
};
