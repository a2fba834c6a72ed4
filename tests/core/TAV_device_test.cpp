// The window, the device from the configuration, screenshots, hot keys, and
// the run state of the last run.
#include "RecordingScene.h"

#include "support/DialogAnswerer.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <utility>

namespace
{
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
} // namespace

TEST_F(EngineTest, WindowedStartUsesTheDesktopSizeAndLogsItsPhasesInOrder)
{
    ASSERT_EQ(StartEngine(), S_OK);
    HWND window = engine->GetWindow();
    EXPECT_EQ(FindWindowA("TAVMainWindow", caption.c_str()), window);
    RECT r;
    GetWindowRect(window, &r); // 640 x 480, centred in integer halves
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{GetSystemMetrics(SM_CXSCREEN) / 2 - 320,
                                 GetSystemMetrics(SM_CYSCREEN) / 2 - 240, 640, 480}));
    D3DDISPLAYMODE desktop;
    engine->GetDirect3D()->GetAdapterDisplayMode(0, &desktop);
    EXPECT_EQ(engine->GetWidth(), float(desktop.Width));
    EXPECT_EQ(engine->GetHeight(), float(desktop.Height));
    EXPECT_TRUE(engine->Is32Bit());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pump());
    std::string missing;
    EXPECT_TRUE(ContainsInOrder(
        Log(),
        {"ZBuffer Format: 32-bit (24-bit depth, 8-bit stencil)", "<b>Presentation Parameters</b>",
         "Windowed: true", "SwapEffect: 2", "AutoDepthStencilFormat: 83",
         "PresentationInterval: 2147483648", "No anti-aliasing.", "Creating a device on window "},
        &missing))
        << missing;
    // A screenshot of the loading screen at 40 %: a 24-bit bottom-up BMP without row padding.
    SceneRecord record;
    record.progress = 40;
    record.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    QueueScene(*engine, record);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Pump());
    ASSERT_TRUE(engine->Screenshot());
    ASSERT_TRUE(engine->Screenshot());
    ASSERT_TRUE(FileExists(folder.File("Shot0.bmp")));
    const std::vector<uint8_t> shot = ReadBinaryFile(folder.File("Shot.bmp"));
    const uint32_t w = uint32_t(engine->GetWidth()), h = uint32_t(engine->GetHeight());
    const uint32_t image = w * h * 3;
    ASSERT_EQ(shot.size(), size_t(image) + 54);
    EXPECT_EQ(shot[0] | shot[1] << 8, 0x4D42);
    // Size, reserved, pixel offset, header size, width, height, one plane
    // of 24 bits, no compression, pixel bytes, and zeros to the end.
    const uint32_t fields[] = {image + 54, 0, 54, 40, w, h, 1 | 24 << 16, 0, image, 0, 0, 0, 0};
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(U32(shot, 2 + 4 * i), fields[i]) << "offset " << 2 + 4 * i;
    // The white bar along the bottom (25 high) with the dark red progress
    // (20 high, 40 % of the width) inside it; black above.
    const uint32_t end = uint32_t(0.4f * float(w)), white = 0xFFFFFF, red = 0x990000;
    const struct
    {
        uint32_t x, y, rgb;
    } points[] = {{w / 2 + w / 4, 1, white}, {w - 1, 12, white}, {5, 12, red},   {end - 3, 12, red},
                  {end + 3, 12, white},      {5, 24, white},     {w / 2, 40, 0}, {w / 2, h - 1, 0}};
    for (const auto& [x, y, rgb] : points)
    {
        const uint8_t* p = &shot[54 + (size_t(y) * w + x) * 3];
        EXPECT_EQ(uint32_t(p[2] << 16 | p[1] << 8 | p[0]), rgb) << x << ", " << y;
    }
    ASSERT_FALSE(engine->GetLines().empty());
    EXPECT_EQ(engine->GetLines().back().text, "Wrote screenshot: ./Shot0.bmp");
    // Hot keys: Print Screen writes the next shot, the quit key ends the run, a clean one.
    HWND main = engine->GetWindow();
    PostMessageA(main, WM_HOTKEY, TAV_HOTKEY_SCREENSHOT, 0);
    EXPECT_TRUE(Pump());
    EXPECT_TRUE(FileExists(folder.File("Shot1.bmp")));
    PostMessageA(main, WM_HOTKEY, TAV_HOTKEY_QUIT, 0);
    EXPECT_FALSE(Pump());
    SetEvent(record.releaseLoading);
    StopEngine();
    CloseHandle(record.releaseLoading);
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}

