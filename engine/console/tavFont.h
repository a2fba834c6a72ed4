#pragma once
// A bitmap font drawn with Direct3D 9: the glyphs are rasterised once with
// GDI (or read from a font file) into an A4R4G4B4 sheet, and strings are
// drawn as textured quads, 50 glyphs to a draw call, from one dynamic
// vertex buffer refilled with discard locks. The caller sets the 2D
// projection and the alpha-blending states (the engine's 2D pass).

#include "console/tavGlyphSheet.h"
#include "console/tavTextLayout.h"

#include <d3d9.h>

#include <cstdarg>
#include <cstdint>

class TAV;

class tavFont
{
public:
    // Creates the vertex buffer; no glyph sheet yet.
    explicit tavFont(TAV* owner);
    ~tavFont();
    tavFont(const tavFont&) = delete;
    tavFont& operator=(const tavFont&) = delete;

    // Rasterises characters 32..126 of a GDI face into a new sheet (256,
    // 512 or 1024 texels square by height). 0, or E_FAIL when the texture,
    // a GDI object, a glyph or the texture lock failed: the font is then
    // unusable until a later Create or LoadFromFile succeeds.
    HRESULT Create(const char* faceName, int height, bool bold, bool italic, bool underline);
    // A sheet from a font file (see tavGlyphSheet::ParseFontFile). E_FAIL
    // when the file cannot be opened or is not a font file (logged); the
    // sheet held before is kept then.
    HRESULT LoadFromFile(const char* path);

    // Around a device reset: the vertex buffer lives in the default pool;
    // the sheet is managed and survives.
    void Invalidate();
    void Restore();
    // Releases the vertex buffer and the sheet.
    void Destroy();

    // fontHeight x factor: the distance between lines (the console uses 1.5).
    float LineHeight(float factor) const { return sheet.fontHeight * factor; }

    // Draws at (x, y), the top left of the text, in the engine's virtual
    // 2D space (raw: in pixels). Nothing is drawn while the font has no
    // sheet or no vertex buffer; `outRect` is filled in every case.
    void DrawText(tavTextRect& outRect, float x, float y, uint32_t colour, const char* text,
                  bool raw = false);
    // printf rules into 512 bytes (longer text is cut), then DrawText.
    void DrawTextF(tavTextRect& outRect, float x, float y, uint32_t colour, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    void DrawTextFRaw(tavTextRect& outRect, float x, float y, uint32_t colour, const char* format,
                      ...) __attribute__((format(printf, 6, 7)));
    // The rectangle DrawText would give, without drawing.
    void Measure(tavTextRect& outRect, float x, float y, const char* text, bool raw = false) const;

    bool HasSheet() const { return state == 1 && texture != nullptr; }
    const tavGlyphSheet& GetSheet() const { return sheet; }
    IDirect3DTexture9* GetSheetTexture() const { return texture; }

private:
    struct Batch;
    HRESULT CreateVertexBuffer();
    HRESULT CreateSheetTexture(uint32_t width, uint32_t height, IDirect3DTexture9** out) const;
    tavTextLayout Layout() const;
    void DrawFormatted(tavTextRect& outRect, float x, float y, uint32_t colour, bool raw,
                       const char* format, va_list args);
    IDirect3DDevice9* Device() const;
    void LogFailure(const char* path, const char* why) const;

    TAV* owner;
    IDirect3DVertexBuffer9* vertexBuffer;
    IDirect3DTexture9* texture;
    tavGlyphSheet sheet; // sheet size, glyph cells, scale and font height
    uint8_t state;       // 0 = no glyph sheet yet, 1 = created
};
