#include "SettingsFile.h"

#include "ConfigText.h"
#include "TestOffer.h"

#include <gtest/gtest.h>

namespace
{
const char* const Sound = "[TAV]\r\nIsSetup=0\r\nSetup=tavConfig.exe\r\nAdapter=0\r\nDevice=1\r\n"
                          "Format=22\r\nBackBuffer=22\r\nFullScreen=0\r\nResolution=-1\r\nVSync=0\r\n"
                          "UseAA=0\r\nSamples=0\r\nQuality1=0\r\nFilter=2\r\nShowFPS=0\r\n"
                          "HWSound=0\r\nChannels=32\r\nMusic=1\r\nSound=1\r\nHasPure=0\r\nGUI=5.0\r\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

Settings Read(const std::string& text)
{
    SettingsReport report;
    return ReadSettings(ConfigText(text), report);
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
    const std::string expected = Replace(
        Replace(Replace(Sound, "IsSetup=0", "IsSetup=1"), "Resolution=-1", "Resolution=1"),
        "Filter=2", "Filter=0");
    EXPECT_EQ(file.Save(chosen), expected);
    EXPECT_EQ(file.Save(file.GetSettings()), Replace(Sound, "IsSetup=0", "IsSetup=1"));
}

// Values the machine lacks are saved corrected, even when the player
// changed nothing.
TEST(SettingsFile, ValuesTheMachineLacksAreSavedCorrected)
{
    const std::string spoilt = Replace(Replace(Sound, "Resolution=-1", "Resolution=40"),
                                       "Channels=32", "Channels=abc");
    const SettingsFile file(spoilt, true, TestOffer());
    EXPECT_NE(file.GetNote().find("Resolution 40"), std::string::npos);
    EXPECT_NE(file.GetNote().find("Channels: abc"), std::string::npos);
    const Settings saved = Read(file.Save(file.GetSettings()));
    EXPECT_EQ(saved.resolution, 3);
    EXPECT_EQ(saved.channels, 32);
    EXPECT_EQ(saved.isSetup, 1);
}

TEST(SettingsFile, MissingEmptyOrDamagedFilesOpenWithDefaultsAndANote)
{
    const std::string binary("\x89PNG\r\n\x1a\n\0\0[TAV]\nFilter=3\n", 26);
    const struct
    {
        std::string bytes;
        bool exists;
        const char* note;
    } cases[] = {{"", false, "There was no tav.cfg"},
                 {"", true, "was empty"},
                 {binary, true, "damaged"},
                 {"Filter=3\nIsSetup=1\n", true, "damaged"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.note);
        const SettingsFile file(c.bytes, c.exists, TestOffer());
        EXPECT_NE(file.GetNote().find(c.note), std::string::npos) << file.GetNote();
        EXPECT_EQ(file.GetSettings().filter, 0);
        EXPECT_EQ(file.GetSettings().format, 22); // the default 0 is no format: the desktop's
        const std::string saved = file.Save(file.GetSettings());
        EXPECT_EQ(saved.find("PNG"), std::string::npos);
        SettingsReport report;
        ReadSettings(ConfigText(saved), report);
        EXPECT_TRUE(report.missing.empty());
        EXPECT_EQ(Read(saved).setup, "tavConfig.exe");
    }
}

TEST(SettingsFile, AFileCutShortKeepsWhatItHeldAndNamesWhatItLacks)
{
    const std::string cut = std::string(Sound).substr(0, std::string(Sound).find("Filter=2") + 7);
    const SettingsFile file(cut, true, TestOffer());
    EXPECT_NE(file.GetNote().find("lacks 8 of its 20 settings (it was cut short)"), std::string::npos)
        << file.GetNote();
    EXPECT_EQ(file.GetSettings().format, 22);
    EXPECT_EQ(file.GetSettings().channels, 32);
    const std::string saved = file.Save(file.GetSettings());
    EXPECT_EQ(saved.substr(0, cut.size()), Replace(cut, "IsSetup=0", "IsSetup=1"));
    EXPECT_EQ(Read(saved).filter, 0); // "Filter=" was cut to nothing: the default
}
