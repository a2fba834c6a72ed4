#pragma once
// The GUI's widgets as plain data: where each one sits in the virtual
// 1280 x 1024 space (y grows upward), its state, and the six vertices (two
// triangles) it is drawn with, laid out in pixels. Portable: tavWidgetSet
// keeps and edits them, tavGUI draws them. Applications reach a widget
// through tavGUI's Get... operations and may change its fields; a change of
// position or size shows after the next layout (tavGUI::Restore).

#include "console/tavInputLine.h"

#include <cstdint>
#include <string>

// One GUI vertex: 36 bytes, the layout of the engine's primitive vertex
// (position, normal, ARGB colour, one texture coordinate pair).
struct tavQuadVertex
{
    float x, y, z;
    float nx, ny, nz;
    uint32_t colour;
    float u, v;
};

// A rectangle of a texture in texture coordinates (u across, v down).
struct tavCell
{
    float u0, v0, u1, v1;
};

// The cells of the GUI atlas, a 3 x 3 grid (the bottom row is free).
struct tavGuiCells
{
    static constexpr tavCell Whole{0.0f, 0.0f, 1.0f, 1.0f};
    static constexpr tavCell RadioOff{0.0f, 0.0f, 0.33f, 0.33f};
    static constexpr tavCell RadioOn{0.33f, 0.0f, 0.66f, 0.33f};
    static constexpr tavCell EditBox{0.66f, 0.0f, 1.0f, 0.33f};
    static constexpr tavCell CheckOff{0.0f, 0.33f, 0.33f, 0.66f};
    static constexpr tavCell CheckOn{0.33f, 0.33f, 0.66f, 0.66f};
    static constexpr tavCell Cursor{0.66f, 0.33f, 1.0f, 0.66f};
};

// A rectangle in pixels, y0 at the bottom.
struct tavPixelRect
{
    float x0, y0, x1, y1;
    // Edges included.
    bool Contains(float x, float y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The engine's scaling of the virtual space to the back buffer: unchanged at
// 1280 x 1024, else v / 1280 x width (and v / 1024 x height).
struct tavScreenScale
{
    float width = 1280.0f;
    float height = 1024.0f;

    float ScaleX(float v) const { return width == 1280.0f ? v : v * (1.0f / 1280.0f) * width; }
    float ScaleY(float v) const { return height == 1024.0f ? v : v * (1.0f / 1024.0f) * height; }
    // x0 = ScaleX(x), x1 = x0 + ScaleX(w); the same upward for y.
    tavPixelRect Rect(float x, float y, float w, float h) const;
};

// Two triangles covering one rectangle.
struct tavQuad
{
    tavQuadVertex v[6];

    // Places the corners on `r` (z 0, normal toward the viewer) in `colour`,
    // with the top of `cell` at the top of the rectangle.
    void Layout(const tavPixelRect& r, uint32_t colour, const tavCell& cell);
    // Only the texture coordinates change.
    void SetCell(const tavCell& cell);
};

struct tavButton
{
    int normalTexture;
    int hoverTexture;
    int currentTexture; // the one drawn: hoverTexture while under the cursor
    float x, y, width, height;
    uint32_t id; // handed to tavScene::OnGuiEvent when clicked
    bool hidden;
    tavQuad vertices;
};

struct tavEditBox
{
    // `line` holds the maximum length; the box is sized from it.
    tavEditBox(float x, float y, int maxLength, const std::string& label);

    float x, y;
    bool hidden;
    float boxWidth;    // font height x maximum length x 0.85
    float lineHeight;  // font height
    float textX;       // where the box and its text start: 10 right of the label
    tavInputLine line; // the text, the edit cursor and the maximum length
    uint32_t textColour;
    tavQuad vertices; // the box
    std::string label;
    float labelExtent; // width of the label as the GUI font measures it

    // The box (one line plus 5 units, its top 5 units above y).
    tavPixelRect BoxRect(const tavScreenScale& s) const;
};

struct tavLabel
{
    std::string text;
    float x, y;
    uint32_t colour;
    bool hidden;
};

struct tavImage
{
    int texture;
    bool hidden;
    float width, height, x, y;
    uint32_t colour;
    tavQuad vertices;
};

struct tavCheckBox
{
    tavCheckBox(float x, float y, float width, float height, const std::string& label,
                const tavCell& offCell, const tavCell& onCell);
    tavCheckBox(float x, float y, float width, float height, const std::string& label)
        : tavCheckBox(x, y, width, height, label, tavGuiCells::CheckOff, tavGuiCells::CheckOn)
    {
    }

    // Writes 1 (ticked) or 0 to the bound flag, if any, and shows the
    // matching cell. Clicks go through the GUI, which adds the debounce.
    void SetTicked(bool on);

    float width, height, x, y;
    bool disabled; // a disabled box takes clicks and ignores them
    bool ticked;
    uint32_t nextClickTime; // engine clock (ms) before which clicks are ignored
    std::string label;
    uint8_t* flag; // the application's byte that follows the tick; may be null
    tavQuad vertices;
    tavCell offCell, onCell;
};

// A check box whose tick excludes the others of its group.
struct tavRadioButton : tavCheckBox
{
    tavRadioButton(float x, float y, float width, float height, const std::string& label, int group)
        : tavCheckBox(x, y, width, height, label, tavGuiCells::RadioOff, tavGuiCells::RadioOn),
          group(group)
    {
    }

    int group;
};

struct tavSlider
{
    static constexpr float BarHeight = 30.0f;
    static constexpr float KnobWidth = 30.0f;
    static constexpr float KnobHeight = 50.0f;

    tavQuad bar;
    tavQuad knob; // laid out at the bar's left end; drawn moved by knobPosition
    float minimum, maximum;
    float width;
    float height; // always BarHeight
    float x, y;
    bool hidden;
    float knobPosition; // pixels from the bar's left end
    int steps;          // positions the knob snaps to; 0 or less: anywhere
};
