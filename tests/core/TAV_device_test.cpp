// The window, the device from the configuration, screenshots, hot keys and
// the clipboard.
#include "RecordingScene.h"

#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

namespace
{
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

struct Pixel
{
    uint8_t r, g, b;
};

// A 24-bit bottom-up BMP without row padding, as the engine writes it.
struct Shot
{
    explicit Shot(const std::string& path) : bytes(ReadBinaryFile(path)) {}
    uint32_t Width() const { return U32(bytes, 18); }
    uint32_t Height() const { return U32(bytes, 22); }
    // y counts from the bottom of the screen.
    Pixel At(uint32_t x, uint32_t yFromBottom) const
    {
        const size_t at = 54 + (size_t(yFromBottom) * Width() + x) * 3;
        return {bytes[at + 2], bytes[at + 1], bytes[at]};
    }
    std::vector<uint8_t> bytes;
};

class DeviceTest : public EngineTest
{
protected:
    // A scene that stays on the loading screen at 40 % until released.
    void ShowLoadingAt40()
    {
        record.progress = 40;
        record.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        engine->SetNextScene(NewRecordingScene(engine.get(), &record));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(Pump());
    }
    void TearDown() override
    {
        if (record.releaseLoading)
            SetEvent(record.releaseLoading);
        EngineTest::TearDown();
        if (record.releaseLoading)
            CloseHandle(record.releaseLoading);
    }
    SceneRecord record;
};

bool IsWhite(Pixel p) { return p.r == 255 && p.g == 255 && p.b == 255; }
bool IsDarkRed(Pixel p) { return p.r == 0x99 && p.g == 0 && p.b == 0; }
bool IsBlack(Pixel p) { return p.r == 0 && p.g == 0 && p.b == 0; }
} // namespace

TEST_F(DeviceTest, WindowedStartUsesTheDesktopSizeAndLogsItsPhasesInOrder)
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
    // Centred on the screen in integer halves.
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 320);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 240);
    D3DDISPLAYMODE desktop;
    engine->GetDirect3D()->GetAdapterDisplayMode(0, &desktop);
    EXPECT_EQ(engine->GetWidth(), float(desktop.Width));
    EXPECT_EQ(engine->GetHeight(), float(desktop.Height));
    EXPECT_TRUE(engine->Is32Bit());
    ASSERT_NE(engine->GetDevice(), nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pump());
    std::string missing;
    EXPECT_TRUE(ContainsInOrder(
        Log(),
        {"Brindlewood Log Generator", "Initialization Phase", "TAV::Initialize()",
         "DirectX Initialization", "ZBuffer Format: 32-bit (24-bit depth, 8-bit stencil)",
         "<b>Presentation Parameters</b>", "Windowed: true", "SwapEffect: 2",
         "AutoDepthStencilFormat: 83", "PresentationInterval: 2147483648", "No anti-aliasing.",
         "Creating a device on window ", "<b>Created a device!</b>",
         "Console Successfully Created", "GUI Created", "Game::Initialize",
         "TAV Successfully Initialized, Let's Go!"},
        &missing))
        << missing;
}

TEST_F(DeviceTest, ConfigurationPicksFiltersAndFormats)
{
    const DWORD P = D3DTEXF_POINT, L = D3DTEXF_LINEAR;
    const struct
    {
        const char* keys;
        DWORD filters[3];
        bool is32Bit;
        const char* interval;
    } table[] = {
        {"Filter=1\nFormat=23\nVSync=1\n", {L, L, P}, false, "PresentationInterval: 0"},
        {"Filter=9\n", {P, P, P}, true, "PresentationInterval: 2147483648"}, // unknown filter
    };
    for (const auto& row : table)
    {
        SCOPED_TRACE(row.keys);
        ASSERT_EQ(StartEngine(row.keys), S_OK);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(engine->GetFilter(i), row.filters[i]) << i;
        EXPECT_EQ(engine->Is32Bit(), row.is32Bit); // 23 is a 16-bit display format
        EXPECT_NE(Log().find(row.interval), std::string::npos);
        StopEngine();
    }
}

