#include "support/DialogAnswerer.h"

namespace
{
// The longest static text in the box is its message.
BOOL CALLBACK CollectText(HWND child, LPARAM found)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[2048] = {};
    GetWindowTextA(child, text, sizeof(text));
    std::string* best = reinterpret_cast<std::string*>(found);
    if (strlen(text) > best->size())
        *best = text;
    return TRUE;
}
} // namespace

DialogAnswerer::DialogAnswerer(const char* c, int b) : caption(c), button(b)
{
    watcher = std::thread([this] { Watch(); });
}

DialogAnswerer::~DialogAnswerer()
{
    stop = true;
    watcher.join();
}

std::string DialogAnswerer::Text() const { return answered ? text : std::string(); }

void DialogAnswerer::Watch()
{
    while (!stop && !answered)
    {
        HWND box = FindWindowA(nullptr, caption.c_str());
        if (box && IsWindowVisible(box))
        {
            std::string found;
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&found));
            text = found;
            answered = true;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            return;
        }
        Sleep(20);
    }
}
