#include "console/tavFont.h"

#include "core/TAV.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace
{
// The text vertex: position, colour, one texture coordinate pair.
struct TextVertex
{
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(TextVertex) == 24, "text vertices are 24 bytes");
const DWORD TextFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const UINT BufferVertices = 300;
// Flushed once a glyph would no longer fit: 50 glyphs of six vertices.
const UINT FlushAbove = BufferVertices - 6;
// Header plus the largest sheet a font file may hold.
const long MaxFontFileBytes =
    1556 + long(tavGlyphSheet::MaxFileSheetSize) * long(tavGlyphSheet::MaxFileSheetSize) * 4;

// Converts 32-bit little-endian pixels of white text on black into the
// sheet's texels.
HRESULT FillSheet(IDirect3DTexture9* texture, const uint8_t* pixels, uint32_t width,
                  uint32_t height)
{
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return E_FAIL;
    for (uint32_t y = 0; y < height; ++y)
    {
        uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(locked.pBits) +
                                                    size_t(y) * size_t(locked.Pitch));
        const uint8_t* in = pixels + size_t(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x, in += 4)
            row[x] = tavGlyphSheet::Texel(uint32_t(in[0]) | uint32_t(in[1]) << 8 |
                                          uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24);
    }
    return SUCCEEDED(texture->UnlockRect(0)) ? S_OK : E_FAIL;
}

// A memory device context with a 32-bit top-down DIB section and a font
// selected into it; every GDI object goes with it, however the work ends.
class GdiCanvas
{
public:
    GdiCanvas()
        : dc(nullptr), bitmap(nullptr), font(nullptr), oldBitmap(nullptr), oldFont(nullptr),
          bits(nullptr), size(0)
    {
    }
    ~GdiCanvas()
    {
        if (oldFont) SelectObject(dc, oldFont);
        if (oldBitmap) SelectObject(dc, oldBitmap);
        if (font) DeleteObject(font);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    bool Open(uint32_t squareSize)
    {
        size = squareSize;
        dc = CreateCompatibleDC(nullptr);
        if (!dc) return false;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = LONG(size);
        info.bmiHeader.biHeight = -LONG(size); // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<const uint8_t*>(memory);
        return bitmap && bits && SetMapMode(dc, MM_TEXT) != 0;
    }

    bool SelectFont(const char* face, int height, float scale, bool bold, bool italic,
                    bool underline)
    {
        const int pixelsPerInch = int(float(GetDeviceCaps(dc, LOGPIXELSY)) * scale);
        font =
            CreateFontA(-MulDiv(height, pixelsPerInch, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                        italic, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, face ? face : "");
        if (!font) return false;
        oldBitmap = SelectObject(dc, bitmap);
        oldFont = SelectObject(dc, font);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, 0);
        SetTextAlign(dc, TA_TOP | TA_LEFT);
        return true;
    }

    // Characters 32..126 left to right, a new row when one would not fit.
    bool DrawGlyphs(tavGlyphSheet& sheet)
    {
        const float s = float(size);
        int x = 0, y = 0;
        for (int c = 32; c <= 126; ++c)
        {
            const char ch = char(c);
            SIZE extent;
            if (!GetTextExtentPoint32A(dc, &ch, 1, &extent)) return false;
            if (x + extent.cx + 1 > int(size))
            {
                x = 0;
                y += extent.cy + 1;
            }
            RECT cell = {x, y, x + extent.cx, y + extent.cy};
            if (!ExtTextOutA(dc, x, y, ETO_OPAQUE, &cell, &ch, 1, nullptr)) return false;
            sheet.glyphs[c - tavGlyphSheet::FirstChar] = {
                float(x) / s, float(y) / s, float(x + extent.cx) / s, float(y + extent.cy) / s};
            x += extent.cx + 1;
        }
        GdiFlush();
        return true;
    }

    const uint8_t* Pixels() const { return bits; }

private:
    HDC dc;
    HBITMAP bitmap;
    HFONT font;
    HGDIOBJ oldBitmap;
    HGDIOBJ oldFont;
    const uint8_t* bits;
    uint32_t size;
};

// The whole file, unless it is missing, empty or too large to be a font.
bool ReadFontFile(const char* path, std::vector<uint8_t>& bytes, const char** why)
{
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
    {
        *why = "cannot be opened";
        return false;
    }
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    std::rewind(file);
    if (length < 0 || length > MaxFontFileBytes)
    {
        std::fclose(file);
        *why = length < 0 ? "cannot be read" : "is too large for a font file";
        return false;
    }
    bytes.resize(size_t(length));
    const size_t got = length ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    std::fclose(file);
    if (got != bytes.size())
    {
        *why = "cannot be read";
        return false;
    }
    return true;
}
} // namespace

