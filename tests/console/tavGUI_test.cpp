// The GUI in a running engine: start-up, clicks and keys through the main
// window and the input poll, the hover and click sounds, the picture, a
// device reset, and a scene of every widget driven with real mouse clicks
// and keys sent through the X server.
#include "console/tavGUI.h"

#include "console/tavFont.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"
#include "support/XInput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Action = std::pair<uint32_t, int32_t>;
const uint32_t LeftButtonAction = 1;

struct GuiHeard
{
    std::vector<uint32_t> guiEvents;
    std::vector<Action> actions;
    std::function<void(uint32_t)> onEvent;
};

// Tells the test what it hears (the lists belong to the test: a scene's own
// containers would outlive it, as no destructor runs).
class GuiScene : public tavScene
{
public:
    GuiScene(TAV* e, GuiHeard* h) : engine(e), heard(h) {}

    HRESULT Initialize() override
    {
        while (holdLoading && !*holdLoading)
            Sleep(1);
        tavLockGuard frameLock(*engine);
        if (bindLeftButton) engine->Bind(256, LeftButtonAction, 0);
        return S_OK;
    }
    HRESULT Render() override
    {
        engine->Begin2D();
        engine->tavGUI::Draw();
        return S_OK;
    }
    HRESULT Destroy() override { return S_OK; }
    void OnKey(uint32_t action, int32_t state) override { heard->actions.push_back({action, state}); }
    void OnGuiEvent(uint32_t id) override
    {
        heard->guiEvents.push_back(id);
        if (heard->onEvent) heard->onEvent(id);
    }

    TAV* engine;
    GuiHeard* heard;
    bool bindLeftButton = false;
    const std::atomic<bool>* holdLoading = nullptr; // loading waits until it is true
};

// A 4 x 4 24-bit BMP of one colour, for button textures.
void WriteSolidBmp(const std::string& path, uint32_t rgb)
{
    const uint8_t header[54] = {'B', 'M', 54 + 48, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                4,   0,   0,       0, 4, 0, 0, 0, 1, 0, 24};
    std::string bytes(reinterpret_cast<const char*>(header), sizeof(header));
    for (int i = 0; i < 16; ++i)
        bytes += {char(rgb), char(rgb >> 8), char(rgb >> 16)};
    WriteTextFile(path, bytes);
}

void SetClipboardText(HWND window, const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

bool IsBlue(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) > 0xC0;
}

bool IsDark(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) < 0x60;
}

class GuiTest : public EngineTest
{
protected:
    // The engine with the game's GUI atlas and a ready scene.
    void StartWithScene(bool bindLeftButton = false)
    {
        atlasPath = ContentPath("gui.tex");
        settings.cursorTexture = atlasPath.c_str();
        ASSERT_EQ(StartEngine(), S_OK);
        GuiScene* scene = NewScene();
        ASSERT_NE(scene, nullptr);
        scene->bindLeftButton = bindLeftButton;
        engine->SetNextScene(scene);
        ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }))
            << "the test scene never became ready";
    }

    GuiScene* NewScene()
    {
        void* memory = TAV::Alloc(sizeof(GuiScene));
        return memory ? new (memory) GuiScene(engine.get(), &heard) : nullptr;
    }
    tavGUI& Gui() { return *engine; }
    // The input cursor at a point of the virtual space.
    void PlaceCursor(float x, float y) { engine->SetCursor(engine->ScaleX(x), engine->ScaleY(y)); }
    void ReleaseLeftButton() { SendMessageA(engine->GetWindow(), WM_LBUTTONUP, 0, 0); }
    void Type(const std::string& text)
    {
        for (char c : text)
            SendMessageA(engine->GetWindow(), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
    }
    void Key(UINT virtualKey) { SendMessageA(engine->GetWindow(), WM_KEYDOWN, virtualKey, 0); }
    void Paste() { SendMessageA(engine->GetWindow(), WM_HOTKEY, TAV_HOTKEY_PASTE, 0); }
    size_t Playing() const { return engine->GetPlaying().size(); }

    // The GUI alone over `background`, in the 2D pass.
    TestImage Render(D3DCOLOR background = 0xFF000000)
    {
        return DrawIn2D(*engine, background, [&] { Gui().Draw(); });
    }
    // The pixel at a point of the virtual space.
    uint32_t At(const TestImage& image, float x, float y)
    {
        return image.At(UINT(engine->ScaleX(x)), image.height - 1 - UINT(engine->ScaleY(y)));
    }
    // Pixels of a virtual rectangle that match.
    int Count(const TestImage& image, float x, float y, float w, float h,
              const std::function<bool(uint32_t)>& match)
    {
        const int top = int(image.height) - int(engine->ScaleY(y + h));
        const int bottom = int(image.height) - int(engine->ScaleY(y));
        return image.Count(int(engine->ScaleX(x)), top, int(engine->ScaleX(x + w)), bottom, match);
    }
    // Pixels of a virtual rectangle that differ between two pictures.
    int Differing(const TestImage& a, const TestImage& b, float x, float y, float w, float h)
    {
        int n = 0;
        for (UINT py = a.height - UINT(engine->ScaleY(y + h));
             py < a.height - UINT(engine->ScaleY(y)); ++py)
            for (UINT px = UINT(engine->ScaleX(x)); px < UINT(engine->ScaleX(x + w)); ++px)
                n += a.At(px, py) != b.At(px, py);
        return n;
    }
    int Texture(const char* name, uint32_t rgb)
    {
        WriteSolidBmp(folder.File(name), rgb);
        const int number = engine->LoadTexture((std::string("./") + name).c_str());
        EXPECT_GE(number, 0) << name;
        return number;
    }

    std::string atlasPath;
    GuiHeard heard;
    std::vector<uint32_t>& guiEvents = heard.guiEvents;
};
} // namespace

