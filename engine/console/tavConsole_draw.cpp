// The console's panel and its drawing: the scroll-back lines, the input row
// with its caret, notify mode and the frame rate.
#include "console/tavConsole.h"

#include "console/tavFont.h"
#include "core/TAV.h"
#include "graphics/tavPrimitiveBuffer.h"

#include <cmath>
#include <cstring>

namespace
{
const uint32_t PromptColour = 0xFF00FF00;
const uint32_t FrameRateColour = 0xFFFFFFFF;
const float TopLine = 1014.0f;    // virtual y of the first line
const float PanelHeight = 512.0f; // virtual height of the panel
const uint32_t NotifyMs = 3000;

DWORD Alpha(float fraction)
{
    const float a = fraction * 255.0f;
    return a <= 0.0f ? 0 : (a >= 255.0f ? 255 : DWORD(a));
}
} // namespace

// A quad over the upper part of the screen (2D y grows upward), textured
// with the background, white with the console's transparency as alpha.
void tavConsole::BuildPanel()
{
    if (!owner || !panel) return;
    const float w = owner->GetWidth(), h = owner->GetHeight();
    panelWidth = w;
    panelBottom = h - h * heightFraction;
    const D3DCOLOR colour = D3DCOLOR_ARGB(Alpha(transparency), 255, 255, 255);
    const tavPrimitiveVertex corners[4] = {
        {0.0f, h, 1.0f, 0.0f, 0.0f, -1.0f, colour, 0.0f, 0.0f},
        {w, h, 1.0f, 0.0f, 0.0f, -1.0f, colour, 1.0f, 0.0f},
        {0.0f, panelBottom, 1.0f, 0.0f, 0.0f, -1.0f, colour, 0.0f, 1.0f},
        {w, panelBottom, 1.0f, 0.0f, 0.0f, -1.0f, colour, 1.0f, 1.0f},
    };
    panel->Create(4, 2, corners);
    panel->SetTexture(background);
}

void tavConsole::Draw()
{
    if (!owner || !font) return;
    if (!shown && notify) DrawNotify();
    if (shown) DrawShown();
    if (owner->ShowFPS()) DrawFrameRate();
}

void tavConsole::DrawNotify()
{
    const float h = font->LineHeight(1.5f);
    const uint32_t now = owner->GetMilliseconds();
    float y = TopLine;
    tavTextRect r;
    for (const ConsoleLine& line : lines)
    {
        if (now >= NotifyMs && line.time < now - NotifyMs) continue;
        font->DrawText(r, 0.5f, y, line.colour, line.text.c_str());
        y -= h;
    }
}

void tavConsole::DrawShown()
{
    // 1. The caret fades in, then restarts dimmer.
    caretAlpha += float(owner->GetFrameTime() * 255.0);
    if (caretAlpha > 255.0f) caretAlpha = 100.0f;
    // 2.
    owner->ResetWorldTransform();
    if (panel) panel->Render(0, -1);
    // 3-5. A font without a usable height has no lines to lay out.
    const float h = font->LineHeight(1.5f);
    if (!(h > 0.0f) || !std::isfinite(h)) return;
    DrawLines(h);
    DrawInputRow(h);
}

void tavConsole::DrawLines(float h)
{
    const int visible = -int(-PanelHeight / h) - 1;
    const int count = int(lines.size());
    maxScroll = count > visible ? count - visible : 0;
    if (scrollOffset > maxScroll) scrollOffset = maxScroll;
    const int first = maxScroll - scrollOffset;
    const int last = count >= visible ? first + visible : count;
    float y = TopLine;
    tavTextRect r;
    for (int i = first; i < last && i < count; ++i)
    {
        const ConsoleLine& line = lines[size_t(i)];
        font->DrawText(r, 0.5f, y, line.colour, line.text.c_str());
        y -= h;
    }
}

void tavConsole::DrawInputRow(float h)
{
    const float y = PanelHeight + h;
    tavTextRect r;
    font->DrawText(r, 0.0f, y, PromptColour, scrollOffset != 0 ? "^" : ">");

    // The text before the caret, the caret at its end, the rest from there.
    char before[64];
    const std::string& text = input.Text();
    const size_t cut = size_t(input.Cursor()) < sizeof(before) ? size_t(input.Cursor()) : 0;
    std::memcpy(before, text.data(), cut);
    before[cut] = 0;
    font->DrawText(r, 40.0f, y, inputColour, before);
    const D3DCOLOR caret = D3DCOLOR_ARGB(Alpha(caretAlpha / 255.0f), 0, 255, 0);
    tavTextRect caretRect;
    font->DrawText(caretRect, float(r.right), y - 1.0f, caret, "_");
    font->DrawText(caretRect, float(r.right), y, inputColour, text.c_str() + cut);
}

void tavConsole::DrawFrameRate()
{
    tavTextRect r;
    font->DrawTextF(r, 1100.0f, 1020.0f, FrameRateColour, "%.2f", owner->GetFPS());
}