// Vertices of one string, flushed as a triangle list whenever the buffer is
// full. A failed lock drops the glyphs of that batch, nothing else.
struct tavFont::Batch
{
    Batch(IDirect3DDevice9* device, IDirect3DVertexBuffer9* buffer)
        : device(device), buffer(buffer), vertices(nullptr), count(0)
    {
        Lock();
    }

    void Lock()
    {
        void* memory = nullptr;
        vertices = SUCCEEDED(buffer->Lock(0, 0, &memory, D3DLOCK_DISCARD))
                       ? static_cast<TextVertex*>(memory)
                       : nullptr;
        count = 0;
    }

    void Add(const tavGlyphQuad& q)
    {
        if (!vertices) return;
        const tavGlyphRect& t = q.uv;
        TextVertex* v = vertices + count;
        v[0] = {q.x0, q.y0, 0, q.colour, t.left, t.bottom};
        v[1] = {q.x0, q.y1, 0, q.colour, t.left, t.top};
        v[2] = {q.x1, q.y0, 0, q.colour, t.right, t.bottom};
        v[3] = {q.x1, q.y1, 0, q.colour, t.right, t.top};
        v[4] = {q.x1, q.y0, 0, q.colour, t.right, t.bottom};
        v[5] = {q.x0, q.y1, 0, q.colour, t.left, t.top};
        count += 6;
        if (count > FlushAbove)
        {
            Flush();
            Lock();
        }
    }

    void Flush()
    {
        buffer->Unlock();
        if (count) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, count / 3);
        vertices = nullptr;
        count = 0;
    }

    void Finish()
    {
        if (vertices) Flush();
    }

    IDirect3DDevice9* device;
    IDirect3DVertexBuffer9* buffer;
    TextVertex* vertices;
    UINT count;
};

tavFont::tavFont(TAV* o) : owner(o), vertexBuffer(nullptr), texture(nullptr), sheet(), state(0)
{
    CreateVertexBuffer();
}

tavFont::~tavFont()
{
    Destroy();
}

IDirect3DDevice9* tavFont::Device() const
{
    return owner ? owner->GetDevice() : nullptr;
}

HRESULT tavFont::CreateVertexBuffer()
{
    IDirect3DDevice9* device = Device();
    if (!device) return E_FAIL;
    return device->CreateVertexBuffer(BufferVertices * sizeof(TextVertex),
                                      D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT,
                                      &vertexBuffer, nullptr);
}

HRESULT tavFont::CreateSheetTexture(uint32_t width, uint32_t height, IDirect3DTexture9** out) const
{
    IDirect3DDevice9* device = Device();
    *out = nullptr;
    if (!device) return E_FAIL;
    const HRESULT hr =
        device->CreateTexture(width, height, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, out, nullptr);
    return SUCCEEDED(hr) && *out ? S_OK : E_FAIL;
}

HRESULT tavFont::Create(const char* faceName, int height, bool bold, bool italic, bool underline)
{
    // 1-2. A fresh sheet, as large as the height asks and the device allows.
    state = 1;
    if (texture) texture->Release();
    texture = nullptr;
    tavGlyphSheet made;
    const DWORD maxWidth = owner ? owner->GetCaps().MaxTextureWidth : 0;
    const uint32_t size = tavGlyphSheet::SheetSize(height, maxWidth, &made.scale);
    made.texWidth = made.texHeight = size;
    made.fontHeight = float(height);
    sheet.fontHeight = made.fontHeight;

    // 3. The texture.
    IDirect3DTexture9* sheetTexture = nullptr;
    if (FAILED(CreateSheetTexture(size, size, &sheetTexture))) return E_FAIL;

    // 4-8. The glyphs through GDI, then into the texture.
    GdiCanvas canvas;
    if (!canvas.Open(size) ||
        !canvas.SelectFont(faceName, height, made.scale, bold, italic, underline) ||
        !canvas.DrawGlyphs(made) || FAILED(FillSheet(sheetTexture, canvas.Pixels(), size, size)))
    {
        sheetTexture->Release();
        return E_FAIL;
    }

    // 9. The canvas goes with its GDI objects.
    texture = sheetTexture;
    sheet = made;
    return S_OK;
}