TEST_F(GuiTest, StartUpMakesTheTwentyPointFontAndNothingReactsBefore)
{
    // Before Init nothing reacts, and tearing down is safe twice.
    {
        tavGUI idle;
        EXPECT_FALSE(idle.OnClick());
        EXPECT_FALSE(idle.IsMouseOverWidget());
        idle.Draw();
        idle.Destroy();
        idle.Destroy();
    }
    atlasPath = ContentPath("gui.tex");
    settings.cursorTexture = atlasPath.c_str();
    ASSERT_EQ(StartEngine("GUI=2.5"), S_OK);
    EXPECT_TRUE(Gui().IsGUIEnabled());
    EXPECT_EQ(Gui().GetGUISetting(), 2.5f);
    EXPECT_GE(Gui().GetGUITexture(), 0);
    tavFont* font = Gui().GetGUIFont();
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(font->HasSheet());
    EXPECT_EQ(font->GetSheet().fontHeight, 20.0f);
}

TEST_F(GuiTest, ButtonClicksReachTheSceneWithTheirSounds)
{
    StartWithScene();
    const int pop = engine->LoadSound(ContentPath("pop.sfx").c_str(), false, 1);
    const int splash = engine->LoadSound(ContentPath("splash.sfx").c_str(), false, 1);
    ASSERT_GE(pop, 0);
    ASSERT_GE(splash, 0);
    Gui().SetClickSound(pop);
    Gui().SetHoverSound(splash);
    Gui().AddButton(100, 100, 200, 100, 42, -1, -1);

    // Entering the button plays the hover sound once.
    size_t before = Playing();
    PlaceCursor(150, 150);
    Render();
    Render();
    EXPECT_EQ(Playing(), before + 1);
    EXPECT_EQ(Gui().GetHoverButton(), 0);

    // A release through the main window is a click.
    EXPECT_TRUE(Gui().IsMouseOverWidget());
    ReleaseLeftButton();
    EXPECT_EQ(guiEvents, std::vector<uint32_t>{42});
    EXPECT_EQ(Playing(), before + 2);

    // The input poll's seam: a press is no click, a release is.
    EXPECT_FALSE(Gui().OnMouseButton(true));
    EXPECT_TRUE(Gui().OnMouseButton(false));
    EXPECT_EQ(guiEvents, (std::vector<uint32_t>{42, 42}));
    Gui().SetSoundsEnabled(false);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(Playing(), before + 3);

    // Elsewhere the click is not the GUI's.
    PlaceCursor(700, 700);
    EXPECT_FALSE(Gui().IsMouseOverWidget());
    EXPECT_FALSE(Gui().OnClick());
    EXPECT_EQ(guiEvents.size(), 3u);

    // A scene may clear the GUI from its handler.
    heard.onEvent = [this](uint32_t) { Gui().Clear(); };
    PlaceCursor(150, 150);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(Gui().GetButton(0), nullptr);
    Render();
}

