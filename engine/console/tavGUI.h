#pragma once
// The GUI widgets offered to applications: buttons, edit boxes, labels,
// images, check boxes, radio buttons and sliders, and the mouse cursor.

#include <windows.h>

#include <cstdint>
#include <string>

class TAV;

class tavGUI
{
public:
    tavGUI();

    void Init(TAV* owner, float guiSetting, float cursorWidth, float cursorHeight, int guiTexture);
    void Restore();
    void Invalidate();
    // Frees every widget (scene changes and shutdown).
    void Clear();
    void Destroy();
    void Draw();
    // A left-button release; true when a widget took it.
    bool OnClick();
    // A left-button down or up from the input poll; true when a widget took it.
    bool OnMouseButton(bool down);
    bool IsMouseOverWidget() const;
    void KeyInput(uint32_t code, bool isCharacter);
    void Paste(const std::string& text);

private:
    TAV* owner;
    float guiSetting;
    float cursorWidth;
    float cursorHeight;
    int guiTexture;
    bool enabled;
};
