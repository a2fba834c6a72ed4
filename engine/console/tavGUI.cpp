#include "console/tavGUI.h"

#include "core/TAV.h"

tavGUI::tavGUI()
    : owner(nullptr), guiSetting(0), cursorWidth(50), cursorHeight(50), guiTexture(-1), enabled(false)
{
}

void tavGUI::Init(TAV* o, float setting, float width, float height, int texture)
{
    owner = o;
    guiSetting = setting;
    cursorWidth = width;
    cursorHeight = height;
    guiTexture = texture;
    enabled = true;
}

void tavGUI::Restore() {}
void tavGUI::Invalidate() {}
void tavGUI::Clear() {}
void tavGUI::Destroy() { Clear(); }
void tavGUI::Draw() {}
bool tavGUI::OnClick() { return false; }
bool tavGUI::OnMouseButton(bool) { return false; }
bool tavGUI::IsMouseOverWidget() const { return false; }
void tavGUI::KeyInput(uint32_t, bool) {}
void tavGUI::Paste(const std::string&) {}
