#include "ConfigText.h"

#include <gtest/gtest.h>

namespace
{
std::string Value(const ConfigText& text, const char* key, const char* section = "TAV")
{
    std::string value;
    return text.Find(section, key, value) ? value : "<missing>";
}
} // namespace

// The platform's reading: names without case, values trimmed and unquoted,
// the first key and the first section of a name win, comments are no keys.
TEST(ConfigText, ReadsKeysAsThePrivateProfileFunctionsDo)
{
    const ConfigText text("Stray=1\n"
                          "; Filter=3\n"
                          "  [tav]  \n"
                          "  filter =  2 \r\r\n"
                          "FILTER=1\n"
                          "Setup=\"my setup.exe\"\n"
                          "[Other]\n"
                          "Channels=8\n"
                          "[TAV]\n"
                          "Channels=16\n");
    EXPECT_EQ(Value(text, "Filter"), "2");
    EXPECT_EQ(Value(text, "Setup"), "my setup.exe");
    EXPECT_EQ(Value(text, "Stray"), "<missing>");
    EXPECT_EQ(Value(text, "Stray", ""), "1");
    EXPECT_EQ(Value(text, "Channels"), "<missing>");
    EXPECT_EQ(Value(text, "Channels", "other"), "8");
}

// An edit rewrites one line and keeps every other byte, line breaks included;
// a new key goes after the section's last key, before the blank line.
TEST(ConfigText, SetRewritesOnlyTheKeysLine)
{
    ConfigText text("; mine\r\n[TAV]\r\nIsSetup=2\r\n  Filter = 0 \r\n\r\n[Other]\r\nX=1\r\n");
    text.Set("TAV", "Filter", "3");
    text.Set("TAV", "Sound", "1");
    EXPECT_EQ(text.Text(),
              "; mine\r\n[TAV]\r\nIsSetup=2\r\nFilter=3\r\nSound=1\r\n\r\n[Other]\r\nX=1\r\n");

    ConfigText cut("[TAV]\nIsSetup=1\nChan");
    EXPECT_TRUE(cut.EndsMidLine());
    cut.Set("TAV", "Channels", "32");
    EXPECT_EQ(cut.Text(), "[TAV]\nIsSetup=1\nChan\nChannels=32\n");

    ConfigText empty("");
    empty.Set("TAV", "IsSetup", "1");
    EXPECT_EQ(empty.Text(), "[TAV]\nIsSetup=1\n");

    // Only the first section of the name is read, so the key goes there.
    ConfigText twice("[TAV]\nA=1\n[TAV]\nB=2\n");
    twice.Set("TAV", "B", "3");
    EXPECT_EQ(twice.Text(), "[TAV]\nA=1\nB=3\n[TAV]\nB=2\n");
}
