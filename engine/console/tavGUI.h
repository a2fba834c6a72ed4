#pragma once
// The engine's small widget set, offered to every application: push
// buttons, edit boxes, text labels, images, check boxes, radio buttons and
// sliders, and a mouse cursor, drawn over the scene in the 2D pass. A base
// of the engine object. Applications add widgets (each Add... returns the
// widget's index in its own list), draw them once per frame with Draw, and
// learn of button presses through the current scene's
// tavScene::OnGuiEvent. The engine feeds it every left-button release, and
// every key and paste the console does not take.
//
// Positions and sizes are in the virtual 1280 x 1024 space, y growing
// upward; colours are ARGB; texture numbers come from the texture pool.
// Main thread only.

#include "console/tavWidgetSet.h"

#include <cstdint>
#include <string>

class TAV;
class tavFont;
class tavPrimitiveBuffer;

class tavGUI
{
public:
    // Empty and disabled until Init.
    tavGUI();
    // Destroy, if the engine did not.
    ~tavGUI();
    tavGUI(const tavGUI&) = delete;
    tavGUI& operator=(const tavGUI&) = delete;

    // Creates the font (Verdana, 20), the quad drawer with the GUI atlas
    // `guiTexture` (3 x 3 cells; -1 draws the atlas parts untextured) and the
    // cursor (width x height in virtual units, hot spot at its top left),
    // and enables mouse input. `guiSetting` is the configuration's "GUI"
    // value, kept for applications. A second Init starts afresh.
    void Init(TAV* owner, float guiSetting, float cursorWidth, float cursorHeight, int guiTexture);
    // After a device reset: the vertex buffers again, and every widget and
    // the cursor laid out for the new back-buffer size.
    void Restore();
    // Before a device reset: releases the font's and the quad drawer's
    // vertex buffers (both live in the default pool).
    void Invalidate();
    // Frees every widget of every kind (scene changes and shutdown): no edit
    // focus, no button under the cursor.
    void Clear();
    // Clear, then frees the font, the quad drawer and the cursor; disables
    // the GUI. Safe before Init and twice.
    void Destroy();

    // Once per frame in the application's 2D pass (the engine's frame does
    // not call it): updates the cursor and the hovered button (playing the
    // hover sound on entering a button), then draws images, buttons (the
    // first added on top), labels, edit boxes, check boxes and radio
    // buttons, sliders, and the cursor last. Leaves culling off.
    void Draw();

    // A left-button release at the input cursor: the first widget hit takes
    // it (see tavWidgetSet::Click); a button plays the click sound and
    // reaches the current scene's OnGuiEvent with its id. Every click drops
    // the edit focus. True when a widget took it; nothing happens before
    // Init.
    bool OnClick();
    // The input poll's seam for the left button: a release is a click
    // (OnClick); true when the GUI took the event. Together with
    // IsMouseOverWidget it keeps widget clicks from the scene's bindings.
    bool OnMouseButton(bool down);
    // The input cursor is over a button, edit box, check box, radio button
    // or slider (hidden ones do not count). False before Init.
    bool IsMouseOverWidget() const;
    // A key-down (virtual-key code) or a typed character the console did
    // not take, for the focused edit box.
    void KeyInput(uint32_t code, bool isCharacter);
    // One character into the focused edit box, as if typed.
    void TypeChar(uint32_t code);
    // Replaces the focused edit box's text with `text`, cut to its maximum
    // length, the edit cursor at the end. Nothing without a focus.
    void Paste(const std::string& text);

