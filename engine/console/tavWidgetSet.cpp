#include "console/tavWidgetSet.h"

#include "console/tavGlyphSheet.h"
#include "console/tavTextLayout.h"

#include <cmath>
#include <utility>

namespace
{
const float DefaultFontHeight = 20.0f;
const uint32_t White = 0xFFFFFFFF;
const uint32_t EditBoxColour = 0x99FFFFFF;
const uint32_t SliderBarColour = 0xFFFFFFFF;
const uint32_t SliderKnobColour = 0xFF7F8FA6;
const float LabelGap = 10.0f; // between an edit box's label and its box
const float BoxWidthPerCharacter = 0.85f;

// Virtual keys an edit box answers to.
enum : uint32_t
{
    KeyBackspace = 8,
    KeyPageUp = 33,
    KeyPageDown = 34,
    KeyLeft = 37,
    KeyRight = 39,
    KeyDelete = 46,
};
} // namespace

tavWidgetSet::tavWidgetSet()
    : focus(-1), hoverButton(-1), screen(), sheet(nullptr), fontHeight(DefaultFontHeight)
{
}

void tavWidgetSet::SetScreen(float width, float height)
{
    // Knobs are kept in pixels: carry them over to the new width.
    const float oldWidth = screen.width;
    screen.width = width;
    screen.height = height;
    if (oldWidth > 0.0f && width != oldWidth)
        for (auto& s : sliders)
            s->knobPosition *= width / oldWidth;
    Layout();
}

void tavWidgetSet::SetFont(const tavGlyphSheet* glyphs)
{
    sheet = glyphs;
    fontHeight = sheet && sheet->fontHeight > 0.0f ? sheet->fontHeight : DefaultFontHeight;
    Layout();
}

void tavWidgetSet::Layout()
{
    for (auto& b : buttons)
        LayoutButton(*b);
    for (auto& e : editBoxes)
        LayoutEditBox(*e);
    for (auto& im : images)
        LayoutImage(*im);
    for (auto& c : checkBoxes)
        LayoutCheckBox(*c);
    for (auto& r : radioButtons)
        LayoutCheckBox(*r);
    for (auto& s : sliders)
        LayoutSlider(*s);
}

// ---- Adding --------------------------------------------------------------------

int tavWidgetSet::AddButton(float x, float y, float width, float height, uint32_t id,
                            int normalTexture, int hoverTexture)
{
    auto b = std::make_unique<tavButton>();
    b->normalTexture = b->currentTexture = normalTexture;
    b->hoverTexture = hoverTexture;
    b->x = x;
    b->y = y;
    b->width = width;
    b->height = height;
    b->id = id;
    LayoutButton(*b);
    return Append(buttons, std::move(b));
}

int tavWidgetSet::AddEditBox(float x, float y, int maxLength, const std::string& label)
{
    auto e = std::make_unique<tavEditBox>(x, y, maxLength < 0 ? 0 : maxLength, label);
    LayoutEditBox(*e);
    return Append(editBoxes, std::move(e));
}

int tavWidgetSet::AddLabel(float x, float y, uint32_t colour, const std::string& text)
{
    return Append(labels, std::unique_ptr<tavLabel>(new tavLabel{text, x, y, colour, false}));
}

int tavWidgetSet::AddImage(float x, float y, float width, float height, int textureNumber,
                           uint32_t colour)
{
    auto im = std::make_unique<tavImage>();
    im->texture = textureNumber;
    im->width = width;
    im->height = height;
    im->x = x;
    im->y = y;
    im->colour = colour;
    LayoutImage(*im);
    return Append(images, std::move(im));
}

int tavWidgetSet::AddCheckBox(float x, float y, float width, float height, const std::string& label)
{
    auto c = std::make_unique<tavCheckBox>(x, y, width, height, label);
    LayoutCheckBox(*c);
    return Append(checkBoxes, std::move(c));
}

int tavWidgetSet::AddRadioButton(float x, float y, float width, float height,
                                 const std::string& label, int group)
{
    auto r = std::make_unique<tavRadioButton>(x, y, width, height, label, group);
    LayoutCheckBox(*r);
    return Append(radioButtons, std::move(r));
}

