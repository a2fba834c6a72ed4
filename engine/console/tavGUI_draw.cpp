// The GUI's picture: widgets in their order, the cursor last.
#include "console/tavGUI.h"

#include "console/tavFont.h"
#include "core/TAV.h"
#include "graphics/tavPrimitiveBuffer.h"

#include <algorithm>
#include <string>

namespace
{
const uint32_t LabelColour = 0xFFFFFFFF;
const uint32_t CaretColour = 0xFF0000FF;
const float TextLift = 2.0f; // edit-box text and its label sit this far above y
const float CheckGap = 8.0f; // from a check box to its label

static_assert(sizeof(tavQuadVertex) == sizeof(tavPrimitiveVertex),
              "GUI quads are drawn as the engine's primitive vertices");

void ToPrimitive(const tavQuad& quad, tavPrimitiveVertex (&out)[6])
{
    for (int i = 0; i < 6; ++i)
    {
        const tavQuadVertex& v = quad.v[i];
        out[i] = tavPrimitiveVertex{v.x, v.y, v.z, v.nx, v.ny, v.nz, D3DCOLOR(v.colour), v.u, v.v};
    }
}

// The quad drawer holds one quad at a time: refill it, then draw.
void DrawWith(tavPrimitiveBuffer* sprite, const tavQuad& quad, int texture)
{
    if (!sprite || !sprite->IsCreated()) return;
    tavPrimitiveVertex vertices[6];
    ToPrimitive(quad, vertices);
    if (FAILED(sprite->Update(vertices, 6, D3DLOCK_DISCARD))) return;
    sprite->SetTexture(texture);
    sprite->Render();
}
} // namespace

void tavGUI::DrawQuad(const tavQuad& quad, int texture)
{
    DrawWith(sprite, quad, texture);
}

void tavGUI::Draw()
{
    if (!owner || !owner->GetDevice()) return;

    // 1-2. Clamped texture addressing; where the mouse is.
    owner->SetAddressMode(true);
    if (cursor) cursor->Update();
    if (widgets.UpdateHover(CursorX(), CursorY())) PlaySoundIfSet(hoverSound);

    // 3-7. Quads from both sides; images, buttons and labels.
    owner->SetFVF(tavPrimitiveBuffer::FVF);
    owner->SetCullMode(D3DCULL_NONE);
    owner->ResetWorldTransform();
    DrawImages();
    DrawButtons();
    DrawLabels();

    // 8. The widgets drawn from the GUI atlas.
    const int focus = widgets.GetEditFocus();
    for (size_t i = 0; i < widgets.EditBoxes().size(); ++i)
        if (!widgets.EditBoxes()[i]->hidden) DrawEditBox(*widgets.EditBoxes()[i], int(i) == focus);
    for (const auto& c : widgets.CheckBoxes())
        DrawCheckBox(*c);
    for (const auto& r : widgets.RadioButtons())
        DrawCheckBox(*r);
    for (const auto& s : widgets.Sliders())
        if (!s->hidden) DrawSlider(*s);

    // 9-10. The cursor over everything.
    if (enabled && cursor) cursor->Draw(guiTexture);
    owner->SetAddressMode(false);
}

void tavGUI::DrawImages()
{
    for (const auto& im : widgets.Images())
        if (!im->hidden) DrawQuad(im->vertices, im->texture);
}

// Last to first, so that the first button added lies on top, as it is the
// first to take a click.
void tavGUI::DrawButtons()
{
    const auto& buttons = widgets.Buttons();
    for (size_t i = buttons.size(); i-- > 0;)
        if (!buttons[i]->hidden) DrawQuad(buttons[i]->vertices, buttons[i]->currentTexture);
}

void tavGUI::DrawLabels()
{
    if (!font) return;
    tavTextRect r;
    for (const auto& l : widgets.Labels())
        if (!l->hidden) font->DrawText(r, l->x, l->y, l->colour, l->text.c_str());
}

void tavGUI::DrawEditBox(const tavEditBox& e, bool focused)
{
    DrawQuad(e.vertices, guiTexture);
    if (!font) return;
    const float y = e.y + TextLift;
    tavTextRect r;
    font->DrawText(r, e.x, y, LabelColour, e.label.c_str());

    const std::string& text = e.line.Text();
    const size_t cut = std::min(size_t(e.line.Cursor() < 0 ? 0 : e.line.Cursor()), text.size());
    if (!focused || int(cut) >= e.line.MaxLength())
    {
        font->DrawText(r, e.textX, y, e.textColour, text.c_str());
        return;
    }
    // The text before the edit cursor, the caret at its end, then the rest.
    font->DrawText(r, e.textX, y, e.textColour, text.substr(0, cut).c_str());
    const float caretX = float(r.right);
    font->DrawText(r, caretX, y - 1.0f, CaretColour, "_");
    font->DrawText(r, caretX, y, e.textColour, text.c_str() + cut);
}

void tavGUI::DrawCheckBox(const tavCheckBox& c)
{
    DrawQuad(c.vertices, guiTexture);
    if (!font || c.label.empty()) return;
    tavTextRect r;
    font->DrawText(r, c.x + c.width + CheckGap,
                   c.y + c.height * 0.5f + widgets.GetFontHeight() * 0.25f, LabelColour,
                   c.label.c_str());
}

void tavGUI::DrawSlider(const tavSlider& s)
{
    owner->ResetWorldTransform();
    DrawQuad(s.bar, guiTexture);
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, s.knobPosition, 0.0f, 0.0f);
    owner->SetWorldTransform(moved);
    DrawQuad(s.knob, guiTexture);
    owner->ResetWorldTransform();
}

// ---- The cursor ----------------------------------------------------------------

tavGUI::GuiCursor::GuiCursor(TAV* o, tavPrimitiveBuffer* s, float w, float h)
    : owner(o), sprite(s), width(w), height(h), x(0), y(0), quad(), clamp{0, 0, 0, 0}
{
}

// The hot spot is the quad's top left corner, at the origin: the quad hangs
// down and to the right of it.
void tavGUI::GuiCursor::Layout()
{
    tavScreenScale screen;
    screen.width = owner->GetWidth();
    screen.height = owner->GetHeight();
    const float w = screen.ScaleX(width), h = screen.ScaleY(height);
    quad.Layout(tavPixelRect{0.0f, -h, w, 0.0f}, 0xFFFFFFFF, tavGuiCells::Cursor);
    clamp = tavPixelRect{0.0f, 0.0f, screen.width, screen.height};
}

void tavGUI::GuiCursor::Update()
{
    const float cx = owner->GetCursorX(), cy = owner->GetCursorY();
    x = cx < clamp.x0 ? clamp.x0 : (cx > clamp.x1 ? clamp.x1 : cx);
    y = cy < clamp.y0 ? clamp.y0 : (cy > clamp.y1 ? clamp.y1 : cy);
}

void tavGUI::GuiCursor::Draw(int texture)
{
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, x, y, 0.0f);
    owner->SetWorldTransform(moved);
    DrawWith(sprite, quad, texture);
}
