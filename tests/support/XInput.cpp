#include "support/XInput.h"

#include <windows.h>

namespace
{
const char* const Xdotool = "/usr/bin/xdotool";
} // namespace

bool CanSendXInput()
{
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine && GetFileAttributesA(Xdotool) != INVALID_FILE_ATTRIBUTES;
}

bool SendX(const std::string& arguments)
{
    std::string command = std::string(Xdotool) + " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    return true;
}
