#pragma once
// The drop-down text console: a scroll-back buffer of coloured lines that
// every subsystem prints into, an input line with a blinking caret, eight
// built-in commands, and a table of bound functions through which the
// application adds its own commands (they arrive at the engine's
// OnCommand... callbacks). When shown it covers the upper half of the
// screen with a semi-transparent textured panel and takes the keyboard;
// when hidden it can still show the lines of the last three seconds
// (notify mode).
//
// Main thread only: keys and paste come from window messages, drawing and
// printing from the frame.

#include "console/tavCommandLine.h"
#include "console/tavInputLine.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class TAV;
class tavFont;
class tavPrimitiveBuffer;

struct ConsoleLine
{
    uint32_t colour;
    std::string text;
    uint32_t time; // engine clock (ms) when it was printed
};

class tavConsole
{
public:
    tavConsole();
    // Destroy, if the engine did not.
    ~tavConsole();
    tavConsole(const tavConsole&) = delete;
    tavConsole& operator=(const tavConsole&) = delete;

    // Stores the settings, creates the font (Verdana, 25) and the panel and
    // restores them. Returns 0 even when the font or the panel could not be
    // made (the console then prints but draws less).
    HRESULT Init(TAV* owner, uint32_t inputColour, uint32_t maxLines, uint32_t activatorKey,
                 float transparency);
    // Texture number (texture pool) drawn on the panel; -1 for none.
    void SetBackgroundTexture(int textureNumber);
    int GetBackgroundTexture() const { return background; }
    // Device objects: Restore after Init and after every device reset (it
    // also hides the console), Invalidate before a reset.
    void Restore();
    void Invalidate();
    // Frees the font, the panel, the lines, the input and the bindings.
    void Destroy();

    // Once per frame, last in the 2D drawing; the caller has set the 2D
    // projection (y grows upward).
    void Draw();
    // A key-down (virtual-key code, isCharacter false) or a typed character;
    // true when the console took it. The activator toggles the console
    // whether it arrives as a key or as a character.
    bool KeyInput(uint32_t code, bool isCharacter);
    // Clipboard text into the input line at the caret (cut to 60).
    void Paste(const std::string& text);

    // Appends one line; the oldest goes when the buffer is full (a size of
    // 0 keeps everything). An empty text adds nothing.
    void Print(const char* text, uint32_t colour);
    // printf rules into 512 bytes; longer text is cut to 511 characters.
    void Printf(uint32_t colour, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // Runs one command line: a built-in command, else the bound functions
    // of that name, else "Invalid command: %s(%s)".
    void Execute(const std::string& line);
    // Names need not be unique: every binding of a name is called.
    void BindFunction(const std::string& name, uint32_t id, uint32_t type);
    // Removes the first binding of that exact name; false if there is none.
    bool UnbindFunction(const std::string& name);
    // Calls every binding of `name` whose type takes this argument text;
    // true when at least one was called.
    bool CallBound(const std::string& name, const std::string& argumentText);
    // The help block.
    void ShowInfo();

    bool IsShown() const { return shown; }
    bool Toggle();
    void SetNotify(bool on) { notify = on; }
    tavFont* GetFont() const { return font; }
    size_t GetBindingCount() const { return bindings.size(); }
    const std::deque<ConsoleLine>& GetLines() const { return lines; }
    const std::string& GetInput() const { return input.Text(); }
    int GetScrollOffset() const { return scrollOffset; }

private:
    void CallBinding(const BoundFunction& binding, const std::vector<double>& values,
                     const std::string& argumentText);
    bool RunBuiltIn(const std::string& command);
    void EditKey(uint32_t code);
    void BuildPanel();
    void DrawNotify();
    void DrawShown();
    void DrawLines(float lineHeight);
    void DrawInputRow(float lineHeight);
    void DrawFrameRate();

    TAV* owner;
    tavFont* font;
    std::deque<ConsoleLine> lines; // oldest first
    std::vector<BoundFunction> bindings;
    uint32_t maxLines;
    float panelWidth;
    float panelBottom;
    tavInputLine input; // the line being typed, its caret and its 60-character limit
    bool shown;
    uint32_t activatorKey;
    float heightFraction;
    uint32_t inputColour;
    tavPrimitiveBuffer* panel;
    bool busy;
    bool notify;
    float transparency;
    int scrollOffset;
    int maxScroll;
    float caretAlpha;
    int background;
};