TEST_F(GuiTest, AClickWhileTheNextSceneLoadsNeverReachesIt)
{
    StartWithScene();
    std::atomic<bool> finishLoading(false);
    struct Finish // a failed check must not leave the loading thread waiting
    {
        std::atomic<bool>& flag;
        ~Finish() { flag = true; }
    } finishAnyway{finishLoading};
    GuiScene* next = NewScene();
    ASSERT_NE(next, nullptr);
    next->holdLoading = &finishLoading;
    engine->SetNextScene(next);
    ASSERT_TRUE(PumpUntil([&] { return engine->GetScene() == next; }));
    ASSERT_FALSE(engine->IsSceneReady());

    Gui().AddButton(100, 100, 200, 100, 7, -1, -1);
    PlaceCursor(150, 150);
    ReleaseLeftButton();
    EXPECT_TRUE(guiEvents.empty());

    finishLoading = true;
    ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }));
    ReleaseLeftButton();
    EXPECT_EQ(guiEvents, std::vector<uint32_t>{7});
}

// Keys and paste go to the focused edit box, which shows its text and a
// caret, unless the console is open.
TEST_F(GuiTest, FocusedEditBoxTakesKeysAndPasteAndShowsItsTextAndCaret)
{
    StartWithScene();
    Gui().AddEditBox(100, 500, 20, "Name");
    const tavPixelRect box = Gui().GetEditBox(0)->BoxRect(Gui().GetWidgets().GetScreen());
    const std::string& text = Gui().GetEditBox(0)->line.Text();
    // The box and a little above and below it, where text and caret go; the
    // input cursor out of the way.
    const auto inBox = [&](bool (*match)(uint32_t))
    {
        PlaceCursor(1200, 50);
        const TestImage im = Render(0xFFFFFFFF);
        return im.Count(int(box.x0), int(float(im.height) - box.y1) - 10, int(box.x1),
                        int(float(im.height) - box.y0) + 10, match);
    };
    EXPECT_EQ(inBox(IsDark), 0);
    EXPECT_EQ(inBox(IsBlue), 0);

    engine->SetCursor(box.x0 + 2, box.y0 + 2);
    ReleaseLeftButton();
    ASSERT_EQ(Gui().GetEditFocus(), 0);
    Type("WWWx");
    Key(VK_BACK);
    EXPECT_EQ(text, "WWW");
    EXPECT_GT(inBox(IsDark), 30) << "black text on the box";
    EXPECT_GT(inBox(IsBlue), 0) << "the caret";

    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += char('A' + i % 26);
    SetClipboardText(engine->GetWindow(), hundred);
    Paste();
    EXPECT_EQ(text, hundred.substr(0, 20));

    // The open console takes the keys and the paste.
    Type("`x");
    Key(VK_BACK);
    Paste();
    EXPECT_EQ(engine->GetInput(), hundred.substr(0, 60));
    Type("`");
    EXPECT_EQ(text, hundred.substr(0, 20));

    // A click elsewhere ends the typing; the text stays and the caret goes.
    engine->SetCursor(box.x0 - 5, box.y0 - 5);
    ReleaseLeftButton();
    EXPECT_EQ(Gui().GetEditFocus(), -1);
    Key(VK_BACK);
    EXPECT_EQ(text, hundred.substr(0, 20));
    EXPECT_GT(inBox(IsDark), 30);
    EXPECT_EQ(inBox(IsBlue), 0);
}

