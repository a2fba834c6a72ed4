// The run log's page and the configuration file.
#include "diag/tavINI.h"
#include "diag/tavLog.h"

#include "support/TestFiles.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace
{
class LogTest : public ::testing::Test
{
protected:
    void Open(const char* title = "Title", bool generator = false)
    {
        log.SetPath("./log.html");
        log.Open(title, generator);
    }
    std::string Text() const { return ReadTextFile(folder.File("log.html")); }
    // What is on disk after the page head (every write is flushed).
    std::string Body() const { return Text().substr(Text().find("<body>\n") + 7); }
    TestFolder folder;
    tavLog log;
};

struct DerivedRuntimeError : std::runtime_error
{
    DerivedRuntimeError() : std::runtime_error("derived") {}
};
} // namespace

// The page's exact bytes: head, nested sections, a banner, value lines
// (sizes switch units above 1000 of the smaller one but divide by 1024), and the tail.
TEST_F(LogTest, PageSectionsAndValueLinesAreExact)
{
    Open();
    EXPECT_EQ(Text(), "<html>\n<head>\n  <title>Title</title>\n<style>\n"
                      "  body { font-size: x-small; font-family: Verdana; }\n"
                      "  .banner { font-size: 16px; font-weight: bold; }\n"
                      "</style>\n<body>\n");
    log.Write("top");
    log.BeginSection("A");
    log.Write("in a");
    log.BeginSection("B");
    log.Write("in b");
    log.EndSection();
    log.EndSection();
    log.EndSection(); // at depth 0: nothing
    log.Banner("Phase");
    EXPECT_EQ(log.GetDepth(), 0);
    log.WriteValue("u: ", uint32_t(4000000000u));
    log.WriteValue("i: ", int32_t(-5));
    log.WriteValue("l: ", int64_t(-9000000000LL));
    log.WriteValue("d: ", 0.1 + 0.2);
    log.WriteValue("b: ", false);
    log.WriteValue("p: ", reinterpret_cast<const void*>(intptr_t(-16)));
    log.WriteValue("s: ", std::string("more"));
    for (uint64_t bytes : {1000ull, 1001ull, 1000001ull, 3000000000ull})
        log.WriteSize("", bytes);
    log.Printf("%s", std::string(700, 'x').c_str());
    EXPECT_EQ(log.Close(1), 0); // a normal run: the shell is not asked
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(Body(), "top<br />\n"
                      "  <b>A</b><br />\n"
                      "  <ul>\n"
                      "     <li>in a</li>\n"
                      "   <li><b>B</b></li>\n"
                      "   <ul>\n"
                      "      <li>in b</li>\n"
                      "   </ul>\n"
                      "  </ul>\n"
                      "<br /><br /><span class=\"banner\">Phase</span><br />\n<hr><br />\n"
                      "u: 4000000000<br />\ni: -5<br />\nl: -9000000000<br />\nd: 0.3<br />\n"
                      "b: false<br />\np: -16<br />\ns: \"more\"<br />\n"
                      "1000 Bytes<br />\n0.977539 KiloBytes<br />\n0.953675 MegaBytes<br />\n"
                      "2.79397 GigaBytes<br />\n" +
                          std::string(511, 'x') + "<br />\n</body>\n</html>");
    Open();
    EXPECT_NE(log.Close(2), 0) << "a failed run asks the shell to open the page";
}

TEST_F(LogTest, GeneratorSectionCarriesVersionAndTime)
{
    Open("Error Log", true);
    const std::string body = Body();
    EXPECT_EQ(body.find("  <b>Brindlewood Log Generator</b><br />\n  <ul>\n"
                        "     <li>BWLG Version 1.07</li>\n     <li>Log Created at "),
              0u)
        << body;
    EXPECT_TRUE(ContainsInOrder(body, {" on ", "</li>\n  </ul>\n"})) << body;
}

TEST_F(LogTest, ExceptionsAreNamedByExactTypeAndCode)
{
    Open();
    log.WriteException(std::out_of_range("index 9"));
    log.WriteException(DerivedRuntimeError());
    EXCEPTION_RECORD inner = {}, outer = {};
    inner.ExceptionCode = 0xC000001D; // illegal instruction: not in the table
    inner.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    inner.NumberParameters = 1;
    inner.ExceptionInformation[0] = 77;
    outer.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    outer.NumberParameters = 2;
    outer.ExceptionInformation[0] = 1;
    outer.ExceptionInformation[1] = 4096;
    outer.ExceptionRecord = &inner;
    EXPECT_FALSE(log.WriteStructuredException(nullptr));
    EXPECT_TRUE(log.WriteStructuredException(&outer)); // fatal through the nested record
    EXPECT_TRUE(ContainsInOrder(
        Body(), {"Type: \"std::out_of_range\"", "Extra: Out of Range (argument).",
                 "Caught: \"derived\"", "Extra: No extra information provided.", "Fatal: false",
                 "Code: 3221225477", "Access Violation: Thread attempted to \"WRITE\"",
                 "from memory at address 4096", "Fatal: true", "Paramter #077"}))
        << Body();
}

TEST(INITest, ReadsFollowThePlatformRulesAndWritesRoundTrip)
{
    TestFolder folder;
    tavINI ini;
    WriteTextFile("t.cfg", "[TAV]\nInt=42\nNeg=-7\nJunk=abc\nLead=12abc\nFloat=2.5\nEmpty=\n"
                           "Text=hello world\n");
    ini.SetFile("./t.cfg");
    for (const auto& [key, value] : {std::pair<const char*, int>{"Int", 42}, {"Neg", -7},
                                     {"Missing", 9}, {"Junk", 0}, {"Lead", 12}})
        EXPECT_EQ(ini.GetInt("TAV", key, 9), value) << key;
    EXPECT_EQ((std::vector<bool>{ini.GetBool("TAV", "Int", false), ini.GetBool("TAV", "Junk", true),
                                 ini.GetBool("TAV", "Missing", true)}),
              (std::vector<bool>{true, false, true}));
    EXPECT_EQ((std::vector<float>{ini.GetFloat("TAV", "Float", 0), ini.GetFloat("TAV", "Junk", 7),
                                  ini.GetFloat("TAV", "Missing", 5.0f)}),
              (std::vector<float>{2.5f, 0.0f, 5.0f}));
    // Strings are cut to the buffer and fall back when missing or empty.
    char buffer[8];
    EXPECT_TRUE(ini.GetString(buffer, sizeof(buffer), "TAV", "Text", "d"));
    EXPECT_STREQ(buffer, "hello w");
    EXPECT_FALSE(ini.GetString(buffer, sizeof(buffer), "TAV", "Empty", "dflt"));
    EXPECT_STREQ(buffer, "dflt");
    ini.SetInt("TAV", "IsSetup", 2);
    ini.SetFloat("TAV", "GUI", 1.5f);
    ini.SetString("TAV", "Setup", "x.exe");
    EXPECT_EQ(ini.GetInt("TAV", "IsSetup", 0), 2);
    EXPECT_TRUE(ContainsInOrder(ReadTextFile(folder.File("t.cfg")),
                                {"IsSetup=2", "GUI=1.500000", "Setup=x.exe"}));
}
