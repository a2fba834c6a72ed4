#include "util/tavUtil.h"

#include "util/tavText.h"

#include <shellapi.h>

BOOL CenterWindow(HWND window)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT r = {};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    return MoveWindow(window, screenWidth / 2 - w / 2, screenHeight / 2 - h / 2, w, h, TRUE);
}

INT_PTR ShellOpen(const char* pathOrCommand, int show)
{
    char directory[256] = {};
    GetCurrentDirectoryA(255, directory);
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", pathOrCommand, nullptr, directory, show));
}

void DebugPrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatBounded(512, format, args);
    va_end(args);
    OutputDebugStringA(text.c_str());
}

std::string TimeText()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return FormatTimeText(t.wHour, t.wMinute, t.wSecond, t.wMonth, t.wDay, t.wYear);
}
