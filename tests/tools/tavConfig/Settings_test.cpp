#include "ConfigText.h"
#include "Settings.h"

#include <gtest/gtest.h>

TEST(Settings, MissingEmptyAndNonNumericValuesKeepTheirDefaults)
{
    SettingsReport report;
    const Settings s = ReadSettings(ConfigText("[TAV]\nIsSetup=1\nChannels=x9!~\nFilter=0x3\n"
                                               "Adapter=99999999999999999999\nGUI=nan\nMusic=\n"
                                               "Resolution=-1\nFullScreen=7\nSamples= +4 \n"),
                                    report);
    EXPECT_EQ(
        (std::vector<int>{s.isSetup, s.resolution, s.samples, s.channels, s.filter, s.adapter}),
        (std::vector<int>{1, -1, 4, 32, 0, 0}));
    EXPECT_TRUE(s.fullScreen);
    EXPECT_TRUE(s.music);
    EXPECT_EQ(s.gui, 5.0f);
    EXPECT_EQ(report.invalid,
              (std::vector<std::string>{"Adapter: 99999999999999999999", "Filter: 0x3", "GUI: nan",
                                        "Channels: x9!~"}));
    // Nine keys, but "Music=" reads as the default on the platform, as a missing key.
    EXPECT_EQ(report.missing.size(), size_t(SettingsKeyCount - 8));
}

// A line that already reads as the value to write stays as it is.
TEST(Settings, WritingLeavesLinesThatReadTheSame)
{
    ConfigText text(
        "[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=1\nSetup='tavConfig.exe'\n");
    SettingsReport report;
    Settings s = ReadSettings(text, report);
    s.filter = 2;
    WriteSettings(s, text);
    const std::string head = "[TAV]\nFullScreen=7\nGUI=5.0\nChannels=+32\nFilter=2\n"
                             "Setup='tavConfig.exe'\nIsSetup=0\n";
    EXPECT_EQ(text.Text().substr(0, head.size()), head);
}
