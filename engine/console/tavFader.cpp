#include "console/tavFader.h"

#include "core/TAV.h"
#include "graphics/tavPrimitiveBuffer.h"

#include <new>

namespace
{
// The quad reaches this far past every edge of the screen.
const float Margin = 0.001f;

// A strip of two triangles over a w x h back buffer (2D y grows upward).
void Corners(tavPrimitiveVertex (&out)[4], float w, float h, D3DCOLOR c)
{
    out[0] = {-Margin, h + Margin, 0.0f, 0.0f, 0.0f, -1.0f, c, 0.0f, 0.0f};
    out[1] = {w + Margin, h + Margin, 0.0f, 0.0f, 0.0f, -1.0f, c, 1.0f, 0.0f};
    out[2] = {-Margin, -Margin, 0.0f, 0.0f, 0.0f, -1.0f, c, 0.0f, 1.0f};
    out[3] = {w + Margin, -Margin, 0.0f, 0.0f, 0.0f, -1.0f, c, 1.0f, 1.0f};
}
} // namespace

tavFader::tavFader(TAV* o) : owner(o), fade(), quad(nullptr)
{
    if (!owner) return;
    quad = new (std::nothrow) tavPrimitiveBuffer(owner);
    if (!quad) return;
    quad->SetUsage(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY);
    quad->SetPool(D3DPOOL_DEFAULT);
    BuildQuad();
}

tavFader::~tavFader()
{
    Destroy();
}

bool tavFader::IsValid() const
{
    return quad && quad->IsCreated();
}

void tavFader::Restore()
{
    BuildQuad();
}

void tavFader::Invalidate()
{
    if (quad) quad->Release();
}

void tavFader::Destroy()
{
    delete quad;
    quad = nullptr;
}

void tavFader::BuildQuad()
{
    if (!quad) return;
    tavPrimitiveVertex corners[4];
    Corners(corners, owner->GetWidth(), owner->GetHeight(), fade.Colour());
    quad->Create(4, 2, corners);
}

// The four vertices again, colour and all: a write-only buffer is not read
// back to patch it.
void tavFader::WriteColours()
{
    if (!IsValid()) return;
    tavPrimitiveVertex corners[4];
    Corners(corners, owner->GetWidth(), owner->GetHeight(), fade.Colour());
    quad->Update(corners, 4, D3DLOCK_NOSYSLOCK);
}

void tavFader::SetDuration(float seconds)
{
    if (!fade.SetDuration(seconds) && owner)
        owner->WriteValue("Fader duration refused (seconds, must be above 0): ", double(seconds));
}

void tavFader::SetColour(float red, float green, float blue)
{
    fade.SetColour(red, green, blue);
    WriteColours();
}

void tavFader::SetAlpha(float alpha)
{
    fade.SetAlpha(alpha);
    WriteColours();
}

void tavFader::SetClear()
{
    fade.SetClear();
    WriteColours();
}

void tavFader::SetOpaque()
{
    fade.SetOpaque();
    WriteColours();
}

void tavFader::FadeOut()
{
    if (owner && fade.FadeOut(owner->GetMilliseconds())) WriteColours();
}

void tavFader::FadeIn()
{
    if (owner && fade.FadeIn(owner->GetMilliseconds())) WriteColours();
}

void tavFader::Draw()
{
    // 1-4. The fade moves on.
    if (!owner) return;
    if (fade.Advance(owner->GetMilliseconds())) WriteColours();

    // 5. The overlay, without touching the depth buffer.
    IDirect3DDevice9* device = owner->GetDevice();
    if (!fade.IsVisible() || !device || !IsValid()) return;
    owner->ResetWorldTransform();
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    quad->Render();
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}
