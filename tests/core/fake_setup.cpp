// Stands in for the setup utility in tests: writes "<folder>\nshow <n>" (its
// working directory and how it was asked to show its window) to "setup-ran.txt".
#include <windows.h>

#include <cstdio>

int main()
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    STARTUPINFOA startup = {}; // filled in whole by GetStartupInfoA
    GetStartupInfoA(&startup);
    if (FILE* f = std::fopen("setup-ran.txt", "wb"))
    {
        std::fprintf(f, "%s\nshow %d", dir,
                     (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
        std::fclose(f);
    }
    return 0;
}
