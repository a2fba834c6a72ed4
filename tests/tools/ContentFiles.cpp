#include "ContentFiles.h"

#include <windows.h>

namespace
{
std::string CurrentFolder()
{
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// Taken before any test runs, while the current folder is the run folder.
const std::string RunFolder = CurrentFolder();
} // namespace

std::string ContentFile(const std::string& name)
{
    return RunFolder + "\\base\\" + name;
}

std::string PreviewFolder()
{
    const std::string folder = RunFolder + "\\previews";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
