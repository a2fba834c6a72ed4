#include "diag/tavINI.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int tavINI::GetInt(const char* section, const char* key, int defaultValue) const
{
    if (!path)
        return defaultValue;
    return int(GetPrivateProfileIntA(section, key, defaultValue, path));
}

bool tavINI::GetBool(const char* section, const char* key, bool defaultValue) const
{
    return GetInt(section, key, defaultValue ? 1 : 0) != 0;
}

float tavINI::GetFloat(const char* section, const char* key, float defaultValue) const
{
    if (!path)
        return defaultValue;
    char fallback[64];
    std::snprintf(fallback, sizeof(fallback), "%f", double(defaultValue));
    char text[20] = {};
    GetPrivateProfileStringA(section, key, fallback, text, sizeof(text), path);
    return float(std::atof(text));
}

bool tavINI::GetString(char* buffer, unsigned size, const char* section, const char* key,
                       const char* defaultValue) const
{
    if (!path)
        return true;
    if (!buffer || size == 0)
        return false;
    const DWORD n = GetPrivateProfileStringA(section, key, "", buffer, size, path);
    if (n > 0)
        return true;
    lstrcpynA(buffer, defaultValue ? defaultValue : "", int(size));
    return false;
}

bool tavINI::GetString(std::string& out, const char* section, const char* key,
                       const char* defaultValue) const
{
    char buffer[255] = {};
    if (!path)
        return true;
    const bool found = GetString(buffer, sizeof(buffer), section, key, defaultValue);
    out = buffer;
    return found;
}

void tavINI::SetString(const char* section, const char* key, const char* value) const
{
    if (path)
        WritePrivateProfileStringA(section, key, value, path);
}

void tavINI::SetInt(const char* section, const char* key, int value) const
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    SetString(section, key, text);
}

void tavINI::SetFloat(const char* section, const char* key, float value) const
{
    char text[64];
    std::snprintf(text, sizeof(text), "%f", double(value));
    SetString(section, key, text);
}
