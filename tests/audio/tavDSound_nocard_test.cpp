// A machine without a sound card. Wine stands in for one when its audio
// drivers cannot be loaded; a DLL override for this program alone does that,
// read when a process starts, so the body runs in a fresh process.
#include "audio/SoundTest.h"

#include <gtest/gtest.h>

TEST(SoundNoCard, NoSoundCardLogsTheFailureAndTheProgramRuns_WineDriversOff)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "only Wine can take its sound card away";
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") +
                            (strrchr(program, '\\') + 1) + "\\DllOverrides";
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    for (const char* driver : {"winepulse.drv", "winealsa.drv", "wineoss.drv"})
        EXPECT_EQ(RegSetValueExA(handle, driver, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1),
                  ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_TRUE(PassesInChildProcess("SoundTest", "NoSoundCard"));
}

TEST_F(SoundTest, DISABLED_NoSoundCard)
{
    ASSERT_EQ(StartSound("", true), S_OK);
    ExpectLog({"<b>DirectSound/DirectMusic Initialization</b>", Li("Software mode."),
               Li("Failed creating DSound Interface."),
               Li("<font color=\"red\">Sound Init Failed!</font>"),
               "TAV Successfully Initialized, Let's Go!"});
    EXPECT_EQ(Log().find("Created 3D Listener."), std::string::npos) << "Created 3D Listener.";
    EXPECT_EQ(Sound().GetListener(), nullptr);
    // The pools still take effects; nothing plays, nothing breaks; the report says so.
    const int h = Sound().LoadSound(WriteEffect("a.sfx", 440, 0.1).c_str(), true, 4);
    EXPECT_EQ(h, 0);
    Sound().PlaySound(h, false);
    EXPECT_TRUE(Sound().GetPlaying().empty());
    EXPECT_EQ(Sound().LoadMidi("./base/a.mid"), -1);
    Sound().ReportStatistics(engine.get());
    const std::string report = ConsoleFrom("=== DirectSound Statistics ===");
    for (const char* part : {"\nSoundCard is NOT DirectSound Certified.\n",
                             "\nMax HW 3D Buffers: 0  Static: 0  3D Streaming: 0\n",
                             "\nFailed querying 3D Listener Parameters.\n0 Pooled Buffers\n"})
        EXPECT_NE(report.find(part), std::string::npos) << part << report;
    Frames(5);
    EXPECT_FALSE(engine->IsQuitting());
    StopEngine();
    ExpectLog({Li("Deleted DirectSound and DirectMusic Interfaces.")});
}
