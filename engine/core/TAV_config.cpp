// The run-state check: what the last run left in "IsSetup" decides whether
// the engine starts, launches the setup utility, or asks first.
#include "core/TAV.h"

#include "util/tavUtil.h"

#include <string>

namespace
{
const char* const MakerAddress = "https://tav-engine.example/setup";

const char* const SafeModeText =
    "It appears that the last time this product ran, it crashed. As a result, can be taken\n"
    " back to the setup utility so you can modify your program settings. We apologize for the "
    "inconvenience.\n\nWould you like to modify your settings now?";

std::string MissingSetupText(bool first)
{
    if (first)
        return std::string("We could not locate the setup utility program.\n Please locate it inside "
                           "of your product's directory and run it manually.\n If you need to "
                           "download a new copy of the configuration tool,\n one may be available "
                           "at ") +
               MakerAddress + ". We apologize for the inconvenience.";
    return std::string("We could not locate the setup utility program. Please located it inside of "
                       "your product's directory and run it manually. If you need to download a new "
                       "copy of the configuration tool, one may be available at ") +
           MakerAddress + ". We apologize for the inconvenience.";
}
} // namespace

HRESULT TAV::CheckRunState()
{
    switch (GetInt("TAV", "IsSetup", 0))
    {
    case 1:
        return S_OK;
    case 0:
        Write("Running external configuration utility.");
        LaunchSetupUtility("tavConfig.exe", true);
        runState = 0;
        return E_FAIL;
    case 2:
        if (MessageBoxA(nullptr, SafeModeText, "Safe Mode", MB_ICONINFORMATION | MB_YESNO) == IDYES)
        {
            LaunchSetupUtility(".\\tavConfig.exe", false);
            runState = 0;
            return E_FAIL;
        }
        return S_OK;
    default:
        return E_FAIL;
    }
}

void TAV::LaunchSetupUtility(const char* fallbackName, bool firstText)
{
    char command[256] = {};
    GetString(command, sizeof(command), "TAV", "Setup", "");
    // The command goes to the shell as it stands, even empty (the default):
    // the shell refuses an empty name, and the fallback name is tried next.
    if (ShellOpen(command, SW_SHOWNORMAL) > 32)
        return;
    if (ShellOpen(fallbackName, SW_SHOWNORMAL) > 32)
        return;
    MessageBoxA(nullptr, MissingSetupText(firstText).c_str(), "Uh oh!", MB_ICONINFORMATION | MB_OK);
}
