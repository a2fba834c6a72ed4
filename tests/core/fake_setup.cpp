// Stands in for the setup utility in tests: records that it ran, with which
// working directory and how it was asked to show its window, in
// "setup-ran.txt" ("<folder>\nshow <n>"), then exits.
#include <windows.h>

#include <cstdio>

int main()
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    if (FILE* f = std::fopen("setup-ran.txt", "wb"))
    {
        std::fprintf(f, "%s\nshow %d", dir, show);
        std::fclose(f);
    }
    return 0;
}
