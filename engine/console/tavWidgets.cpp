#include "console/tavWidgets.h"

tavPixelRect tavScreenScale::Rect(float x, float y, float w, float h) const
{
    const float x0 = ScaleX(x), y0 = ScaleY(y);
    return tavPixelRect{x0, y0, x0 + ScaleX(w), y0 + ScaleY(h)};
}

void tavQuad::Layout(const tavPixelRect& r, uint32_t colour, const tavCell& cell)
{
    // Two triangles: top left, top right, bottom left; top right, bottom
    // left, bottom right.
    const float xs[6] = {r.x0, r.x1, r.x0, r.x1, r.x0, r.x1};
    const float ys[6] = {r.y1, r.y1, r.y0, r.y1, r.y0, r.y0};
    for (int i = 0; i < 6; ++i)
        v[i] = tavQuadVertex{xs[i], ys[i], 0.0f, 0.0f, 0.0f, -1.0f, colour, 0.0f, 0.0f};
    SetCell(cell);
}

void tavQuad::SetCell(const tavCell& cell)
{
    const float us[6] = {cell.u0, cell.u1, cell.u0, cell.u1, cell.u0, cell.u1};
    const float vs[6] = {cell.v0, cell.v0, cell.v1, cell.v0, cell.v1, cell.v1};
    for (int i = 0; i < 6; ++i)
    {
        v[i].u = us[i];
        v[i].v = vs[i];
    }
}

tavEditBox::tavEditBox(float x, float y, int maxLength, const std::string& label)
    : x(x), y(y), hidden(false), boxWidth(0), lineHeight(0), textX(x), line(maxLength),
      textColour(0xFF000000), vertices(), label(label), labelExtent(0)
{
}

tavPixelRect tavEditBox::BoxRect(const tavScreenScale& s) const
{
    return s.Rect(textX, y - lineHeight, boxWidth, lineHeight + 5.0f);
}

tavCheckBox::tavCheckBox(float x, float y, float width, float height, const std::string& label,
                         const tavCell& offCell, const tavCell& onCell)
    : width(width), height(height), x(x), y(y), disabled(false), ticked(false), nextClickTime(0),
      label(label), flag(nullptr), vertices(), offCell(offCell), onCell(onCell)
{
}

void tavCheckBox::SetTicked(bool on)
{
    ticked = on;
    if (flag) *flag = on ? 1 : 0;
    vertices.SetCell(on ? onCell : offCell);
}
