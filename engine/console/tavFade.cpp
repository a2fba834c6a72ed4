#include "console/tavFade.h"

#include <cmath>

namespace
{
const float Opaque = 255.0f;
const float FadeInEnd = 5.0f;
const float FadeOutEnd = 250.0f;

// Into 0..255; not-a-number counts as 0.
float Component(float v)
{
    return v > 0.0f ? (v < Opaque ? v : Opaque) : 0.0f;
}

uint32_t Byte(float v)
{
    return uint32_t(Component(v));
}
} // namespace

tavFade::tavFade()
    : fadingIn(false), fadingOut(false), alpha(0.0f), red(Opaque), green(Opaque), blue(Opaque),
      duration(1.0f), startTime(0), idle(true), rate(Opaque)
{
}

bool tavFade::SetDuration(float seconds)
{
    if (!(seconds > 0.0f) || !std::isfinite(seconds)) return false;
    duration = seconds;
    rate = Opaque / seconds;
    return true;
}

void tavFade::SetColour(float r, float g, float b)
{
    red = Component(r);
    green = Component(g);
    blue = Component(b);
}

void tavFade::SetAlpha(float a)
{
    alpha = Component(a);
}

void tavFade::SetClear()
{
    fadingIn = fadingOut = false;
    alpha = 0.0f;
}

void tavFade::SetOpaque()
{
    fadingIn = fadingOut = false;
    alpha = Opaque;
}

bool tavFade::FadeOut(uint32_t now)
{
    if (fadingIn || fadingOut || alpha >= Opaque) return false;
    fadingOut = true;
    alpha = 1.0f;
    startTime = now;
    return true;
}

bool tavFade::FadeIn(uint32_t now)
{
    if (fadingIn || fadingOut || alpha <= 0.0f) return false;
    fadingIn = true;
    alpha = Opaque;
    startTime = now;
    return true;
}

bool tavFade::Advance(uint32_t now)
{
    const float elapsed = float(uint32_t(now - startTime));
    const bool ran = fadingIn || fadingOut;
    if (fadingIn)
    {
        if (alpha < FadeInEnd)
        {
            alpha = 0.0f;
            fadingIn = false;
        }
        else
            alpha = Component(Opaque - elapsed * 0.001f * rate);
    }
    else if (fadingOut)
    {
        if (alpha > FadeOutEnd)
        {
            alpha = Opaque;
            fadingOut = false;
        }
        else
            alpha = Component(elapsed * 0.001f * rate);
    }
    idle = !ran;
    return ran;
}

uint32_t tavFade::Colour() const
{
    return Byte(alpha) << 24 | Byte(red) << 16 | Byte(green) << 8 | Byte(blue);
}
