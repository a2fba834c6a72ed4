#pragma once
// The arithmetic of the screen fader: an overlay colour and an opacity that
// a fade moves between 0 and 255 over a set time. Portable: tavFader keeps
// one, hands it the engine's millisecond clock and draws its colour.
//
// A fade ends on the first Advance after the opacity passed its threshold
// (above 250 fading out, below 5 fading in), which snaps it to 255 or 0.

#include <cstdint>

class tavFade
{
public:
    // Clear white, not fading, idle, a duration of one second.
    tavFade();

    // False (and nothing changes) unless `seconds` is a positive number.
    bool SetDuration(float seconds);
    // Components 0..255; values outside are held at the nearest end.
    void SetColour(float red, float green, float blue);
    // 0..255, held at the nearest end; a running fade goes on from there.
    void SetAlpha(float alpha);
    // Stop any fade and stand clear (0) or opaque (255).
    void SetClear();
    void SetOpaque();

    // Start a fade at `now` (ms): false, and nothing changes, while a fade
    // runs or when the opacity already stands at the fade's end.
    bool FadeOut(uint32_t now);
    bool FadeIn(uint32_t now);

    // One frame at `now` (ms; the clock may wrap): moves a running fade on.
    // True when one ran, so the overlay's colour changed.
    bool Advance(uint32_t now);

    // ARGB of the overlay; each component cut to a whole byte.
    uint32_t Colour() const;
    // The overlay is drawn only while it is not fully clear.
    bool IsVisible() const { return alpha > 0.0f; }
    // No fade ran in the last Advance.
    bool IsIdle() const { return idle; }
    bool IsFadingIn() const { return fadingIn; }
    bool IsFadingOut() const { return fadingOut; }
    float GetAlpha() const { return alpha; }
    float GetDuration() const { return duration; }
    // Opacity per second: 255 / duration.
    float GetRate() const { return rate; }

private:
    bool fadingIn;
    bool fadingOut;
    float alpha;
    float red, green, blue;
    float duration;
    uint32_t startTime;
    bool idle;
    float rate;
};
