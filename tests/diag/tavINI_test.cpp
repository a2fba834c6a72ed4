#include "diag/tavINI.h"

#include "support/TestFiles.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

TEST(INITest, ReadsFollowThePlatformRulesAndWritesRoundTrip)
{
    TestFolder folder;
    tavINI ini;
    WriteTextFile("t.cfg", "[TAV]\nInt=42\nNeg=-7\nJunk=abc\nLead=12abc\nFloat=2.5\nEmpty=\n"
                           "Text=hello world\n");
    ini.SetFile("./t.cfg");
    for (const auto& [key, value] : {std::pair<const char*, int>{"Int", 42},
                                     {"Neg", -7},
                                     {"Missing", 9},
                                     {"Junk", 0},
                                     {"Lead", 12}})
        EXPECT_EQ(ini.GetInt("TAV", key, 9), value) << key;
    EXPECT_EQ(ini.GetInt("Other", "Int", 3), 3);
    EXPECT_TRUE(ini.GetBool("TAV", "Int", false));
    EXPECT_FALSE(ini.GetBool("TAV", "Junk", true));
    EXPECT_TRUE(ini.GetBool("TAV", "Missing", true));
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Float", 0), 2.5f);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Junk", 7), 0.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Missing", 5.0f), 5.0f);
    // Strings are cut to the buffer and fall back when missing or empty.
    char buffer[8];
    EXPECT_TRUE(ini.GetString(buffer, sizeof(buffer), "TAV", "Text", "d"));
    EXPECT_STREQ(buffer, "hello w");
    EXPECT_FALSE(ini.GetString(buffer, sizeof(buffer), "TAV", "Empty", "dflt"));
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_FALSE(ini.GetString(buffer, sizeof(buffer), "TAV", "Missing", ""));
    EXPECT_STREQ(buffer, "");
    std::string text;
    EXPECT_TRUE(ini.GetString(text, "TAV", "Text", ""));
    EXPECT_EQ(text, "hello world");
    ini.SetInt("TAV", "IsSetup", 2);
    ini.SetFloat("TAV", "GUI", 1.5f);
    ini.SetString("TAV", "Setup", "x.exe");
    EXPECT_EQ(ini.GetInt("TAV", "IsSetup", 0), 2);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "GUI", 0), 1.5f);
    EXPECT_TRUE(ContainsInOrder(ReadTextFile(folder.File("t.cfg")),
                                {"IsSetup=2", "GUI=1.500000", "Setup=x.exe"}));
}
