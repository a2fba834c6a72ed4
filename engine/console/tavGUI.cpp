// The GUI's life cycle and its input: clicks, keys and paste.
#include "console/tavGUI.h"

#include "console/tavFont.h"
#include "core/TAV.h"
#include "graphics/tavPrimitiveBuffer.h"

#include <new>

namespace
{
const int FontHeight = 20;
} // namespace

tavGUI::tavGUI()
    : owner(nullptr), font(nullptr), sprite(nullptr), cursor(nullptr), widgets(), hoverSound(-1),
      clickSound(-1), enabled(false), soundsEnabled(true), guiTexture(-1), guiSetting(0.0f)
{
}

tavGUI::~tavGUI()
{
    Destroy();
}

void tavGUI::Init(TAV* o, float setting, float cursorWidth, float cursorHeight, int texture)
{
    Destroy();
    owner = o;
    guiSetting = setting;
    guiTexture = texture;
    if (!owner) return;
    font = new (std::nothrow) tavFont(owner);
    if (font && FAILED(font->Create("Verdana", FontHeight, false, false, false)))
        owner->Write(
            "<font color=\"red\">GUI font could not be created; the GUI draws no text.</font>");
    sprite = new (std::nothrow) tavPrimitiveBuffer(owner);
    CreateSprite();
    cursor = new (std::nothrow) GuiCursor(owner, sprite, cursorWidth, cursorHeight);
    widgets.SetFont(font ? &font->GetSheet() : nullptr);
    widgets.SetScreen(owner->GetWidth(), owner->GetHeight());
    if (cursor) cursor->Layout();
    enabled = true;
}

// One quad's worth of vertices, rewritten for every quad drawn; the buffer
// lives in the default pool so that those rewrites can discard it.
void tavGUI::CreateSprite()
{
    if (!sprite) return;
    sprite->SetPrimitiveType(D3DPT_TRIANGLELIST);
    sprite->SetUsage(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY);
    sprite->SetPool(D3DPOOL_DEFAULT);
    const tavPrimitiveVertex blank[6] = {};
    sprite->Create(6, 2, blank);
}

void tavGUI::Restore()
{
    if (!owner) return;
    if (font) font->Restore();
    CreateSprite();
    widgets.SetScreen(owner->GetWidth(), owner->GetHeight());
    if (cursor) cursor->Layout();
}

void tavGUI::Invalidate()
{
    if (font) font->Invalidate();
    if (sprite) sprite->Release();
}

void tavGUI::Clear()
{
    widgets.Clear();
}

void tavGUI::Destroy()
{
    Clear();
    widgets.SetFont(nullptr);
    delete cursor;
    cursor = nullptr;
    delete sprite;
    sprite = nullptr;
    if (font) font->Destroy();
    delete font;
    font = nullptr;
    enabled = false;
}

float tavGUI::CursorX() const
{
    return owner ? owner->GetCursorX() : 0.0f;
}

float tavGUI::CursorY() const
{
    return owner ? owner->GetCursorY() : 0.0f;
}

void tavGUI::PlaySoundIfSet(int handle)
{
    if (owner && handle != -1 && soundsEnabled) owner->PlaySound(handle, false);
}

bool tavGUI::OnClick()
{
    if (!enabled || !owner) return false;
    const tavGuiClick click = widgets.Click(CursorX(), CursorY(), owner->GetMilliseconds());
    if (const tavButton* b = widgets.GetButton(click.button))
    {
        // The scene may clear the GUI in its handler: copy the id first.
        const uint32_t id = b->id;
        PlaySoundIfSet(clickSound);
        // Like its keys, a scene hears of clicks only once it is ready: a
        // click on the loading screen must not reach a scene still loading.
        tavScene* scene = owner->GetScene();
        if (scene && owner->IsSceneReady()) scene->OnGuiEvent(id);
    }
    return click.consumed;
}

bool tavGUI::OnMouseButton(bool down)
{
    return down ? false : OnClick();
}

bool tavGUI::IsMouseOverWidget() const
{
    return enabled && widgets.IsOverWidget(CursorX(), CursorY());
}

void tavGUI::KeyInput(uint32_t code, bool isCharacter)
{
    widgets.KeyInput(code, isCharacter);
}

void tavGUI::TypeChar(uint32_t code)
{
    widgets.TypeChar(code);
}

void tavGUI::Paste(const std::string& text)
{
    widgets.Paste(text);
}
