#include "Settings.h"

#include "ConfigText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* const SettingsSection = "TAV";
const int SettingsKeyCount = 20;

namespace
{
// A whole decimal number in the range of int, nothing else.
bool ParseInt(const std::string& text, int& out)
{
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < -2147483647L - 1 || value > 2147483647L)
        return false;
    if (!(text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9'))) return false;
    out = int(value);
    return true;
}

bool ParseFloat(const std::string& text, float& out)
{
    if (text.empty() || text.size() > 19) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || std::fabs(value) > 1e30 ||
        text.find_first_of("xXnN") != std::string::npos)
        return false;
    out = float(value);
    return true;
}

std::string FormatFloat(float value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%f", double(value));
    return text;
}

// One key's reading and writing, whatever its type.
struct Key
{
    const char* name;
    int Settings::*intField;
    bool Settings::*boolField;
    float Settings::*floatField;
    std::string Settings::*textField;
};

const Key Keys[] = {
    {"IsSetup", &Settings::isSetup, nullptr, nullptr, nullptr},
    {"Setup", nullptr, nullptr, nullptr, &Settings::setup},
    {"VSync", &Settings::vsync, nullptr, nullptr, nullptr},
    {"Adapter", &Settings::adapter, nullptr, nullptr, nullptr},
    {"Device", &Settings::device, nullptr, nullptr, nullptr},
    {"Format", &Settings::format, nullptr, nullptr, nullptr},
    {"BackBuffer", &Settings::backBuffer, nullptr, nullptr, nullptr},
    {"FullScreen", nullptr, &Settings::fullScreen, nullptr, nullptr},
    {"Resolution", &Settings::resolution, nullptr, nullptr, nullptr},
    {"HasPure", nullptr, &Settings::hasPure, nullptr, nullptr},
    {"UseAA", nullptr, &Settings::useAA, nullptr, nullptr},
    {"Samples", &Settings::samples, nullptr, nullptr, nullptr},
    {"Quality1", &Settings::quality, nullptr, nullptr, nullptr},
    {"ShowFPS", nullptr, &Settings::showFPS, nullptr, nullptr},
    {"Filter", &Settings::filter, nullptr, nullptr, nullptr},
    {"GUI", nullptr, nullptr, &Settings::gui, nullptr},
    {"HWSound", nullptr, &Settings::hwSound, nullptr, nullptr},
    {"Channels", &Settings::channels, nullptr, nullptr, nullptr},
    {"Music", nullptr, &Settings::music, nullptr, nullptr},
    {"Sound", nullptr, &Settings::sound, nullptr, nullptr},
};
static_assert(sizeof(Keys) / sizeof(Keys[0]) == 20, "SettingsKeyCount");

// False when the text is no value of the key's type; `settings` is then unchanged.
bool ReadKey(const Key& key, const std::string& text, Settings& settings)
{
    int number = 0;
    if (key.intField || key.boolField)
    {
        if (!ParseInt(text, number)) return false;
        if (key.intField)
            settings.*key.intField = number;
        else
            settings.*key.boolField = number != 0;
        return true;
    }
    if (key.floatField) return ParseFloat(text, settings.*key.floatField);
    // The engine reads at most 254 characters of the command.
    settings.*key.textField = text.substr(0, 254);
    return true;
}

std::string KeyText(const Key& key, const Settings& settings)
{
    if (key.intField) return std::to_string(settings.*key.intField);
    if (key.boolField) return settings.*key.boolField ? "1" : "0";
    if (key.floatField) return FormatFloat(settings.*key.floatField);
    // The platform drops one pair of quotes, so a quoted command keeps its own.
    const std::string& text = settings.*key.textField;
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        return "\"" + text + "\"";
    return text;
}

bool SameValue(const Key& key, const Settings& a, const Settings& b)
{
    if (key.intField) return a.*key.intField == b.*key.intField;
    if (key.boolField) return a.*key.boolField == b.*key.boolField;
    if (key.floatField) return a.*key.floatField == b.*key.floatField;
    return a.*key.textField == b.*key.textField;
}
} // namespace

Settings ReadSettings(const ConfigText& text, SettingsReport& report)
{
    Settings settings;
    for (const Key& key : Keys)
    {
        std::string value;
        // An empty value reads as the default on the platform, as a missing key.
        if (!text.Find(SettingsSection, key.name, value) || value.empty())
            report.missing.push_back(key.name);
        else if (!ReadKey(key, value, settings))
            report.invalid.push_back(std::string(key.name) + ": " + value.substr(0, 40));
    }
    return settings;
}

void WriteSettings(const Settings& settings, ConfigText& text)
{
    for (const Key& key : Keys)
    {
        std::string value;
        Settings current = settings;
        if (text.Find(SettingsSection, key.name, value) && ReadKey(key, value, current) &&
            SameValue(key, current, settings))
            continue;
        text.Set(SettingsSection, key.name, KeyText(key, settings));
    }
}

std::string DefaultSettingsText()
{
    ConfigText text("[TAV]\n");
    WriteSettings(Settings(), text);
    return text.Text();
}