TEST_F(DeviceTest, ImpossibleDeviceEndsStartUpWithItsLines)
{
    const struct
    {
        const char* keys;
        std::vector<std::string> lines;
    } table[] = {
        {"Adapter=5\n",
         {"Direct3D: <font color=\"#770000\">Error 0x",
          "<font color=\"red\">Device creation failed!</font>",
          "<font color=\"red\">DirectX Initialize has failed!</font>", "TAV::Release()",
          "Released device."}},
        {"Format=abc\n",
         {"Failed to enumerate adapter modes!",
          "<font color=\"red\">Device creation failed!</font>"}},
    };
    for (const auto& row : table)
    {
        SCOPED_TRACE(row.keys);
        EXPECT_EQ(StartEngine(row.keys), E_FAIL);
        StopEngine();
        EXPECT_TRUE(ContainsInOrder(Log(), row.lines));
        EXPECT_EQ(ConfigInt("IsSetup"), 2);
    }
}

TEST_F(DeviceTest, UnwritableLogLeavesTheEngineRunning)
{
    WriteTextFile("tav.cfg", DefaultTestConfig());
    engine.reset(new TestEngine());
    settings.caption = "TAV Test no log";
    settings.logFile = "Z:\\no\\such\\folder\\output.html";
    ASSERT_EQ(engine->Initialize(settings), S_OK);
    EXPECT_FALSE(engine->IsOpen());
    EXPECT_TRUE(Pump());
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}

TEST_F(DeviceTest, ScreenshotsWriteUnpaddedBottomUpRowsOfTheLoadingBar)
{
    ASSERT_EQ(StartEngine(), S_OK);
    ShowLoadingAt40();
    ASSERT_TRUE(engine->Screenshot());
    ASSERT_TRUE(engine->Screenshot());
    ASSERT_TRUE(FileExists(folder.File("Shot.bmp")));
    ASSERT_TRUE(FileExists(folder.File("Shot0.bmp")));

    const Shot shot(folder.File("Shot.bmp"));
    const uint32_t w = uint32_t(engine->GetWidth()), h = uint32_t(engine->GetHeight());
    const uint32_t image = w * h * 3;
    ASSERT_EQ(shot.bytes.size(), size_t(image) + 54);
    EXPECT_EQ(U16(shot.bytes, 0), 0x4D42);
    // Size, reserved, pixel offset, header size, width, height, one plane
    // of 24 bits, no compression, pixel bytes, and zeros to the end.
    const uint32_t fields[] = {image + 54, 0, 54, 40, w, h, 1 | 24 << 16, 0, image, 0, 0, 0, 0};
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(U32(shot.bytes, 2 + 4 * i), fields[i]) << "offset " << 2 + 4 * i;

    // The white bar along the bottom (25 high) with the dark red progress
    // (20 high, 40 % of the width) inside it; black above.
    const uint32_t progressEnd = uint32_t(0.4f * float(w));
    EXPECT_TRUE(IsWhite(shot.At(w / 2 + w / 4, 1)));
    EXPECT_TRUE(IsWhite(shot.At(w - 1, 12)));
    EXPECT_TRUE(IsDarkRed(shot.At(5, 12)));
    EXPECT_TRUE(IsDarkRed(shot.At(progressEnd - 3, 12)));
    EXPECT_TRUE(IsWhite(shot.At(progressEnd + 3, 12)));
    EXPECT_TRUE(IsWhite(shot.At(5, 24)));
    EXPECT_TRUE(IsBlack(shot.At(w / 2, 40)));
    EXPECT_TRUE(IsBlack(shot.At(w / 2, h - 1)));
    EXPECT_TRUE(ContainsInOrder(Log(), {"Wrote screenshot to file: \"./Shot.bmp\"",
                                        "Wrote screenshot to file: \"./Shot0.bmp\""}));
    ASSERT_FALSE(engine->GetLines().empty());
    EXPECT_EQ(engine->GetLines().back().text, "Wrote screenshot: ./Shot0.bmp");
}

