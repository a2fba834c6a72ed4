#include "SettingsFile.h"

#include "ConfigText.h"
#include "TestOffer.h"

#include <gtest/gtest.h>

namespace
{
const std::string Sound =
    "[TAV]\r\nIsSetup=0\r\nSetup=tavConfig.exe\r\nAdapter=0\r\nDevice=1\r\n"
    "Format=22\r\nBackBuffer=22\r\nFullScreen=0\r\nResolution=-1\r\nVSync=0\r\n"
    "UseAA=0\r\nSamples=0\r\nQuality1=0\r\nFilter=2\r\nShowFPS=0\r\n"
    "HWSound=0\r\nChannels=32\r\nMusic=1\r\nSound=1\r\nHasPure=0\r\nGUI=5.0\r\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}
} // namespace

// OK on a sound file changes the lines of what was changed, and "IsSetup".
TEST(SettingsFile, SavingASoundFileChangesOnlyTheChosenKeys)
{
    const SettingsFile file(Sound, true, TestOffer());
    EXPECT_EQ(file.GetNote(), "");
    Settings chosen = file.GetSettings();
    chosen.resolution = 1;
    chosen.filter = 0;
    EXPECT_EQ(file.Save(chosen), Replace(Replace(Replace(Sound, "IsSetup=0", "IsSetup=1"),
                                                 "Resolution=-1", "Resolution=1"),
                                         "Filter=2", "Filter=0"));
}

// A missing or binary file opens with the defaults and is written anew.
TEST(SettingsFile, MissingAndDamagedFilesAreWrittenAnew)
{
    const std::string binary("\x89PNG\r\n\x1a\n\0\0[TAV]\nFilter=3\n", 26);
    const std::pair<SettingsFile, const char*> cases[] = {
        {SettingsFile("", false, TestOffer()), "There was no tav.cfg"},
        {SettingsFile(binary, true, TestOffer()), "tav.cfg is damaged"}};
    for (const auto& [file, note] : cases)
    {
        EXPECT_NE(file.GetNote().find(note), std::string::npos) << file.GetNote();
        EXPECT_EQ(file.GetSettings().filter, 0);
        EXPECT_EQ(file.GetSettings().format, 22); // the default 0 is no format: the desktop's
        const std::string saved = file.Save(file.GetSettings());
        EXPECT_EQ(saved.find("PNG"), std::string::npos);
        SettingsReport report;
        EXPECT_EQ(ReadSettings(ConfigText(saved), report).setup, "tavConfig.exe");
        EXPECT_TRUE(report.missing.empty());
    }
}

TEST(SettingsFile, AFileCutShortKeepsWhatItHeldAndNamesWhatItLacks)
{
    const std::string cut = Sound.substr(0, Sound.find("Filter=2") + 7);
    const SettingsFile file(cut, true, TestOffer());
    EXPECT_NE(file.GetNote().find("lacks 8 of its 20 settings (it was cut short)"),
              std::string::npos)
        << file.GetNote();
    EXPECT_EQ(file.GetSettings().format, 22);
    const std::string saved = file.Save(file.GetSettings());
    EXPECT_EQ(saved.substr(0, cut.size()), Replace(cut, "IsSetup=0", "IsSetup=1"));
}