    // ---- Widgets: see tavWidgetSet for what each takes ----
    int AddButton(float x, float y, float width, float height, uint32_t id, int normalTexture,
                  int hoverTexture)
    {
        return widgets.AddButton(x, y, width, height, id, normalTexture, hoverTexture);
    }
    int AddEditBox(float x, float y, int maxLength, const std::string& label)
    {
        return widgets.AddEditBox(x, y, maxLength, label);
    }
    int AddLabel(float x, float y, uint32_t colour, const std::string& text)
    {
        return widgets.AddLabel(x, y, colour, text);
    }
    int AddImage(float x, float y, float width, float height, int textureNumber, uint32_t colour)
    {
        return widgets.AddImage(x, y, width, height, textureNumber, colour);
    }
    int AddCheckBox(float x, float y, float width, float height, const std::string& label)
    {
        return widgets.AddCheckBox(x, y, width, height, label);
    }
    int AddRadioButton(float x, float y, float width, float height, const std::string& label,
                       int group)
    {
        return widgets.AddRadioButton(x, y, width, height, label, group);
    }
    int AddSlider(float x, float y, float width, float minimum, float maximum, int steps)
    {
        return widgets.AddSlider(x, y, width, minimum, maximum, steps);
    }
    // Null for an index out of range; valid until Clear.
    tavButton* GetButton(int i) const { return widgets.GetButton(i); }
    tavEditBox* GetEditBox(int i) const { return widgets.GetEditBox(i); }
    tavLabel* GetLabel(int i) const { return widgets.GetLabel(i); }
    tavImage* GetImage(int i) const { return widgets.GetImage(i); }
    tavCheckBox* GetCheckBox(int i) const { return widgets.GetCheckBox(i); }
    tavRadioButton* GetRadioButton(int i) const { return widgets.GetRadioButton(i); }
    tavSlider* GetSlider(int i) const { return widgets.GetSlider(i); }
    // Hides every button, edit box and image.
    void HideAll() { widgets.HideAll(); }
    // The ticked radio button of `group`, or -1.
    int GetSelectedRadio(int group) const { return widgets.GetSelectedRadio(group); }
    float GetSliderValue(int i) const { return widgets.GetSliderValue(i); }
    int GetEditFocus() const { return widgets.GetEditFocus(); }
    int GetHoverButton() const { return widgets.GetHoverButton(); }
    const tavWidgetSet& GetWidgets() const { return widgets; }

    // ---- Sounds: handles from tavDSound::LoadSound; -1 (the default) is none ----
    void SetHoverSound(int handle) { hoverSound = handle; }
    void SetClickSound(int handle) { clickSound = handle; }
    void SetSoundsEnabled(bool on) { soundsEnabled = on; }

    bool IsGUIEnabled() const { return enabled; }
    // The GUI's own font (null before Init).
    tavFont* GetGUIFont() const { return font; }
    int GetGUITexture() const { return guiTexture; }
    float GetGUISetting() const { return guiSetting; }

private:
    // The mouse cursor: a quad of the atlas's cursor cell that follows the
    // input cursor, kept inside the back buffer.
    class GuiCursor
    {
    public:
        GuiCursor(TAV* owner, tavPrimitiveBuffer* sprite, float width, float height);
        // The quad and the clamp rectangle for the current back buffer.
        void Layout();
        // Takes the input cursor's position.
        void Update();
        void Draw(int texture);

    private:
        TAV* owner;
        tavPrimitiveBuffer* sprite;
        float width, height;
        float x, y;
        tavQuad quad;
        tavPixelRect clamp;
    };

    void CreateSprite();
    void DrawQuad(const tavQuad& quad, int texture);
    void DrawImages();
    void DrawButtons();
    void DrawLabels();
    void DrawEditBox(const tavEditBox& e, bool focused);
    void DrawCheckBox(const tavCheckBox& c);
    void DrawSlider(const tavSlider& s);
    void PlaySoundIfSet(int handle);
    float CursorX() const;
    float CursorY() const;

    TAV* owner;
    tavFont* font;
    tavPrimitiveBuffer* sprite; // draws one GUI quad at a time with a pool texture
    GuiCursor* cursor;
    tavWidgetSet widgets; // the seven lists, the edit focus and the hovered button
    int hoverSound;
    int clickSound;
    bool enabled;
    bool soundsEnabled;
    int guiTexture;
    float guiSetting;
};
