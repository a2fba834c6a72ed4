// Stands in for the setup utility in tests: records that it ran (and with
// which working directory) in "setup-ran.txt", then exits.
#include <windows.h>

#include <cstdio>

int main()
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    if (FILE* f = std::fopen("setup-ran.txt", "wb"))
    {
        std::fputs(dir, f);
        std::fclose(f);
    }
    return 0;
}
