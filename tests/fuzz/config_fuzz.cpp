// tav.cfg as the setup utility opens it: any bytes give settings the test
// machine can do, the note says why when the file was not sound, and what
// OK writes reads back as exactly the settings chosen, with every key.
#include "ConfigText.h"
#include "SettingsFile.h"
#include "SettingsFix.h"
#include "tools/tavConfig/TestOffer.h"

#include <cstdlib>
#include <string>

namespace
{
bool Same(const Settings& a, const Settings& b)
{
    return a.setup == b.setup && a.vsync == b.vsync && a.adapter == b.adapter &&
           a.device == b.device && a.format == b.format && a.backBuffer == b.backBuffer &&
           a.fullScreen == b.fullScreen && a.resolution == b.resolution && a.hasPure == b.hasPure &&
           a.useAA == b.useAA && a.samples == b.samples && a.quality == b.quality &&
           a.showFPS == b.showFPS && a.filter == b.filter && a.gui == b.gui &&
           a.hwSound == b.hwSound && a.channels == b.channels && a.music == b.music &&
           a.sound == b.sound;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const MachineOffer offer = TestOffer();
    const SettingsFile file(bytes, true, offer);

    // What the dialog shows needs no more fixing.
    Settings shown = file.GetSettings();
    if (!FixSettings(shown, offer).empty()) abort();
    if (!ConfigText(bytes).HasSection("TAV") && file.GetNote().empty()) abort();

    const std::string saved = file.Save(shown);
    SettingsReport report;
    Settings back = ReadSettings(ConfigText(saved), report);
    if (!report.missing.empty() || !report.invalid.empty() || back.isSetup != 1) abort();
    back.setup = shown.setup.empty() ? "" : back.setup;
    if (!Same(back, shown)) abort();
    return 0;
}
