// What the last run left in "IsSetup" decides whether the engine starts.
#include "support/DialogAnswerer.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
class RunStateTest : public EngineTest
{
protected:
    std::string SetupKey() const { return "Setup=" + SiblingProgram("tav_fake_setup.exe") + "\n"; }
    // What the stand-in setup utility wrote: its folder and how it was shown.
    std::string SetupRan() const
    {
        for (int i = 0; i < 250 && !FileExists(folder.File("setup-ran.txt")); ++i)
            Sleep(20);
        return ReadTextFile(folder.File("setup-ran.txt"));
    }
    const std::string ranHere = folder.Path() + "\nshow " + std::to_string(SW_SHOWNORMAL);
};
} // namespace

// A missing run state, one that is no number, or a crash the user wants to
// fix runs the setup utility instead of the engine, in our folder, shown
// normally; an empty setup command falls back to the utility beside the
// program. The next start runs it again.
TEST_F(RunStateTest, MissingRunStateLaunchesTheSetupUtility)
{
    ASSERT_TRUE(CopyFileA(SiblingProgram("tav_fake_setup.exe").c_str(),
                          folder.File("tavConfig.exe").c_str(), FALSE));
    for (const std::string& keys : {"-IsSetup\n" + SetupKey(), "IsSetup=yes please\n" + SetupKey(),
                                    std::string("IsSetup=0\nSetup=\n"), "IsSetup=2\n" + SetupKey()})
    {
        SCOPED_TRACE(keys);
        DeleteFileA(folder.File("setup-ran.txt").c_str());
        DialogAnswerer box("Safe Mode", IDYES);
        EXPECT_EQ(StartEngine(keys), E_FAIL);
        EXPECT_EQ(engine->GetRunState(), 0);
        EXPECT_EQ(SetupRan(), ranHere);
        StopEngine();
        const bool crashed = keys.rfind("IsSetup=2", 0) == 0;
        EXPECT_TRUE(ContainsInOrder(
            Log(), {crashed ? "" : "Running external configuration utility.",
                    "<font color=\"red\">Failed run state check.</font>", "TAV::Release()"}));
        EXPECT_EQ(ConfigInt("IsSetup"), 0);
        EXPECT_EQ(box.Answered(), crashed);
    }
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

// After a crash, "no" to the safe-mode question starts normally and a clean
// run is recorded; an unknown run state stops silently and is repaired.
TEST_F(RunStateTest, SafeModeNoStartsNormallyAndAnUnknownRunStateIsRepaired)
{
    {
        DialogAnswerer box("Safe Mode", IDNO);
        ASSERT_EQ(StartEngine("IsSetup=2\n"), S_OK);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), "It appears that the last time this product ran, it crashed. As a "
                              "result, can be taken\n back to the setup utility so you can modify "
                              "your program settings. We apologize for the inconvenience.\n\nWould "
                              "you like to modify your settings now?");
        EXPECT_TRUE(Pump());
        StopEngine();
        EXPECT_EQ(ConfigInt("IsSetup"), 1);
    }
    DialogAnswerer anyBox("Safe Mode", IDNO);
    EXPECT_EQ(StartEngine("IsSetup=5\n"), E_FAIL);
    EXPECT_EQ(engine->GetRunState(), 1);
    StopEngine();
    EXPECT_FALSE(anyBox.Answered());
    EXPECT_NE(Log().find("<font color=\"red\">Failed run state check.</font>"), std::string::npos);
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}