void tavFont::LogFailure(const char* path, const char* why) const
{
    if (owner)
        owner->tavLog::Printf("<font color=\"red\">Font file \"%s\" %s.</font>", path ? path : "",
                              why);
}

HRESULT tavFont::LoadFromFile(const char* path)
{
    std::vector<uint8_t> bytes;
    const char* why = "";
    if (!ReadFontFile(path, bytes, &why))
    {
        LogFailure(path, why);
        return E_FAIL;
    }
    tavGlyphSheet read;
    const uint8_t* pixels = nullptr;
    std::string problem;
    if (!read.ParseFontFile(bytes.data(), bytes.size(), &pixels, &problem))
    {
        LogFailure(path, ("is not a font file: " + problem).c_str());
        return E_FAIL;
    }
    IDirect3DTexture9* sheetTexture = nullptr;
    if (FAILED(CreateSheetTexture(read.texWidth, read.texHeight, &sheetTexture)) ||
        FAILED(FillSheet(sheetTexture, pixels, read.texWidth, read.texHeight)))
    {
        if (sheetTexture) sheetTexture->Release();
        LogFailure(path, "could not be made into a texture");
        return E_FAIL;
    }
    if (texture) texture->Release();
    texture = sheetTexture;
    sheet = read;
    state = 1;
    return S_OK;
}

void tavFont::Invalidate()
{
    if (vertexBuffer) vertexBuffer->Release();
    vertexBuffer = nullptr;
}

void tavFont::Restore()
{
    Invalidate();
    CreateVertexBuffer();
}

void tavFont::Destroy()
{
    Invalidate();
    if (texture) texture->Release();
    texture = nullptr;
}

tavTextLayout tavFont::Layout() const
{
    return tavTextLayout(sheet, owner ? owner->GetWidth() : 1280.0f,
                         owner ? owner->GetHeight() : 1024.0f);
}

void tavFont::Measure(tavTextRect& outRect, float x, float y, const char* text, bool raw) const
{
    outRect = Layout().Measure(x, y, text, raw);
}

void tavFont::DrawText(tavTextRect& outRect, float x, float y, uint32_t colour, const char* text,
                       bool raw)
{
    IDirect3DDevice9* device = Device();
    const tavTextLayout layout = Layout();
    if (!device || !vertexBuffer || !HasSheet())
    {
        outRect = layout.Measure(x, y, text, raw);
        return;
    }

    // 2. States for untransformed, textured, coloured 2D quads.
    owner->ResetWorldTransform();
    device->SetFVF(TextFormat);
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(TextVertex));
    device->SetTexture(0, texture);

    // 3-4. The glyphs, 50 to a draw call.
    Batch batch(device, vertexBuffer);
    outRect =
        layout.Walk(x, y, colour, text, raw, [&batch](const tavGlyphQuad& q) { batch.Add(q); });
    batch.Finish();
    device->SetTexture(0, nullptr);
}

void tavFont::DrawFormatted(tavTextRect& outRect, float x, float y, uint32_t colour, bool raw,
                            const char* format, va_list args)
{
    // On the stack: drawing never allocates. Longer text is cut.
    char text[512];
    if (!format || std::vsnprintf(text, sizeof(text), format, args) < 0) text[0] = 0;
    DrawText(outRect, x, y, colour, text, raw);
}

void tavFont::DrawTextF(tavTextRect& outRect, float x, float y, uint32_t colour, const char* format,
                        ...)
{
    va_list args;
    va_start(args, format);
    DrawFormatted(outRect, x, y, colour, false, format, args);
    va_end(args);
}

void tavFont::DrawTextFRaw(tavTextRect& outRect, float x, float y, uint32_t colour,
                           const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DrawFormatted(outRect, x, y, colour, true, format, args);
    va_end(args);
}
