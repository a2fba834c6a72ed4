#include "graphics/tavSurface.h"

#include "core/TAV.h"

#include <cstring>

tavSurface::tavSurface(TAV* e, D3DCOLOR colour)
    : engine(e), renderToSurface(nullptr), surface(nullptr), description(), texture(nullptr),
      clearColour(colour)
{
}

tavSurface::~tavSurface()
{
    Release();
}

void tavSurface::Release()
{
    if (renderToSurface) renderToSurface->Release();
    renderToSurface = nullptr;
    if (surface) surface->Release();
    surface = nullptr;
}

HRESULT tavSurface::InitFromDynamicTexture(int number)
{
    // 1.
    Release();
    // 2. Only a flat texture has a surface level to draw into.
    texture = engine ? engine->GetTexture(number) : nullptr;
    if (!texture)
    {
        OutputDebugStringA(
            "TAV::tavSurface::InitFromDynamicTexture() Dynamic texture number returns NULL texture.");
        return E_FAIL;
    }
    // 3.
    IDirect3DTexture9* flat = nullptr;
    if (texture->GetType() != D3DRTYPE_TEXTURE ||
        FAILED(texture->QueryInterface(IID_IDirect3DTexture9, reinterpret_cast<void**>(&flat))) ||
        FAILED(flat->GetSurfaceLevel(0, &surface)))
    {
        if (flat) flat->Release();
        surface = nullptr;
        OutputDebugStringA(
            "TAV::tavSurface::InitFromDynamicTexture() DynamicTexture::GetSurfaceLevel() failed.");
        return E_FAIL;
    }
    flat->Release();
    // 4.
    std::memset(&description, 0, sizeof description);
    if (FAILED(surface->GetDesc(&description)))
    {
        OutputDebugStringA(
            "TAV::tavSurface::InitFromDynamicTexture() OffscreenSurface->GetDesc() failed.");
        return E_FAIL;
    }
    // 5.
    return D3DXCreateRenderToSurface(engine->GetDevice(), description.Width, description.Height,
                                     description.Format, TRUE, D3DFMT_D16, &renderToSurface);
}

HRESULT tavSurface::BeginScene()
{
    if (!renderToSurface || !surface || FAILED(renderToSurface->BeginScene(surface, nullptr)))
        return E_FAIL;
    return engine->GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clearColour,
                                      1.0f, 0);
}
