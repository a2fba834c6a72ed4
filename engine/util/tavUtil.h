#pragma once
// Small Windows services several engine parts share.

#include <windows.h>
#include <string>

// Moves the window, keeping its size, to the middle of the screen (integer
// halves), repainting it. Returns MoveWindow's result.
BOOL CenterWindow(HWND window);

// Opens a file or command with the shell's "open" verb, the current directory
// as working directory, its window shown as `show` says (SW_SHOW unless
// told). Above 32 means success.
INT_PTR ShellOpen(const char* pathOrCommand, int show = SW_SHOW);

// printf rules into 512 bytes (longer text is cut), then OutputDebugStringA.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The local date and time as the log prints it (see FormatTimeText).
std::string TimeText();
