// The window, the device from the configuration, screenshots, hot keys and
// the clipboard.
#include "RecordingScene.h"

#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <iterator>
#include <tuple>
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
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    EXPECT_STREQ(className, "TAVMainWindow");
    EXPECT_EQ(FindWindowA("TAVMainWindow", caption.c_str()), window);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 320); // centred in integer halves
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 240);
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
    // Random numbers reach both ends of their range.
    for (const auto& [low, high, draws] : {std::tuple{2, 6, 1000}, {300, 750, 20000}})
    {
        std::pair<int, int> seen(high, low);
        for (int i = 0; i < draws; ++i)
        {
            const int v = engine->RandomInt(low, high);
            seen = {std::min(seen.first, v), std::max(seen.second, v)};
        }
        EXPECT_EQ(seen, std::make_pair(low, high));
    }
    // A screenshot of the loading screen at 40 %: a 24-bit bottom-up BMP
    // without row padding.
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
    // Hot keys: the toggle is registered and does nothing, Print Screen
    // writes the next shot, the quit key ends the run, a clean one.
    HWND main = engine->GetWindow();
    PostMessageA(main, WM_HOTKEY, TAV_HOTKEY_TOGGLE, 0);
    EXPECT_TRUE(Pump());
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

TEST_F(EngineTest, ConfigurationPicksFiltersFormatsAndChannels)
{
    const DWORD P = D3DTEXF_POINT, L = D3DTEXF_LINEAR;
    const struct
    {
        const char* keys;
        DWORD filters[3];
        bool is32Bit;
        std::vector<std::string> lines;
    } table[] = {
        {"Filter=1\nFormat=23\nVSync=1\nChannels=-5\n", // 23 is a 16-bit display format
         {L, L, P},
         false,
         {"PresentationInterval: 0",
          "<font color=\"red\">\"Channels\" is negative; using 32.</font>",
          "Initialized Sound Subsystem"}},
        {"Filter=9\n", {P, P, P}, true, {"PresentationInterval: 2147483648"}}, // unknown filter
    };
    for (const auto& row : table)
    {
        SCOPED_TRACE(row.keys);
        ASSERT_EQ(StartEngine(row.keys), S_OK);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(engine->GetFilter(i), row.filters[i]) << i;
        EXPECT_EQ(engine->Is32Bit(), row.is32Bit);
        EXPECT_TRUE(Pump());
        EXPECT_TRUE(ContainsInOrder(Log(), row.lines));
        StopEngine();
    }
    // An impossible device ends the start-up with its lines.
    EXPECT_EQ(StartEngine("Format=abc\n"), E_FAIL);
    StopEngine();
    EXPECT_TRUE(ContainsInOrder(Log(), {"Failed to enumerate adapter modes!",
                                        "<font color=\"red\">Device creation failed!</font>"}));
    EXPECT_EQ(ConfigInt("IsSetup"), 2);
}

// Without a log nor a fader the engine runs, resets its device, and closing
// the window ends a clean run.
TEST_F(EngineTest, UnwritableLogAndNoFaderLeaveTheEngineRunning)
{
    settings.useFader = false;
    WriteTextFile("tav.cfg", DefaultTestConfig());
    engine.reset(new TestEngine());
    settings.caption = "TAV Test no log";
    settings.logFile = "Z:\\no\\such\\folder\\output.html";
    ASSERT_EQ(engine->Initialize(settings), S_OK);
    EXPECT_FALSE(engine->IsOpen());
    EXPECT_EQ(engine->GetFader(), nullptr);
    EXPECT_TRUE(Pump());
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_TRUE(Pump());
    PostMessageA(engine->GetWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Pump());
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}
