// Print Screen: the picture on screen written as a 24-bit BMP file.
#include "core/TAV.h"

#include <cstdio>
#include <cstring>

namespace
{
void Put16(unsigned char* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// The 14-byte file header and the 40-byte information header.
void BuildBmpHeaders(unsigned char (&h)[54], uint32_t w, uint32_t hgt)
{
    memset(h, 0, sizeof(h));
    const uint32_t imageSize = hgt * w * 3;
    Put16(h + 0, 0x4D42);
    Put32(h + 2, imageSize + 54);
    Put32(h + 10, 54);
    Put32(h + 14, 40);
    Put32(h + 18, w);
    Put32(h + 22, hgt);
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 34, imageSize);
}

bool FileExists(const char* name)
{
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

std::string PickShotName()
{
    if (!FileExists("./Shot.bmp"))
        return "./Shot.bmp";
    char name[32];
    for (int i = 0; i <= 512; ++i)
    {
        std::snprintf(name, sizeof(name), "./Shot%d.bmp", i);
        if (!FileExists(name))
            return name;
    }
    return name; // all taken: the last one is overwritten
}

bool AllZero(const D3DLOCKED_RECT& r, UINT w, UINT h)
{
    for (UINT y = 0; y < h; ++y)
    {
        const unsigned char* row = static_cast<const unsigned char*>(r.pBits) + size_t(y) * r.Pitch;
        for (UINT x = 0; x < w * 4; ++x)
            if (row[x])
                return false;
    }
    return true;
}
} // namespace

// Some runtimes take only a system-memory destination for the front-buffer
// copy: read it there and convert into `surface`.
bool TAV::ReadFrontBufferViaSystem(IDirect3DSurface9* surface)
{
    IDirect3DSurface9* system = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(UINT(width), UINT(height), D3DFMT_A8R8G8B8,
                                                   D3DPOOL_SYSTEMMEM, &system, nullptr)))
        return false;
    const bool ok = SUCCEEDED(device->GetFrontBufferData(0, system)) &&
                    SUCCEEDED(D3DXLoadSurfaceFromSurface(surface, nullptr, nullptr, system, nullptr,
                                                         nullptr, D3DX_FILTER_NONE, 0));
    system->Release();
    return ok;
}

bool TAV::IsEmptyPicture(IDirect3DSurface9* surface)
{
    D3DLOCKED_RECT locked;
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return false; // the caller's own lock reports this
    const bool empty = AllZero(locked, UINT(width), UINT(height));
    surface->UnlockRect();
    return empty;
}

// The back buffer after the last present, converted into `surface`.
bool TAV::ReadLastBackBuffer(IDirect3DSurface9* surface)
{
    IDirect3DSurface9* back = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    IDirect3DSurface9* resolved = nullptr; // a multisampled buffer cannot be read directly
    IDirect3DSurface9* system = nullptr;
    const bool ok =
        SUCCEEDED(device->CreateRenderTarget(desc.Width, desc.Height, desc.Format,
                                             D3DMULTISAMPLE_NONE, 0, FALSE, &resolved, nullptr)) &&
        SUCCEEDED(device->StretchRect(back, nullptr, resolved, nullptr, D3DTEXF_NONE)) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                      D3DPOOL_SYSTEMMEM, &system, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(resolved, system)) &&
        SUCCEEDED(D3DXLoadSurfaceFromSurface(surface, nullptr, nullptr, system, nullptr, nullptr,
                                             D3DX_FILTER_NONE, 0));
    if (system)
        system->Release();
    if (resolved)
        resolved->Release();
    back->Release();
    return ok;
}

// Copies the picture on screen into `surface` (A8R8G8B8). Some drivers
// refuse the front-buffer copy, or hand back an all-zero one (alpha
// included) although the picture is on screen: then the last frame's back
// buffer stands in for it, so a screenshot is never a black rectangle.
bool TAV::ReadFrontBuffer(IDirect3DSurface9* surface)
{
    const bool copied =
        SUCCEEDED(device->GetFrontBufferData(0, surface)) || ReadFrontBufferViaSystem(surface);
    if (copied && !IsEmptyPicture(surface))
        return true;
    return ReadLastBackBuffer(surface);
}

bool TAV::Screenshot()
{
    if (!device)
        return false;
    const UINT w = UINT(width), h = UINT(height);

    // 1-2. The picture.
    IDirect3DSurface9* surface = nullptr;
    const HRESULT hr = device->CreateOffscreenPlainSurface(w, h, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH,
                                                           &surface, nullptr);
    if (ReportD3DError(hr) || !surface)
    {
        Write("Failed to create an image surface.");
        return false;
    }
    if (!ReadFrontBuffer(surface))
    {
        surface->Release();
        Write("Failed to grab the front buffer.");
        return false;
    }

    // 3. Room for the pixels.
    unsigned char* bits = static_cast<unsigned char*>(Alloc(size_t(w) * h * 3 + 1));
    if (!bits)
    {
        surface->Release();
        Write("ScreenShot(): <font color=\"red\">Could not allocate memory for bitmap bits.</font>");
        return false;
    }

    // 4-6. Bottom-up rows of B, G, R without padding.
    D3DLOCKED_RECT locked;
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        surface->Release();
        Free(bits);
        Write("<font color=\"red\">ScreenShot() Failed:</font> Failed to lock rectangle.");
        return false;
    }
    unsigned char* out = bits;
    for (int y = int(h) - 1; y >= 0; --y)
    {
        const unsigned char* row = static_cast<const unsigned char*>(locked.pBits) + size_t(y) * locked.Pitch;
        for (UINT x = 0; x < w; ++x, out += 3)
            memcpy(out, row + size_t(x) * 4, 3);
    }
    if (FAILED(surface->UnlockRect()))
        Write("Could not unlock rectangle.");
    surface->Release();

    // 7-9. The file.
    const std::string name = PickShotName();
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
    {
        Write("<font color=\"red\">ScreenShot() Failed:</font> Could not create the bitmap file.");
        Free(bits);
        return false;
    }
    unsigned char headers[54];
    BuildBmpHeaders(headers, w, h);
    std::fwrite(headers, 1, sizeof(headers), file);
    std::fwrite(bits, 1, size_t(w) * h * 3, file);
    std::fclose(file);

    // 10.
    WriteValue("Wrote screenshot to file: ", name);
    tavConsole::Printf(0xFFFFFFFF, "Wrote screenshot: %s", name.c_str());
    Free(bits);
    return true;
}
