#pragma once
// Drawing into a texture instead of the back buffer: level 0 of one of the
// pool's dynamic (render-target) textures, driven through a D3DX
// render-to-surface object that owns a matching 16-bit depth buffer.
// Afterwards the texture is bound by its number like any other.
//
// The caller ends the drawing (GetRenderToSurface()->EndScene). A device
// reset releases the dynamic texture: Release this object before the reset
// and call InitFromDynamicTexture again after it.

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

class TAV;

class tavSurface
{
public:
    tavSurface(TAV* engine, D3DCOLOR clearColour);
    ~tavSurface();
    tavSurface(const tavSurface&) = delete;
    tavSurface& operator=(const tavSurface&) = delete;

    // Takes level 0 of dynamic texture `number` (what an earlier call took
    // is let go first). E_FAIL, with a line to the debugger, when the number
    // holds no texture or its surface or description cannot be had;
    // otherwise the result of creating the render-to-surface object.
    HRESULT InitFromDynamicTexture(int number);
    // Starts drawing into the surface and clears it and its depth.
    HRESULT BeginScene();
    void SetClearColour(D3DCOLOR colour) { clearColour = colour; }
    // Lets go of the render-to-surface object and the surface.
    void Release();

    ID3DXRenderToSurface* GetRenderToSurface() const { return renderToSurface; }
    IDirect3DSurface9* GetSurface() const { return surface; }
    const D3DSURFACE_DESC& GetDescription() const { return description; }
    IDirect3DBaseTexture9* GetTexture() const { return texture; }

private:
    TAV* engine;
    ID3DXRenderToSurface* renderToSurface;
    IDirect3DSurface9* surface;
    D3DSURFACE_DESC description;
    IDirect3DBaseTexture9* texture; // the pool's; not ours to release
    D3DCOLOR clearColour;
};
