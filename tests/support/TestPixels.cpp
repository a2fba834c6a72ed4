#include "support/TestPixels.h"

#include <algorithm>

int TestImage::Count(int x0, int y0, int x1, int y1,
                     const std::function<bool(uint32_t)>& match) const
{
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > int(width) ? int(width) : x1;
    y1 = y1 > int(height) ? int(height) : y1;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += match(At(UINT(x), UINT(y)));
    return n;
}

bool ReadBackBuffer(IDirect3DDevice9* device, TestImage& out)
{
    IDirect3DSurface9* back = nullptr;
    if (!device || FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    IDirect3DSurface9* system = nullptr;
    bool ok = SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                            D3DPOOL_SYSTEMMEM, &system, nullptr)) &&
              SUCCEEDED(device->GetRenderTargetData(back, system));
    D3DLOCKED_RECT locked;
    if (ok && SUCCEEDED(system->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        out.width = desc.Width;
        out.height = desc.Height;
        out.pixels.resize(size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
        {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch));
            std::copy(row, row + desc.Width, out.pixels.begin() + ptrdiff_t(y * desc.Width));
        }
        system->UnlockRect();
    }
    else
        ok = false;
    if (system) system->Release();
    back->Release();
    return ok;
}
