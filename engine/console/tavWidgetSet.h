#pragma once
// The rules of the GUI, apart from drawing: the seven lists of widgets, their
// layout in pixels, which widget a click hits first and what it does to it,
// the button under the cursor, and the keys and paste of the focused edit
// box. Portable: tavGUI feeds it the cursor (pixels, y up), the engine's
// millisecond clock and the keys, and draws what it holds; tests do the same
// without a device.
//
// Widgets are addressed by their index in their own list, in the order they
// were added; pointers from Get... stay valid until Clear.

#include "console/tavWidgets.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>

class tavGlyphSheet;

// What a click did.
struct tavGuiClick
{
    bool consumed; // a widget took it
    int button;    // index of the button it pressed, -1 for none
};

class tavWidgetSet
{
public:
    // Check boxes ignore a click this soon after the one they took.
    static const uint32_t DebounceMs = 200;

    tavWidgetSet();

    // The back-buffer size the virtual space is scaled to. Lays out every
    // widget again; slider knobs keep their place along their bars.
    void SetScreen(float width, float height);
    const tavScreenScale& GetScreen() const { return screen; }
    // The font's glyph sheet measures edit-box labels and gives the line
    // height; it must outlive this set or be replaced. Null: labels
    // measure 0 and lines are 20 units high. Lays out every widget again.
    void SetFont(const tavGlyphSheet* sheet);
    // Lays out every widget from its fields (after an application moved one).
    void Layout();

    // Each returns the new widget's index in its list.
    int AddButton(float x, float y, float width, float height, uint32_t id, int normalTexture,
                  int hoverTexture);
    // The box starts 10 units right of the label and fits maxLength
    // characters. A maximum length below 0 counts as 0 (nothing can be typed).
    int AddEditBox(float x, float y, int maxLength, const std::string& label);
    int AddLabel(float x, float y, uint32_t colour, const std::string& text);
    int AddImage(float x, float y, float width, float height, int textureNumber, uint32_t colour);
    int AddCheckBox(float x, float y, float width, float height, const std::string& label);
    int AddRadioButton(float x, float y, float width, float height, const std::string& label,
                       int group);
    // The bar is 30 units high; the knob starts at the left end (minimum).
    int AddSlider(float x, float y, float width, float minimum, float maximum, int steps);

    // Null for an index out of range.
    tavButton* GetButton(int i) const { return At(buttons, i); }
    tavEditBox* GetEditBox(int i) const { return At(editBoxes, i); }
    tavLabel* GetLabel(int i) const { return At(labels, i); }
    tavImage* GetImage(int i) const { return At(images, i); }
    tavCheckBox* GetCheckBox(int i) const { return At(checkBoxes, i); }
    tavRadioButton* GetRadioButton(int i) const { return At(radioButtons, i); }
    tavSlider* GetSlider(int i) const { return At(sliders, i); }

    // Frees every widget; no focus, no button under the cursor.
    void Clear();

    // A left-button release at the cursor (pixels), `now` on the engine's
    // millisecond clock. The edit focus is dropped first; then the first hit
    // wins, in this order: visible buttons, visible edit boxes (which take
    // the focus), check boxes, radio buttons, visible sliders.
    tavGuiClick Click(float cursorX, float cursorY, uint32_t now);
    // The first visible button under the cursor becomes the hover button;
    // true when that is a button other than the one before (its hover
    // sound is due). Every button shows its hover or normal texture.
    bool UpdateHover(float cursorX, float cursorY);
    // Over a visible button, edit box or slider, or any check box or radio
    // button.
    bool IsOverWidget(float cursorX, float cursorY) const;

    // A key the console did not take, for the focused edit box: a typed
    // character, or a virtual key (Backspace, Page Up / Page Down for the
    // start / end, Left, Right, Delete; others are ignored).
    void KeyInput(uint32_t code, bool isCharacter);
    // One character into the focused edit box: ignored below 32 and when
    // the text is full.
    void TypeChar(uint32_t code);
    // The focused edit box's text becomes `text`, cut to its maximum
    // length, with the edit cursor at the end.
    void Paste(const std::string& text);

    // Hides every button, edit box and image.
    void HideAll();
    // Index of the ticked radio button of `group`; -1 when none is.
    int GetSelectedRadio(int group) const;
    // knob position / bar width x (maximum - minimum) + minimum; 0 for an
    // index out of range, the minimum for a bar of no width.
    float GetSliderValue(int i) const;

    int GetEditFocus() const { return focus; }
    int GetHoverButton() const { return hoverButton; }
    float GetFontHeight() const { return fontHeight; }

    const std::deque<std::unique_ptr<tavButton>>& Buttons() const { return buttons; }
    const std::deque<std::unique_ptr<tavEditBox>>& EditBoxes() const { return editBoxes; }
    const std::deque<std::unique_ptr<tavLabel>>& Labels() const { return labels; }
    const std::deque<std::unique_ptr<tavImage>>& Images() const { return images; }
    const std::deque<std::unique_ptr<tavCheckBox>>& CheckBoxes() const { return checkBoxes; }
    const std::deque<std::unique_ptr<tavRadioButton>>& RadioButtons() const { return radioButtons; }
    const std::deque<std::unique_ptr<tavSlider>>& Sliders() const { return sliders; }

private:
    template <typename T> static T* At(const std::deque<std::unique_ptr<T>>& list, int i)
    {
        return i >= 0 && size_t(i) < list.size() ? list[size_t(i)].get() : nullptr;
    }
    template <typename T>
    static int Append(std::deque<std::unique_ptr<T>>& list, std::unique_ptr<T> widget)
    {
        list.push_back(std::move(widget));
        return int(list.size()) - 1;
    }

    void LayoutButton(tavButton& b) const;
    void LayoutEditBox(tavEditBox& e) const;
    void LayoutImage(tavImage& im) const;
    void LayoutCheckBox(tavCheckBox& c) const;
    void LayoutSlider(tavSlider& s) const;
    tavPixelRect ButtonRect(const tavButton& b) const;
    tavPixelRect CheckRect(const tavCheckBox& c) const;
    tavPixelRect SliderRect(const tavSlider& s) const;

    bool ClickCheckBox(tavCheckBox& c, uint32_t now);
    void ClickRadioButton(tavRadioButton& r);
    void ClickSlider(tavSlider& s, float cursorX);
    tavEditBox* Focused() const { return At(editBoxes, focus); }

    std::deque<std::unique_ptr<tavButton>> buttons;
    std::deque<std::unique_ptr<tavEditBox>> editBoxes;
    std::deque<std::unique_ptr<tavLabel>> labels;
    std::deque<std::unique_ptr<tavImage>> images;
    std::deque<std::unique_ptr<tavCheckBox>> checkBoxes;
    std::deque<std::unique_ptr<tavRadioButton>> radioButtons;
    std::deque<std::unique_ptr<tavSlider>> sliders;
    int focus;       // edit box that receives keys; -1 none
    int hoverButton; // button under the cursor; -1 none
    tavScreenScale screen;
    const tavGlyphSheet* sheet;
    float fontHeight;
};