// What the configuration picks; every key set to an unusable value either starts with what the
// engine makes of it and ends the run normally, or is refused with a red line and leaves "IsSetup"
// at 2 for the safe-mode question. The quick run puts the values that start into one start; the
// soak (TAV_SOAK=1) starts with every key at every value alone.
TEST_F(EngineTest, ConfigurationPicksFiltersAndFormatsAndSurvivesUnusableValues)
{
    const DWORD P = D3DTEXF_POINT, L = D3DTEXF_LINEAR;
    const auto run = [&](const std::string& keys, int starts, std::vector<std::string> lines,
                         std::vector<DWORD> filters = std::vector<DWORD>(3, D3DTEXF_POINT),
                         bool is32Bit = true)
    {
        SCOPED_TRACE(keys);
        const bool started = SUCCEEDED(StartEngine(keys));
        EXPECT_TRUE(starts < 0 || started == (starts == 1));
        if (started && !filters.empty())
        {
            EXPECT_EQ((std::vector<DWORD>{engine->GetFilter(0), engine->GetFilter(1),
                                          engine->GetFilter(2)}),
                      filters);
            EXPECT_EQ(engine->Is32Bit(), is32Bit);
        }
        for (int i = 0; started && i < 3; ++i)
            EXPECT_TRUE(Pump());
        EXPECT_TRUE(!started || engine->GetRunState() == 1);
        StopEngine();
        if (!started && lines.empty()) lines = {"<font color=\"red\">"}; // refused with a reason
        if (!started) lines.push_back("TAV::Release()");
        EXPECT_TRUE(ContainsInOrder(Log(), lines));
        EXPECT_EQ(ConfigInt("IsSetup"), started ? 1 : 2);
    };
    run("Filter=1\nFormat=23\nVSync=1\nChannels=-5\n", 1, // 23 is a 16-bit display format
        {"PresentationInterval: 0",
         "<font color=\"red\">\"Channels\" is negative; using 32.</font>",
         "Initialized Sound Subsystem"},
        {L, L, P}, false);
    const std::string big = "99999999999999999999";
    run("Adapter=x9!~\nDevice=-7\nBackBuffer=x9!~\nUseAA=1\nQuality1=x9!~\nFilter=-7\nGUI=" + big +
            "\nChannels=x9!~\n",
        1, {"PresentationInterval: 2147483648"});
    run("Format=" + big + "\n", 0,
        {"Failed to enumerate adapter modes!",
         "<font color=\"red\">Device creation failed!</font>"});
    run("Resolution=-7\n", 0, {});
    run("UseAA=1\nSamples=" + big + "\n", 0, {});
    if (!std::getenv("TAV_SOAK")) return;
    for (const char* key : {"Adapter", "Device", "Format", "BackBuffer", "Resolution", "Samples",
                            "Quality1", "Filter", "GUI", "Channels", "VSync", "HasPure", "UseAA",
                            "ShowFPS", "HWSound", "Music", "Sound"})
        for (const char* value : {"x9!~", "-7", "99999999999999999999", "", "2147483647"})
            run(std::string("UseAA=1\n") + key + "=" + value + "\n", -1, {}, {});
}

// What the last run left in "IsSetup" decides whether the engine starts: a
// missing run state, one that is no number, or a crash the user wants to fix
// runs the setup utility (an empty command: the one beside the program) in
// our folder, shown normally, instead of the engine, and again next time.
TEST_F(EngineTest, TheLastRunStateDecidesWhetherTheEngineOrTheSetupUtilityStarts)
{
    const std::string setup = "Setup=" + SiblingProgram("tav_fake_setup.exe") + "\n",
                      ran = folder.File("setup-ran.txt");
    {
        DialogAnswerer box("Uh oh!", IDOK);
        EXPECT_EQ(StartEngine("IsSetup=0\nSetup=no-such-setup.exe\n"), E_FAIL);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.Text().find("We could not locate the setup utility program.\n Please locate it "
                                  "inside of your product's directory and run it manually."),
                  0u)
            << box.Text();
        EXPECT_NE(box.Text().find(". We apologize for the inconvenience."), std::string::npos);
        StopEngine();
    }
    ASSERT_TRUE(CopyFileA(SiblingProgram("tav_fake_setup.exe").c_str(),
                          folder.File("tavConfig.exe").c_str(), FALSE));
    for (const std::string& keys : {"-IsSetup\n" + setup, "IsSetup=yes please\n" + setup,
                                    std::string("IsSetup=0\nSetup=\n"), "IsSetup=2\n" + setup})
    {
        SCOPED_TRACE(keys);
        DeleteFileA(ran.c_str());
        DialogAnswerer box("Safe Mode", IDYES);
        EXPECT_EQ(StartEngine(keys), E_FAIL);
        EXPECT_EQ(engine->GetRunState(), 0);
        for (int i = 0; i < 250 && !FileExists(ran); ++i)
            Sleep(20);
        EXPECT_EQ(ReadTextFile(ran), folder.Path() + "\nshow " + std::to_string(SW_SHOWNORMAL));
        StopEngine();
        const bool crashed = keys.rfind("IsSetup=2", 0) == 0;
        EXPECT_TRUE(ContainsInOrder(
            Log(), {crashed ? "" : "Running external configuration utility.",
                    "<font color=\"red\">Failed run state check.</font>", "TAV::Release()"}));
        EXPECT_EQ(ConfigInt("IsSetup"), 0);
        EXPECT_EQ(box.Answered(), crashed);
    }
    // After a crash, "no" to the safe-mode question starts normally and a
    // clean run is recorded; an unknown run state stops silently, repaired.
    {
        DialogAnswerer box("Safe Mode", IDNO);
        ASSERT_EQ(StartEngine("IsSetup=2\n"), S_OK);
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