TEST_F(GuiTest, DrawLaysTheWidgetsOutInOrderWithTheCursorOnTop)
{
    StartWithScene();
    const int red = Texture("red.bmp", 0xFF0000), green = Texture("green.bmp", 0x00FF00),
              yellow = Texture("yellow.bmp", 0xFFFF00);
    Gui().AddImage(0, 0, 600, 400, -1, 0xFF0000FF);
    Gui().AddButton(100, 600, 300, 200, 1, red, yellow);
    Gui().AddButton(250, 700, 300, 200, 2, green, yellow);
    Gui().AddLabel(800, 150, 0xFFFFFFFF, "WWWW");
    Gui().AddCheckBox(800, 400, 60, 60, "");
    Gui().AddSlider(800, 600, 400, 0, 1, 0);
    PlaceCursor(1200, 50); // out of the way

    TestImage image = Render();
    EXPECT_EQ(At(image, 300, 300), 0x0000FFu) << "the image";
    EXPECT_EQ(At(image, 300, 750), 0xFF0000u) << "the first button lies on top";
    EXPECT_EQ(At(image, 500, 850), 0x00FF00u);
    EXPECT_EQ(At(image, 150, 650), 0xFF0000u);
    EXPECT_GT(Count(image, 800, 120, 200, 60, IsLit), 20) << "the label";
    const auto atlasLit = [&](const TestImage& im) { return Count(im, 800, 400, 60, 60, IsLit); };
    EXPECT_GT(atlasLit(image), 0) << "the check box from the atlas";
    EXPECT_GT(Count(image, 800, 600, 400, 30, IsLit), 0) << "the slider's bar";

    // A device reset keeps the widgets and their picture.
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    const TestImage unticked = Render();
    EXPECT_EQ(Differing(unticked, image, 0, 0, 1280, 1024), 0);

    // Hovered, the first button shows its other texture; ticked, the box
    // its other cell.
    PlaceCursor(120, 620);
    Gui().GetCheckBox(0)->SetTicked(true);
    image = Render();
    EXPECT_EQ(At(image, 350, 780), 0xFFFF00u);
    EXPECT_EQ(At(image, 500, 850), 0x00FF00u);
    EXPECT_GT(Differing(image, unticked, 800, 400, 60, 60), 20) << "the tick";

    // The cursor hangs from its hot spot down and to the right, over the
    // button: part of it differs from the yellow under it.
    const auto notYellow = [](uint32_t p) { return !IsRgb(p, 0xFFFF00); };
    EXPECT_GT(Count(image, 120, 570, 50, 50, notYellow), 50);
    EXPECT_EQ(Count(image, 175, 625, 50, 50, notYellow), 0);

    // Hidden buttons and images are gone from the picture.
    Gui().HideAll();
    PlaceCursor(1200, 50);
    image = Render();
    EXPECT_EQ(Count(image, 0, 0, 600, 900, IsLit), 0);
    EXPECT_GT(atlasLit(image), 0);
}

