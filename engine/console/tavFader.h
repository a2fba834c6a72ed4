#pragma once
// A full-screen quad of one colour laid over the picture, whose opacity a
// fade moves between clear (0) and opaque (255) over a set time, so that an
// application can fade the screen to a colour and back. The engine makes one
// when the settings ask for it (TAV::GetFader; null otherwise) and keeps it
// across device resets; it never starts a fade or draws it itself.
//
// Times come from the engine's millisecond clock, which moves once per frame.

#include "console/tavFade.h"

#include <windows.h>

class TAV;
class tavPrimitiveBuffer;

class tavFader
{
public:
    // Clear white, one second per fade; builds the quad for the current
    // back buffer.
    explicit tavFader(TAV* owner);
    // Destroy, if the engine did not.
    ~tavFader();
    tavFader(const tavFader&) = delete;
    tavFader& operator=(const tavFader&) = delete;

    // False when the quad could not be made (nothing is ever drawn then).
    bool IsValid() const;
    // After a device reset: the quad again, for the new back-buffer size.
    void Restore();
    // Before a device reset: the quad's vertex buffer lives in the default pool.
    void Invalidate();
    // Frees the quad; safe twice.
    void Destroy();

    // Seconds per fade. A duration that is not above 0 is refused with a
    // line in the log; the old one stays.
    void SetDuration(float seconds);
    // Overlay colour, components 0..255.
    void SetColour(float red, float green, float blue);
    // Opacity 0..255 (a running fade goes on from there).
    void SetAlpha(float alpha);
    // Stop any fade and stand clear, or opaque.
    void SetClear();
    void SetOpaque();
    // From clear toward opaque, starting now. Ignored while a fade runs or
    // when already opaque.
    void FadeOut();
    // From opaque toward clear. Ignored while a fade runs or when clear.
    void FadeIn();
    // True when no fade ran in the last Draw.
    bool IsIdle() const { return fade.IsIdle(); }
    const tavFade& GetFade() const { return fade; }

    // Once per frame after the scene, in the 2D pass (screen projection,
    // y up): moves a running fade on and lays the overlay over the screen
    // unless it is fully clear. Depth is not written while it draws.
    void Draw();

private:
    void BuildQuad();
    void WriteColours();

    TAV* owner;
    tavFade fade; // colour, opacity, duration and the running fade
    tavPrimitiveBuffer* quad;
};