TEST_F(DeviceTest, HotKeysAndTheCloseMessage)
{
    ASSERT_EQ(StartEngine(), S_OK);
    HWND window = engine->GetWindow();
    PostMessageA(window, WM_HOTKEY, TAV_HOTKEY_TOGGLE, 0); // registered, does nothing
    ASSERT_TRUE(Pump());
    PostMessageA(window, WM_HOTKEY, TAV_HOTKEY_SCREENSHOT, 0);
    ASSERT_TRUE(Pump());
    EXPECT_TRUE(FileExists(folder.File("Shot.bmp")));
    PostMessageA(window, WM_HOTKEY, TAV_HOTKEY_QUIT, 0);
    EXPECT_FALSE(Pump());
    StopEngine();

    // Closing the window quits too, and the run was a clean one.
    ASSERT_EQ(StartEngine(), S_OK);
    PostMessageA(engine->GetWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Pump());
    StopEngine();
    EXPECT_EQ(ConfigInt("IsSetup"), 1);
}

TEST_F(DeviceTest, ClipboardTextIsReadAndTheClipboardLeftClosed)
{
    ASSERT_EQ(StartEngine(), S_OK);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(engine->GetClipboardText(), ""); // nothing there
    const char text[] = "paste me";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(memory), text, sizeof(text));
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    EXPECT_EQ(engine->GetClipboardText(), "paste me");
    EXPECT_TRUE(OpenClipboard(nullptr)); // the engine let go of it
    CloseClipboard();
}

TEST_F(EngineTest, SecondCopyHandsOverTheFocusAndLogsNothing)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TAVMainWindow";
    RegisterClassA(&wc);
    caption = "TAV Test first copy";
    HWND first = CreateWindowA("TAVMainWindow", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100,
                               100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(first, nullptr);
    WriteTextFile("tav.cfg", DefaultTestConfig());
    engine.reset(new TestEngine());
    settings.caption = caption.c_str();
    EXPECT_EQ(engine->Initialize(settings), E_FAIL);
    StopEngine();
    EXPECT_FALSE(FileExists(folder.File("output.html")));
    EXPECT_EQ(ReadTextFile(folder.File("tav.cfg")), DefaultTestConfig()); // untouched
    DestroyWindow(first);
}

TEST_F(EngineTest, RandomNumbersReachBothEndsOfTheirRange)
{
    ASSERT_EQ(StartEngine(), S_OK);
    const auto ends = [&](int low, int high, int draws)
    {
        std::pair<int, int> seen(high, low);
        for (int i = 0; i < draws; ++i)
        {
            const int v = engine->RandomInt(low, high);
            seen = {std::min(seen.first, v), std::max(seen.second, v)};
        }
        return seen;
    };
    EXPECT_EQ(ends(2, 6, 1000), std::make_pair(2, 6));
    EXPECT_EQ(ends(300, 750, 20000), std::make_pair(300, 750));
    for (int i = 0; i < 1000; ++i)
    {
        const float f = engine->RandomFloat(-2.0f, 2.0f);
        ASSERT_TRUE(f >= -2.0f && f <= 2.0f) << f;
    }
}

TEST_F(DeviceTest, NegativeChannelCountFallsBackToTheDefault)
{
    ASSERT_EQ(StartEngine("Channels=-5\n"), S_OK);
    EXPECT_TRUE(ContainsInOrder(Log(), {"<font color=\"red\">\"Channels\" is negative; using 32.</font>",
                                        "Initialized Sound Subsystem"}));
    EXPECT_TRUE(Pump());
}
