// tavConfig.exe: the setup utility the engine launches when "./tav.cfg"
// says the program is not set up, or after a failed run. It shows what the
// machine offers, and OK writes every key with "IsSetup"=1; Cancel leaves
// the file as it was.
#include "ConfigDialog.h"
#include "MachineEnumerator.h"
#include "SettingsFile.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace
{
const char* const ConfigPath = "./tav.cfg";
const char* const ConfigScratch = "./tav.cfg.new";

bool ReadWholeFile(const char* path, std::string& bytes)
{
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0)
        bytes.append(chunk, n);
    std::fclose(f);
    return true;
}

// Through a scratch file and a rename, so that the engine never finds the
// file half written. The engine's INI access is not used for this: twenty
// private-profile writes would rewrite the file twenty times (and under
// some platforms normalise every line), where the model edits only the
// lines that changed.
bool WriteWholeFile(const char* path, const std::string& bytes)
{
    FILE* f = std::fopen(ConfigScratch, "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (closed && written &&
        MoveFileExA(ConfigScratch, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    DeleteFileA(ConfigScratch);
    SetLastError(error);
    return false;
}

void ReportWriteFailure()
{
    char reason[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   GetLastError(), 0, reason, sizeof(reason), nullptr);
    const std::string text = std::string("The settings could not be written to tav.cfg: ") + reason;
    MessageBoxA(nullptr, text.c_str(), "TAV Setup", MB_ICONERROR | MB_OK);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    std::string bytes;
    const bool exists = ReadWholeFile(ConfigPath, bytes);
    if (!exists) WriteWholeFile(ConfigPath, DefaultSettingsText());

    const MachineOffer offer = EnumerateMachine();
    const SettingsFile file(bytes, exists, offer);
    ConfigDialog dialog(offer, file.GetSettings(), file.GetNote());
    if (!dialog.Run(instance)) return 0;
    if (!WriteWholeFile(ConfigPath, file.Save(dialog.GetSettings())))
    {
        ReportWriteFailure();
        return 1;
    }
    return 0;
}
