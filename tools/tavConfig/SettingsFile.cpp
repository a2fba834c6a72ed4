#include "SettingsFile.h"

#include "ConfigText.h"
#include "SettingsFix.h"

namespace
{
std::string JoinNames(const std::vector<std::string>& names, size_t most)
{
    std::string text;
    for (size_t i = 0; i < names.size() && i < most; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > most) text += ", ...";
    return text;
}
} // namespace

SettingsFile::SettingsFile(const std::string& found, bool exists, const MachineOffer& offer)
    : bytes(exists ? found : std::string()), readable(exists)
{
    const ConfigText text(bytes);
    SettingsReport report;
    if (!exists)
        AddNote("There was no tav.cfg: it was created with the defaults.");
    else if (bytes.empty())
    {
        readable = false;
        AddNote("tav.cfg was empty: the defaults are shown.");
    }
    else if (!text.IsReadable() || !text.HasSection(SettingsSection))
    {
        readable = false;
        AddNote("tav.cfg is damaged (it is no settings file): the defaults are shown, and OK "
                "writes a new file.");
    }
    if (readable) settings = ReadSettings(text, report);
    if (readable && !report.missing.empty())
        AddNote("tav.cfg lacks " + std::to_string(report.missing.size()) + " of its " +
                std::to_string(SettingsKeyCount) + " settings" +
                (text.EndsMidLine() ? " (it was cut short)" : "") +
                ": the defaults are shown for " + JoinNames(report.missing, 6) + ".");
    if (!report.invalid.empty())
        AddNote("Not numbers, the defaults are shown instead: " + JoinNames(report.invalid, 4) +
                ".");
    for (const std::string& line : FixSettings(settings, offer))
        AddNote(line);
}

void SettingsFile::AddNote(const std::string& line)
{
    if (!note.empty()) note += "\r\n";
    note += line;
}

std::string SettingsFile::Save(const Settings& chosen) const
{
    ConfigText text(readable ? bytes : std::string("[TAV]\n"));
    Settings written = chosen;
    written.isSetup = 1;
    if (written.setup.empty()) written.setup = "tavConfig.exe";
    WriteSettings(written, text);
    return text.Text();
}
