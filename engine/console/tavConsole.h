#pragma once
// The drop-down text console: a scroll-back buffer of coloured lines that
// every subsystem prints into, an input line and a small command set.

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

class TAV;

struct ConsoleLine
{
    uint32_t colour;
    std::string text;
    uint32_t time;
};

class tavConsole
{
public:
    tavConsole();

    // Stores the settings and builds the device objects. Returns 0.
    HRESULT Init(TAV* owner, uint32_t inputColour, uint32_t maxLines, uint32_t activatorKey,
                 float transparency);
    // Texture number (texture pool) drawn on the panel.
    void SetBackgroundTexture(int textureNumber) { background = textureNumber; }
    int GetBackgroundTexture() const { return background; }
    // Device objects: Restore after Init and after every device reset,
    // Invalidate before a reset, Destroy at shutdown.
    void Restore();
    void Invalidate();
    void Destroy();
    // Once per frame, last in the 2D drawing.
    void Draw();
    // A key-down (virtual-key code) or a typed character; true when taken.
    bool KeyInput(uint32_t code, bool isCharacter);
    void Paste(const std::string& text);
    // Appends one line (the oldest goes when the buffer is full).
    void Print(const char* text, uint32_t colour);
    void Printf(uint32_t colour, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool IsShown() const { return shown; }

    const std::deque<ConsoleLine>& GetLines() const { return lines; }

private:
    TAV* owner;
    std::deque<ConsoleLine> lines;
    uint32_t maxLines;
    bool shown;
    uint32_t activatorKey;
    uint32_t inputColour;
    float transparency;
    int background;
};
