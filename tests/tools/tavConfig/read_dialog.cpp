// tav_read_dialog.exe "<window title>" [--close]: prints each control of a
// dialog of another process as "<id> <checked 0/1> <text>", or closes it.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace
{
BOOL CALLBACK PrintControl(HWND control, LPARAM)
{
    char text[512] = {};
    // Marshalled between processes, unlike the list messages.
    SendMessageA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    const LRESULT checked = SendMessageA(control, BM_GETCHECK, 0, 0);
    for (char* c = text; *c; ++c)
        if (*c == '\r' || *c == '\n') *c = '|';
    std::printf("%d %d %s\n", GetDlgCtrlID(control), checked == BST_CHECKED ? 1 : 0, text);
    return TRUE;
}
} // namespace

int main(int argc, char** argv)
{
    HWND dialog = argc > 1 ? FindWindowA(nullptr, argv[1]) : nullptr;
    if (!dialog) return 1;
    if (argc > 2 && std::strcmp(argv[2], "--close") == 0)
        return PostMessageA(dialog, WM_CLOSE, 0, 0) ? 0 : 1;
    EnumChildWindows(dialog, PrintControl, 0);
    return 0;
}
