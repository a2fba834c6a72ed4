#include "ConfigText.h"
#include "SettingsFile.h"
#include "SettingsFix.h"
#include "TestOffer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
std::string Value(const ConfigText& text, const char* key, const char* section = "TAV")
{
    std::string value;
    return text.Find(section, key, value) ? value : "<missing>";
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

const std::string SoundFile =
    "[TAV]\r\nIsSetup=0\r\nSetup=tavConfig.exe\r\nAdapter=0\r\nDevice=1\r\n"
    "Format=22\r\nBackBuffer=22\r\nFullScreen=0\r\nResolution=-1\r\nVSync=0\r\n"
    "UseAA=0\r\nSamples=0\r\nQuality1=0\r\nFilter=2\r\nShowFPS=0\r\n"
    "HWSound=0\r\nChannels=32\r\nMusic=1\r\nSound=1\r\nHasPure=0\r\nGUI=5.0\r\n";
} // namespace

// The platform's reading: names without case, values trimmed and unquoted,
// the first key and the first section of a name win, comments are no keys.
TEST(ConfigText, ReadsKeysAsThePrivateProfileFunctionsDo)
{
    const ConfigText text("Stray=1\n; Filter=3\n  [tav]  \n  filter =  2 \r\r\nFILTER=1\n"
                          "Setup=\"my setup.exe\"\n[Other]\nChannels=8\n[TAV]\nChannels=16\n");
    EXPECT_EQ((std::vector<std::string>{Value(text, "Filter"), Value(text, "Setup"),
                                        Value(text, "Stray"), Value(text, "Stray", ""),
                                        Value(text, "Channels"), Value(text, "Channels", "other")}),
              (std::vector<std::string>{"2", "my setup.exe", "<missing>", "1", "<missing>", "8"}));
}

// An edit rewrites one line and keeps every other byte; a new key goes after
// the last key of the first section of the name, before the blank line.
TEST(ConfigText, SetRewritesOnlyTheKeysLine)
{
    const struct
    {
        const char *before, *key, *value, *after;
    } cases[] = {
        {"; mine\r\n[TAV]\r\nIsSetup=2\r\n  Filter = 0 \r\n\r\n[Other]\r\nX=1\r\n", "Filter", "3",
         "; mine\r\n[TAV]\r\nIsSetup=2\r\nFilter=3\r\n\r\n[Other]\r\nX=1\r\n"},
        {"; mine\r\n[TAV]\r\nIsSetup=2\r\nFilter=3\r\n\r\n[Other]\r\nX=1\r\n", "Sound", "1",
         "; mine\r\n[TAV]\r\nIsSetup=2\r\nFilter=3\r\nSound=1\r\n\r\n[Other]\r\nX=1\r\n"},
        {"[TAV]\nIsSetup=1\nChan", "Channels", "32", "[TAV]\nIsSetup=1\nChan\nChannels=32\n"},
        {"", "IsSetup", "1", "[TAV]\nIsSetup=1\n"},
        {"[TAV]\nA=1\n[TAV]\nB=2\n", "B", "3", "[TAV]\nA=1\nB=3\n[TAV]\nB=2\n"},
    };
    for (const auto& c : cases)
    {
        ConfigText text(c.before);
        text.Set("TAV", c.key, c.value);
        EXPECT_EQ(text.Text(), c.after) << c.before;
    }
    EXPECT_TRUE(ConfigText("[TAV]\nIsSetup=1\nChan").EndsMidLine());
}

TEST(Settings, BadValuesKeepTheirDefaultsAndLinesThatReadTheSameStay)
{
    SettingsReport report;
    const Settings s = ReadSettings(ConfigText("[TAV]\nIsSetup=1\nChannels=x9!~\nFilter=0x3\n"
                                               "Adapter=99999999999999999999\nGUI=nan\nMusic=\n"
                                               "Resolution=-1\nFullScreen=7\nSamples= +4 \n"),
                                    report);
    EXPECT_EQ((std::vector<int>{s.isSetup, s.resolution, s.samples, s.channels, s.filter, s.adapter,
                                s.fullScreen, s.music}),
              (std::vector<int>{1, -1, 4, 32, 0, 0, 1, 1}));
    EXPECT_EQ(s.gui, 5.0f);
    EXPECT_EQ(report.invalid,
              (std::vector<std::string>{"Adapter: 99999999999999999999", "Filter: 0x3", "GUI: nan",
                                        "Channels: x9!~"}));
    // Nine keys, but "Music=" reads as the default on the platform, as a missing key.
    EXPECT_EQ(report.missing.size(), size_t(SettingsKeyCount - 8));

    ConfigText text(
        "[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=1\nSetup='tavConfig.exe'\n");
    Settings read = ReadSettings(text, report);
    read.filter = 2, WriteSettings(read, text);
    const std::string head =
        "[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=2\nSetup='tavConfig.exe'\nIsSetup=0\n";
    EXPECT_EQ(text.Text().substr(0, head.size()), head);
}

