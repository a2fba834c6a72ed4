#include "console/tavConsole.h"

#include "core/TAV.h"
#include "util/tavText.h"

tavConsole::tavConsole()
    : owner(nullptr), maxLines(200), shown(false), activatorKey(96), inputColour(0xFF000000),
      transparency(0.75f), background(-1)
{
}

HRESULT tavConsole::Init(TAV* o, uint32_t colour, uint32_t lineCount, uint32_t key, float alpha)
{
    owner = o;
    inputColour = colour;
    maxLines = lineCount;
    activatorKey = key;
    transparency = alpha;
    Restore();
    return S_OK;
}

void tavConsole::Restore() { shown = false; }
void tavConsole::Invalidate() {}
void tavConsole::Destroy() { lines.clear(); }
void tavConsole::Draw() {}
bool tavConsole::KeyInput(uint32_t, bool) { return false; }
void tavConsole::Paste(const std::string&) {}

void tavConsole::Print(const char* text, uint32_t colour)
{
    lines.push_back({colour, text ? text : "", owner ? owner->GetMilliseconds() : 0});
    while (maxLines > 0 && lines.size() > maxLines)
        lines.pop_front();
}

void tavConsole::Printf(uint32_t colour, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatBounded(512, format, args);
    va_end(args);
    Print(text.c_str(), colour);
}