int tavWidgetSet::AddSlider(float x, float y, float width, float minimum, float maximum, int steps)
{
    auto s = std::make_unique<tavSlider>();
    s->minimum = minimum;
    s->maximum = maximum;
    s->width = width;
    s->height = tavSlider::BarHeight;
    s->x = x;
    s->y = y;
    s->steps = steps;
    LayoutSlider(*s);
    return Append(sliders, std::move(s));
}

void tavWidgetSet::Clear()
{
    buttons.clear();
    editBoxes.clear();
    labels.clear();
    images.clear();
    checkBoxes.clear();
    radioButtons.clear();
    sliders.clear();
    focus = -1;
    hoverButton = -1;
}

// ---- Layout --------------------------------------------------------------------

tavPixelRect tavWidgetSet::ButtonRect(const tavButton& b) const
{
    return screen.Rect(b.x, b.y, b.width, b.height);
}

tavPixelRect tavWidgetSet::CheckRect(const tavCheckBox& c) const
{
    return screen.Rect(c.x, c.y, c.width, c.height);
}

tavPixelRect tavWidgetSet::SliderRect(const tavSlider& s) const
{
    return screen.Rect(s.x, s.y, s.width, s.height);
}

void tavWidgetSet::LayoutButton(tavButton& b) const
{
    b.vertices.Layout(ButtonRect(b), White, tavGuiCells::Whole);
}

void tavWidgetSet::LayoutEditBox(tavEditBox& e) const
{
    // The label is drawn at (x, y + 2); the box starts just past its end.
    e.labelExtent = 0.0f;
    if (sheet)
    {
        const tavTextLayout text(*sheet, screen.width, screen.height);
        const tavTextRect r = text.Measure(e.x, e.y + 2.0f, e.label.c_str(), false);
        e.labelExtent = float(r.right - r.left);
    }
    e.textX = e.x + e.labelExtent + LabelGap;
    e.lineHeight = fontHeight * 1.0f;
    e.boxWidth = fontHeight * float(e.line.MaxLength()) * BoxWidthPerCharacter;
    e.vertices.Layout(e.BoxRect(screen), EditBoxColour, tavGuiCells::EditBox);
}

void tavWidgetSet::LayoutImage(tavImage& im) const
{
    im.vertices.Layout(screen.Rect(im.x, im.y, im.width, im.height), im.colour, tavGuiCells::Whole);
}

void tavWidgetSet::LayoutCheckBox(tavCheckBox& c) const
{
    c.vertices.Layout(CheckRect(c), White, c.ticked ? c.onCell : c.offCell);
}

// The knob is centred on the bar's left end, so that drawing it moved by the
// knob position centres it on that position.
void tavWidgetSet::LayoutSlider(tavSlider& s) const
{
    s.height = tavSlider::BarHeight;
    s.bar.Layout(SliderRect(s), SliderBarColour, tavGuiCells::EditBox);
    const float knobY = s.y + (tavSlider::BarHeight - tavSlider::KnobHeight) * 0.5f;
    s.knob.Layout(screen.Rect(s.x - tavSlider::KnobWidth * 0.5f, knobY, tavSlider::KnobWidth,
                              tavSlider::KnobHeight),
                  SliderKnobColour, tavGuiCells::EditBox);
}

// ---- Mouse ---------------------------------------------------------------------

tavGuiClick tavWidgetSet::Click(float cx, float cy, uint32_t now)
{
    focus = -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (!buttons[i]->hidden && ButtonRect(*buttons[i]).Contains(cx, cy))
            return tavGuiClick{true, int(i)};
    for (size_t i = 0; i < editBoxes.size(); ++i)
        if (!editBoxes[i]->hidden && editBoxes[i]->BoxRect(screen).Contains(cx, cy))
        {
            focus = int(i);
            return tavGuiClick{true, -1};
        }
    for (auto& c : checkBoxes)
        if (CheckRect(*c).Contains(cx, cy))
        {
            ClickCheckBox(*c, now);
            return tavGuiClick{true, -1};
        }
    for (auto& r : radioButtons)
        if (CheckRect(*r).Contains(cx, cy))
        {
            ClickRadioButton(*r);
            return tavGuiClick{true, -1};
        }
    for (auto& s : sliders)
        if (!s->hidden && SliderRect(*s).Contains(cx, cy))
        {
            ClickSlider(*s, cx);
            return tavGuiClick{true, -1};
        }
    return tavGuiClick{false, -1};
}