// Saving changes the lines of what was changed, and "IsSetup"; a file cut
// short keeps what it held and names what it lacks.
TEST(SettingsFile, SavingChangesOnlyTheChosenKeysAndACutFileIsMended)
{
    const SettingsFile file(SoundFile, true, TestOffer());
    EXPECT_EQ(file.GetNote(), "");
    Settings chosen = file.GetSettings();
    chosen.resolution = 1, chosen.filter = 0;
    EXPECT_EQ(file.Save(chosen), Replace(Replace(Replace(SoundFile, "IsSetup=0", "IsSetup=1"),
                                                 "Resolution=-1", "Resolution=1"),
                                         "Filter=2", "Filter=0"));

    const std::string cut = SoundFile.substr(0, SoundFile.find("Filter=2") + 7);
    const SettingsFile mended(cut, true, TestOffer());
    EXPECT_NE(mended.GetNote().find("lacks 8 of its 20 settings (it was cut short)"),
              std::string::npos)
        << mended.GetNote();
    EXPECT_EQ(mended.GetSettings().format, 22);
    EXPECT_EQ(mended.Save(mended.GetSettings()).substr(0, cut.size()),
              Replace(cut, "IsSetup=0", "IsSetup=1"));
}

// Each value the machine lacks is replaced, with one line naming it; what
// it can do is left alone (no name).
TEST(SettingsFix, EachValueTheMachineLacksIsReplacedAndNamed)
{
    const struct
    {
        const char *spoilt, *fixed, *named;
        size_t notes = 1;
    } cases[] = {
        {"Adapter=3", "Adapter=0", "Adapter 3"},
        {"Device=7", "Device=1", "Device type 7"},
        {"Format=0", "Format=22", "format 0"},
        {"BackBuffer=23", "BackBuffer=22", "format 23"},
        {"Resolution=57", "Resolution=3", "Resolution 57"}, // the desktop's size, the last such
        {"Resolution=-2", "Resolution=3", "Resolution -2"},
        {"UseAA=1\nSamples=8\nQuality1=1", "UseAA=0\nSamples=0\nQuality1=0", "8 samples"},
        {"UseAA=1\nSamples=4\nQuality1=9", "UseAA=1\nQuality1=3", "Quality 9"},
        {"UseAA=1\nSamples=4\nQuality1=0", "UseAA=1\nQuality1=1", "Quality 0"},
        {"UseAA=1\nSamples=0", "UseAA=0", "without"},
        {"Filter=3", "Filter=2", "Filter 3"},
        {"Filter=-1", "Filter=0", "Filter -1"},
        {"Channels=900", "Channels=128", "Channels 900"},
        {"Channels=0", "Channels=1", "Channels 0"},
        {"HasPure=1", "HasPure=0", "pure"},
        // No 1024 x 768 in R5G6B5: the last mode; the back buffer follows.
        {"Format=23\nResolution=3", "BackBuffer=23\nResolution=-1", "Back buffer format 22", 2},
        {"Resolution=-1\nUseAA=1\nSamples=4\nQuality1=3", "Resolution=-1\nQuality1=3", nullptr, 0},
        {"FullScreen=1\nUseAA=1\nSamples=8\nQuality1=1", "Samples=8\nQuality1=1", nullptr, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.spoilt);
        SettingsReport report;
        Settings s =
            ReadSettings(ConfigText(std::string("[TAV]\n") + c.spoilt +
                                    "\nFormat=22\nBackBuffer=22\nFilter=2\nResolution=1\n"),
                         report);
        const std::vector<std::string> notes = FixSettings(s, TestOffer());
        ASSERT_EQ(notes.size(), c.notes);
        EXPECT_TRUE(!c.named || notes[0].find(c.named) != std::string::npos) << notes[0];
        ConfigText text("");
        WriteSettings(s, text);
        std::istringstream lines(c.fixed);
        for (std::string line; std::getline(lines, line);)
            EXPECT_NE(text.Text().find("\n" + line + "\n"), std::string::npos) << line;
    }
    Settings s; // without Direct3D nothing can be checked: the display stays as read
    s.adapter = 5;
    const std::vector<std::string> notes = FixSettings(s, MachineOffer{});
    EXPECT_TRUE(notes.size() == 1u && notes[0].find("no display adapter") != std::string::npos &&
                s.adapter == 5);
}
