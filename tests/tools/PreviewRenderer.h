#pragma once
// Renders the generated content the way the game draws it (one white sun
// from the game's light direction, no ambient light, materials with ambient
// = diffuse, texture stage 0 modulating the lit colour) into an off-screen
// target, and saves the picture as a BMP for a person to look at.

#include <d3dx9.h>

#include <string>
#include <vector>

// A mesh loaded as the engine's mesh model loads .x files: managed, cloned
// to position + normal + one texture pair, normals recomputed with
// adjacency, faces sorted by subset; one texture per material.
struct PreviewMesh
{
    ID3DXMesh* mesh = nullptr;
    std::vector<D3DMATERIAL9> materials;
    std::vector<IDirect3DTexture9*> textures;

    bool Load(IDirect3DDevice9* device, const std::string& path, std::string& error);
    void Release();
};

class PreviewRenderer
{
public:
    // False (with a reason) when the target surfaces cannot be made.
    bool Create(IDirect3DDevice9* device, int width, int height, std::string& error);
    void Release();

    // Clears and begins a picture seen from `eye` towards `at` with the
    // game's projection (45 degrees, aspect 1.25, near 0.5, far 40000).
    void Begin(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, D3DCOLOR clear,
               const D3DXVECTOR3& up = D3DXVECTOR3(0, 1, 0));
    // The sky box round the eye: faces in the box's order, bottom left out.
    void DrawSky(IDirect3DTexture9* const faces[6]);
    // The sea quad with its texture on stage 0 and a caustic frame added
    // by multiply-add on stage 1.
    void DrawSea(IDirect3DTexture9* water, IDirect3DTexture9* caustic);
    // Every subset, or only `subset`, under `world`.
    void DrawMesh(const PreviewMesh& mesh, const D3DXMATRIX& world, int subset = -1);
    // Ends the picture and writes it to `path` (BMP). False on failure.
    bool End(const std::string& path);

    IDirect3DDevice9* Device() const { return device; }

private:
    void SetGameLight();

    IDirect3DDevice9* device = nullptr;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    IDirect3DSurface9* copy = nullptr;
    IDirect3DSurface9* savedTarget = nullptr;
    IDirect3DSurface9* savedDepth = nullptr;
    D3DXVECTOR3 eyePosition;
    int width = 0, height = 0;
};