bool tavWidgetSet::ClickCheckBox(tavCheckBox& c, uint32_t now)
{
    if (c.disabled || now < c.nextClickTime) return false;
    c.nextClickTime = now + DebounceMs;
    c.SetTicked(!c.ticked);
    return true;
}

// A disabled radio button keeps its group as it is.
void tavWidgetSet::ClickRadioButton(tavRadioButton& clicked)
{
    if (clicked.disabled) return;
    for (auto& r : radioButtons)
        if (r->group == clicked.group) r->SetTicked(false);
    clicked.SetTicked(true);
}

void tavWidgetSet::ClickSlider(tavSlider& s, float cursorX)
{
    const float barWidth = screen.ScaleX(s.width);
    float knob = cursorX - screen.ScaleX(s.x);
    if (s.steps > 0 && barWidth > 0.0f)
    {
        // Down to a whole step; a click exactly on a step (the right end
        // included) must not fall one short through rounding.
        const float step = barWidth / float(s.steps);
        knob = std::floor(knob / step + 1e-4f) * step;
    }
    s.knobPosition = knob;
}

bool tavWidgetSet::UpdateHover(float cx, float cy)
{
    int hit = -1;
    for (size_t i = 0; i < buttons.size() && hit < 0; ++i)
        if (!buttons[i]->hidden && ButtonRect(*buttons[i]).Contains(cx, cy)) hit = int(i);
    const bool entered = hit >= 0 && hit != hoverButton;
    hoverButton = hit;
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->currentTexture =
            int(i) == hit ? buttons[i]->hoverTexture : buttons[i]->normalTexture;
    return entered;
}

bool tavWidgetSet::IsOverWidget(float cx, float cy) const
{
    for (auto& b : buttons)
        if (!b->hidden && ButtonRect(*b).Contains(cx, cy)) return true;
    for (auto& e : editBoxes)
        if (!e->hidden && e->BoxRect(screen).Contains(cx, cy)) return true;
    for (auto& c : checkBoxes)
        if (CheckRect(*c).Contains(cx, cy)) return true;
    for (auto& r : radioButtons)
        if (CheckRect(*r).Contains(cx, cy)) return true;
    for (auto& s : sliders)
        if (!s->hidden && SliderRect(*s).Contains(cx, cy)) return true;
    return false;
}

// ---- Keys ----------------------------------------------------------------------

void tavWidgetSet::KeyInput(uint32_t code, bool isCharacter)
{
    if (isCharacter)
    {
        TypeChar(code);
        return;
    }
    tavEditBox* e = Focused();
    if (!e) return;
    switch (code)
    {
    case KeyBackspace:
        e->line.Backspace();
        break;
    case KeyPageUp:
        e->line.Home();
        break;
    case KeyPageDown:
        e->line.End();
        break;
    case KeyLeft:
        e->line.Left();
        break;
    case KeyRight:
        e->line.Right();
        break;
    case KeyDelete:
        e->line.Delete();
        break;
    default:
        break;
    }
}

void tavWidgetSet::TypeChar(uint32_t code)
{
    if (tavEditBox* e = Focused()) e->line.Type(code);
}

void tavWidgetSet::Paste(const std::string& text)
{
    tavEditBox* e = Focused();
    if (!e) return;
    e->line.Clear();
    e->line.Paste(text);
    e->line.End();
}

// ---- Queries -------------------------------------------------------------------

void tavWidgetSet::HideAll()
{
    for (auto& b : buttons)
        b->hidden = true;
    for (auto& e : editBoxes)
        e->hidden = true;
    for (auto& im : images)
        im->hidden = true;
}

int tavWidgetSet::GetSelectedRadio(int group) const
{
    for (size_t i = 0; i < radioButtons.size(); ++i)
        if (radioButtons[i]->group == group && radioButtons[i]->ticked) return int(i);
    return -1;
}

float tavWidgetSet::GetSliderValue(int i) const
{
    const tavSlider* s = GetSlider(i);
    if (!s) return 0.0f;
    const float barWidth = screen.ScaleX(s->width);
    if (!(barWidth != 0.0f)) return s->minimum;
    return s->knobPosition / barWidth * (s->maximum - s->minimum) + s->minimum;
}
