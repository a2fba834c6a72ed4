#include "diag/tavINI.h"

#include "support/TestFiles.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace
{
class INITest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteTextFile("t.cfg", "[TAV]\nInt=42\nNeg=-7\nJunk=abc\nLead=12abc\nFloat=2.5\n"
                               "Empty=\nText=hello world\n");
        ini.SetFile("./t.cfg");
    }
    TestFolder folder;
    tavINI ini;
};
} // namespace

TEST_F(INITest, NumbersFollowThePlatformRules)
{
    EXPECT_EQ(ini.GetInt("TAV", "Int", 0), 42);
    EXPECT_EQ(ini.GetInt("TAV", "Neg", 0), -7);
    EXPECT_EQ(ini.GetInt("TAV", "Missing", 9), 9);
    EXPECT_EQ(ini.GetInt("TAV", "Junk", 9), 0); // present but no number
    EXPECT_EQ(ini.GetInt("TAV", "Lead", 9), 12);
    EXPECT_EQ(ini.GetInt("Other", "Int", 3), 3);
    EXPECT_TRUE(ini.GetBool("TAV", "Int", false));
    EXPECT_FALSE(ini.GetBool("TAV", "Junk", true));
    EXPECT_TRUE(ini.GetBool("TAV", "Missing", true));
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Float", 0), 2.5f);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Junk", 7), 0.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "Missing", 5.0f), 5.0f);
}

TEST_F(INITest, StringsFallBackWhenMissingOrEmpty)
{
    char buffer[8];
    EXPECT_TRUE(ini.GetString(buffer, sizeof(buffer), "TAV", "Text", "d"));
    EXPECT_STREQ(buffer, "hello w"); // size - 1 characters
    EXPECT_FALSE(ini.GetString(buffer, sizeof(buffer), "TAV", "Empty", "dflt"));
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_FALSE(ini.GetString(buffer, sizeof(buffer), "TAV", "Missing", ""));
    EXPECT_STREQ(buffer, "");
    std::string text;
    EXPECT_TRUE(ini.GetString(text, "TAV", "Text", ""));
    EXPECT_EQ(text, "hello world");
}

TEST_F(INITest, WritersRoundTrip)
{
    ini.SetInt("TAV", "IsSetup", 2);
    ini.SetFloat("TAV", "GUI", 1.5f);
    ini.SetString("TAV", "Setup", "x.exe");
    EXPECT_EQ(ini.GetInt("TAV", "IsSetup", 0), 2);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "GUI", 0), 1.5f);
    EXPECT_TRUE(ContainsInOrder(ReadTextFile(folder.File("t.cfg")),
                                {"IsSetup=2", "GUI=1.500000", "Setup=x.exe"}));
}

TEST(tavINI, WithoutAFileEverythingIsADefault)
{
    TestFolder folder;
    tavINI ini;
    EXPECT_EQ(ini.GetInt("TAV", "IsSetup", 5), 5);
    EXPECT_FLOAT_EQ(ini.GetFloat("TAV", "GUI", 5.0f), 5.0f);
    char buffer[4] = "abc";
    EXPECT_TRUE(ini.GetString(buffer, sizeof(buffer), "TAV", "Setup", ""));
    EXPECT_STREQ(buffer, "abc"); // untouched
    ini.SetInt("TAV", "IsSetup", 1); // nothing to write to
    EXPECT_FALSE(FileExists(folder.File("tav.cfg")));
}