// The test of the whole road: real mouse movement and clicks read by
// DirectInput, real keys through the window's messages, Print Screen
// through the hot key.
class RealInputGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        if (!CanSendXInput())
            GTEST_SKIP() << "real input is sent with xdotool, which needs Wine on an X display";
    }

    // Frames until `done` holds or `ms` of real time passed.
    bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms)
        {
            if (done()) return true;
            if (!Pump()) break;
            Sleep(1);
        }
        return done();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            Pump();
    }

    // Moves the mouse until the input cursor is within a pixel or two of
    // (x, y), virtual units; the motion the device reports need not match
    // the X server's pixel for pixel, so it steers.
    bool MoveMouseTo(float x, float y)
    {
        const float px = engine->ScaleX(x), py = engine->ScaleY(y);
        for (int attempt = 0; attempt < 10; ++attempt)
        {
            const float cx = engine->GetCursorX(), cy = engine->GetCursorY();
            const int dx = int(px - cx), dy = int(py - cy);
            if (std::abs(dx) <= 2 && std::abs(dy) <= 2) return true;
            if (!SendX("mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(-dy)))
                return false;
            WaitFor([&] { return engine->GetCursorX() != cx || engine->GetCursorY() != cy; }, 3000);
            Frames(5);
        }
        return false;
    }
    void ClickAt(float x, float y)
    {
        ASSERT_TRUE(MoveMouseTo(x, y)) << "the cursor did not reach " << x << ", " << y;
        ASSERT_TRUE(SendX("click 1"));
    }
    // Print Screen, and the file it wrote.
    std::string Screenshot(const char* expected)
    {
        EXPECT_TRUE(SendX("key Print"));
        EXPECT_TRUE(WaitFor([&] { return FileExists(folder.File(expected)); }))
            << "no " << expected;
        return folder.File(expected);
    }
    // Dark pixels of a 24-bit bottom-up screenshot inside a pixel rectangle.
    static int DarkPixels(const std::string& path, const tavPixelRect& r)
    {
        const std::vector<uint8_t> bmp = ReadBinaryFile(path);
        if (bmp.size() < 54) return -1;
        const auto u32 = [&](size_t at)
        {
            return uint32_t(bmp[at]) | uint32_t(bmp[at + 1]) << 8 | uint32_t(bmp[at + 2]) << 16 |
                   uint32_t(bmp[at + 3]) << 24;
        };
        const uint32_t w = u32(18), h = u32(22);
        if (bmp.size() < 54 + size_t(w) * h * 3) return -1;
        int n = 0;
        for (uint32_t y = uint32_t(r.y0); y < uint32_t(r.y1) && y < h; ++y)
            for (uint32_t x = uint32_t(r.x0); x < uint32_t(r.x1) && x < w; ++x)
            {
                const size_t at = 54 + (size_t(y) * w + x) * 3;
                n += IsDark(uint32_t(bmp[at + 2]) << 16 | uint32_t(bmp[at + 1]) << 8 | bmp[at]);
            }
        return n;
    }
};

TEST_F(RealInputGuiTest, ClicksAndTypingDriveASceneOfEveryWidget)
{
    StartWithScene(true);
    engine->SetClearColour(0xFFFFFFFF);
    Gui().AddButton(100, 700, 240, 120, 77, -1, -1);
    Gui().AddEditBox(400, 500, 12, "Name");
    Gui().AddLabel(100, 950, 0xFF000000, "Every widget");
    Gui().AddImage(1000, 800, 200, 150, -1, 0xFF336699);
    Gui().AddCheckBox(100, 300, 60, 60, "Tick");
    Gui().AddRadioButton(400, 300, 50, 50, "One", 2);
    Gui().AddRadioButton(500, 300, 50, 50, "Two", 2);
    Gui().AddRadioButton(600, 300, 50, 50, "Other group", 3);
    Gui().AddSlider(600, 150, 400, 0, 100, 4);

    // A button: the scene hears of it, and its binding of the left button
    // does not.
    ClickAt(220, 760);
    ASSERT_TRUE(WaitFor([&] { return !guiEvents.empty(); })) << "the button was not clicked";
    Frames(10);
    EXPECT_EQ(guiEvents, std::vector<uint32_t>{77});
    EXPECT_TRUE(heard.actions.empty());

    // Nothing there: the click is the scene's.
    ClickAt(1100, 600);
    ASSERT_TRUE(WaitFor([&] { return heard.actions.size() >= 2; }));
    EXPECT_EQ(heard.actions, (std::vector<Action>{{LeftButtonAction, TAV_PRESSED},
                                            {LeftButtonAction, TAV_RELEASED}}));

    ClickAt(130, 330);
    EXPECT_TRUE(WaitFor([&] { return Gui().GetCheckBox(0)->ticked; }));
    ClickAt(525, 325);
    EXPECT_TRUE(WaitFor([&] { return Gui().GetSelectedRadio(2) == 1; }));
    EXPECT_EQ(Gui().GetSelectedRadio(3), -1);
    ClickAt(600 + 400 * 0.8f, 165);
    EXPECT_TRUE(WaitFor([&] { return Gui().GetSliderValue(0) > 0.0f; }));
    EXPECT_FLOAT_EQ(Gui().GetSliderValue(0), 75.0f);
    EXPECT_EQ(heard.actions.size(), 2u);

    // The edit box, clicked at its right end so that the cursor hangs past
    // the text; the typed text shows in a screenshot.
    const tavEditBox& box = *Gui().GetEditBox(0);
    ClickAt(box.textX + box.boxWidth - 15, 490);
    ASSERT_TRUE(WaitFor([&] { return Gui().GetEditFocus() == 0; }));
    Frames(5);
    const std::string before = Screenshot("Shot.bmp");
    ASSERT_TRUE(SendX("type hello"));
    ASSERT_TRUE(WaitFor([&] { return box.line.Text() == "hello"; }))
        << "typed: \"" << box.line.Text() << "\"";
    Frames(5);
    const std::string after = Screenshot("Shot0.bmp");

    const tavScreenScale& screen = Gui().GetWidgets().GetScreen();
    tavPixelRect text = box.BoxRect(screen);
    text.x1 = text.x0 + screen.ScaleX(120);
    text.y1 += screen.ScaleY(15);
    const int darkBefore = DarkPixels(before, text), darkAfter = DarkPixels(after, text);
    EXPECT_GE(darkBefore, 0);
    EXPECT_GT(darkAfter, darkBefore + 40)
        << "no text in the box: " << darkBefore << " then " << darkAfter << " dark pixels";
}
