#include "RenderCheck.h"

#include "support/TestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool RenderCheck::Begin(D3DCOLOR clear)
{
    if (FAILED(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0)))
        return false;
    return SUCCEEDED(device->BeginScene());
}

bool RenderCheck::End()
{
    device->EndScene();
    IDirect3DSurface9* back = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return false;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    bool ok = SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                            D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
              SUCCEEDED(device->GetRenderTargetData(back, copy));
    D3DLOCKED_RECT rect;
    if (ok && desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) ok = false;
    if (ok && SUCCEEDED(copy->LockRect(&rect, nullptr, D3DLOCK_READONLY)))
    {
        width = int(desc.Width);
        height = int(desc.Height);
        pixels.resize(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(&pixels[size_t(y) * width],
                        static_cast<const char*>(rect.pBits) + y * rect.Pitch, size_t(width) * 4);
        copy->UnlockRect();
    }
    else
        ok = false;
    if (copy) copy->Release();
    back->Release();
    return ok;
}

D3DCOLOR RenderCheck::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[size_t(y) * width + x] | 0xFF000000;
}

int Red(D3DCOLOR c)
{
    return int((c >> 16) & 0xFF);
}
int Green(D3DCOLOR c)
{
    return int((c >> 8) & 0xFF);
}
int Blue(D3DCOLOR c)
{
    return int(c & 0xFF);
}
int Brightness(D3DCOLOR c)
{
    return Red(c) + Green(c) + Blue(c);
}

bool Near(D3DCOLOR got, D3DCOLOR want, int tolerance)
{
    return std::abs(Red(got) - Red(want)) <= tolerance &&
           std::abs(Green(got) - Green(want)) <= tolerance &&
           std::abs(Blue(got) - Blue(want)) <= tolerance;
}

std::string Hex(D3DCOLOR c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(c & 0xFFFFFF));
    return text;
}

namespace
{
void Put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
} // namespace

void WriteBmp(const std::string& path, int w, int h,
              const std::function<D3DCOLOR(int, int)>& colour)
{
    const uint32_t row = uint32_t(w * 3 + 3) & ~3u;
    std::string file;
    file += "BM";
    Put32(file, 54 + row * h);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, uint32_t(w));
    Put32(file, uint32_t(h));
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    for (int y = h - 1; y >= 0; --y) // bottom-up rows
    {
        std::string line;
        for (int x = 0; x < w; ++x)
        {
            const D3DCOLOR c = colour(x, y);
            line += char(Blue(c));
            line += char(Green(c));
            line += char(Red(c));
        }
        line.resize(row, '\0');
        file += line;
    }
    WriteTextFile(path, file);
}

void GraphicsTest::SetUp()
{
    ASSERT_EQ(StartEngine(), S_OK);
}
