// What the last run left in "IsSetup" decides whether the engine starts.
#include "support/DialogAnswerer.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
const char* const SafeModeText =
    "It appears that the last time this product ran, it crashed. As a result, can be taken\n"
    " back to the setup utility so you can modify your program settings. We apologize for the "
    "inconvenience.\n\nWould you like to modify your settings now?";

bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 250 && !FileExists(path); ++i)
        Sleep(20);
    return FileExists(path);
}

class RunStateTest : public EngineTest
{
protected:
    std::string SetupKey() const { return "Setup=" + SiblingProgram("tav_fake_setup.exe") + "\n"; }
};
} // namespace

// A missing run state, or one that is no number, counts as 0: the setup
// utility runs instead of the engine.
TEST_F(RunStateTest, MissingRunStateLaunchesTheSetupUtility)
{
    for (const char* keys : {"-IsSetup\n", "IsSetup=yes please\n"})
    {
        SCOPED_TRACE(keys);
        DeleteFileA(folder.File("setup-ran.txt").c_str());
        EXPECT_EQ(StartEngine(keys + SetupKey()), E_FAIL);
        EXPECT_EQ(engine->GetRunState(), 0);
        EXPECT_TRUE(WaitForFile(folder.File("setup-ran.txt")));
        // Started in our working directory, shown normally.
        EXPECT_EQ(ReadTextFile(folder.File("setup-ran.txt")),
                  folder.Path() + "\nshow " + std::to_string(SW_SHOWNORMAL));
        StopEngine();
        EXPECT_TRUE(ContainsInOrder(Log(), {"Running external configuration utility.",
                                            "<font color=\"red\">Failed run state check.</font>",
                                            "TAV::Release()"}));
        EXPECT_EQ(ConfigInt("IsSetup"), 0); // so the next start runs the utility again
    }
}

// The default command is empty: the shell is asked with it and refuses, and
// the fallback name beside the program (here the stand-in) is what runs.
TEST_F(RunStateTest, AnEmptySetupCommandFallsBackToTheUtilityBesideTheProgram)
{
    ASSERT_TRUE(CopyFileA(SiblingProgram("tav_fake_setup.exe").c_str(),
                          folder.File("tavConfig.exe").c_str(), FALSE));
    EXPECT_EQ(StartEngine("IsSetup=0\nSetup=\n"), E_FAIL);
    EXPECT_TRUE(WaitForFile(folder.File("setup-ran.txt")));
    EXPECT_EQ(ReadTextFile(folder.File("setup-ran.txt")),
              folder.Path() + "\nshow " + std::to_string(SW_SHOWNORMAL));
}

TEST_F(RunStateTest, MissingSetupUtilitySaysUhOh)
{
    DialogAnswerer box("Uh oh!", IDOK);
    EXPECT_EQ(StartEngine("IsSetup=0\nSetup=no-such-setup.exe\n"), E_FAIL);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(box.Text().find("We could not locate the setup utility program.\n Please locate it "
                              "inside of your product's directory and run it manually."),
              0u)
        << box.Text();
    EXPECT_NE(box.Text().find(". We apologize for the inconvenience."), std::string::npos);
}

TEST_F(RunStateTest, SafeModeNoStartsNormallyAndRecordsACleanRun)
{
    DialogAnswerer box("Safe Mode", IDNO);
    ASSERT_EQ(StartEngine("IsSetup=2\n"), S_OK);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(box.Text(), SafeModeText);
    EXPECT_TRUE(Pump());
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}

TEST_F(RunStateTest, SafeModeYesRunsTheSetupUtilityInstead)
{
    DialogAnswerer box("Safe Mode", IDYES);
    EXPECT_EQ(StartEngine("IsSetup=2\n" + SetupKey()), E_FAIL);
    EXPECT_TRUE(box.Answered());
    EXPECT_TRUE(WaitForFile(folder.File("setup-ran.txt")));
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 0);
}

TEST_F(RunStateTest, UnknownRunStateStopsSilentlyAndIsRepaired)
{
    DialogAnswerer anyBox("Safe Mode", IDNO);
    EXPECT_EQ(StartEngine("IsSetup=5\n"), E_FAIL);
    EXPECT_EQ(engine->GetRunState(), 1);
    StopEngine();
    EXPECT_FALSE(anyBox.Answered());
    EXPECT_NE(Log().find("<font color=\"red\">Failed run state check.</font>"), std::string::npos);
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}
