#include "ConfigText.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Settings, MissingEmptyAndNonNumericValuesKeepTheirDefaults)
{
    SettingsReport report;
    const Settings s = ReadSettings(ConfigText("[TAV]\nIsSetup=1\nChannels=x9!~\nFilter=0x3\n"
                                               "Adapter=99999999999999999999\nGUI=nan\nMusic=\n"
                                               "Resolution=-1\nFullScreen=7\nSamples= +4 \n"),
                                    report);
    EXPECT_EQ(s.isSetup, 1);
    EXPECT_EQ(s.resolution, -1);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_EQ(s.samples, 4);
    EXPECT_EQ(s.channels, 32);
    EXPECT_EQ(s.filter, 0);
    EXPECT_EQ(s.adapter, 0);
    EXPECT_EQ(s.gui, 5.0f);
    EXPECT_TRUE(s.music);
    EXPECT_EQ(report.invalid, (std::vector<std::string>{"Adapter: 99999999999999999999",
                                                        "Filter: 0x3", "GUI: nan",
                                                        "Channels: x9!~"}));
    EXPECT_EQ(report.missing.size(), size_t(SettingsKeyCount - 9 + 1)); // Music= counts as missing
    EXPECT_NE(std::find(report.missing.begin(), report.missing.end(), "Music"), report.missing.end());
}

TEST(Settings, DefaultsRoundTripThroughTheirOwnFile)
{
    const std::string text = DefaultSettingsText();
    SettingsReport report;
    const Settings s = ReadSettings(ConfigText(text), report);
    // The default command is empty, which reads as no command at all.
    EXPECT_EQ(report.missing, std::vector<std::string>{"Setup"});
    EXPECT_TRUE(report.invalid.empty());
    EXPECT_EQ(s.isSetup, 0);
    EXPECT_EQ(s.device, 1);
    EXPECT_EQ(s.resolution, -1);
    EXPECT_EQ(s.channels, 32);
    EXPECT_EQ(s.gui, 5.0f);
    EXPECT_TRUE(s.sound);
    EXPECT_NE(text.find("GUI=5.000000\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), SettingsKeyCount + 1);
}

// A line that already reads as the value to write stays as it is.
TEST(Settings, WritingLeavesLinesThatReadTheSame)
{
    ConfigText text("[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=1\nSetup='tavConfig.exe'\n");
    SettingsReport report;
    Settings s = ReadSettings(text, report);
    s.filter = 2;
    WriteSettings(s, text);
    const std::string out = text.Text();
    const std::string head = "[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=2\n"
                             "Setup='tavConfig.exe'\nIsSetup=0\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    SettingsReport again;
    const Settings back = ReadSettings(ConfigText(out), again);
    EXPECT_TRUE(again.missing.empty());
    EXPECT_EQ(back.filter, 2);
    EXPECT_EQ(back.setup, "tavConfig.exe");
}
