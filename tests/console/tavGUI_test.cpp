// The GUI and the fader in a running engine: clicks, keys and sounds, and
// the picture across a device reset.
#include "console/tavFader.h"
#include "console/tavFont.h"
#include "console/tavGUI.h"
#include "core/RecordingScene.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
bool IsBlue(uint32_t p)
{
    return (p >> 16 & 0xFF) < 0x60 && (p >> 8 & 0xFF) < 0x60 && (p & 0xFF) > 0xC0;
}
bool IsDark(uint32_t p)
{
    return (p >> 16 & 0xFF) < 0x60 && (p >> 8 & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
}

class GuiTest : public EngineTest
{
protected:
    // The engine with the game's GUI atlas and a ready scene that draws the GUI.
    void StartWithScene(const std::string& keys)
    {
        atlasPath = ContentPath("gui.tex");
        settings.cursorTexture = atlasPath.c_str();
        ASSERT_EQ(StartEngine(keys), S_OK);
        record.drawGui = true;
        QueueScene(*engine, record);
        ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }))
            << "the scene never became ready";
    }
    tavGUI& Gui() { return *engine; }
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
    TestImage Render(D3DCOLOR background = 0xFF000000)
    {
        return DrawIn2D(*engine, background, [&] { Gui().Draw(); });
    }
    // The pixel at a point of the virtual space.
    uint32_t At(const TestImage& image, float x, float y)
    {
        return image.At(UINT(engine->ScaleX(x)), image.height - 1 - UINT(engine->ScaleY(y)));
    }
    // Pixels of a virtual rectangle that match, or (with `other`) differ from it.
    int Count(const TestImage& image, float x, float y, float w, float h,
              const std::function<bool(uint32_t)>& match, const TestImage* other = nullptr)
    {
        int n = 0;
        for (UINT py = image.height - UINT(engine->ScaleY(y + h));
             py < image.height - UINT(engine->ScaleY(y)); ++py)
            for (UINT px = UINT(engine->ScaleX(x)); px < UINT(engine->ScaleX(x + w)); ++px)
                n += other ? image.At(px, py) != other->At(px, py) : match(image.At(px, py));
        return n;
    }
    int Texture(const char* name, uint32_t rgb) // a 4 x 4 24-bit BMP of one colour
    {
        const uint8_t header[54] = {'B', 'M', 54 + 48, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40,
                                    0,   0,   0,       4, 0, 0, 0, 4, 0, 0, 0,  1, 0, 24};
        std::string bytes(reinterpret_cast<const char*>(header), sizeof(header));
        for (int i = 0; i < 16; ++i)
            bytes += {char(rgb), char(rgb >> 8), char(rgb >> 16)};
        WriteTextFile(folder.File(name), bytes);
        const int number = engine->LoadTexture((std::string("./") + name).c_str());
        EXPECT_GE(number, 0) << name;
        return number;
    }
    std::string atlasPath;
    SceneRecord record;
    Heard& guiEvents = record.heard;
};

int CountRgb(const TestImage& image, uint32_t rgb)
{
    return image.Count(0, 0, int(image.width), int(image.height),
                       [rgb](uint32_t p) { return IsRgb(p, rgb); });
}
} // namespace

TEST_F(GuiTest, WidgetsAndFaderInOneEngine)
{
    {
        tavGUI idle; // before Init nothing reacts, and tearing down is safe twice
        EXPECT_FALSE(idle.OnClick());
        EXPECT_FALSE(idle.IsMouseOverWidget());
        idle.Draw();
        idle.Destroy();
        idle.Destroy();
    }
    StartWithScene("GUI=2.5");
    EXPECT_EQ(Gui().GetGUISetting(), 2.5f);
    ASSERT_TRUE(Gui().GetGUIFont() && Gui().GetGUIFont()->HasSheet());
    EXPECT_EQ(Gui().GetGUIFont()->GetSheet().fontHeight, 20.0f);
    // Button clicks and their sounds.
    const int pop = engine->LoadSound(ContentPath("pop.sfx").c_str(), false, 1);
    const int splash = engine->LoadSound(ContentPath("splash.sfx").c_str(), false, 1);
    ASSERT_GE(pop, 0);
    ASSERT_GE(splash, 0);
    Gui().SetClickSound(pop);
    Gui().SetHoverSound(splash);
    Gui().AddButton(100, 100, 200, 100, 42, -1, -1);
    const size_t playing = Playing();
    PlaceCursor(150, 150);
    Render();
    Render();
    EXPECT_EQ(Playing(), playing + 1) << "entering the button plays the hover sound once";
    ReleaseLeftButton(); // through the main window
    EXPECT_EQ(guiEvents, (Heard{{42, 0}}));
    EXPECT_EQ(Playing(), playing + 2);
    EXPECT_FALSE(Gui().OnMouseButton(true)) << "the input poll's press is no click";
    EXPECT_TRUE(Gui().OnMouseButton(false));
    EXPECT_EQ(guiEvents, (Heard{{42, 0}, {42, 0}}));
    Gui().SetSoundsEnabled(false);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(Playing(), playing + 3);
    PlaceCursor(700, 700);
    EXPECT_FALSE(Gui().OnClick());
    EXPECT_EQ(guiEvents.size(), 3u);
    record.onGuiEvent = [this] { Gui().Clear(); }; // a scene may clear the GUI from its handler
    PlaceCursor(150, 150);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(Gui().GetButton(0), nullptr);
    Render();
    record.onGuiEvent = nullptr;
    // The focused edit box takes keys and paste unless the console is open.
    Gui().AddEditBox(100, 500, 20, "Name");
    const tavPixelRect box = Gui().GetEditBox(0)->BoxRect(Gui().GetWidgets().GetScreen());
    const std::string& text = Gui().GetEditBox(0)->line.Text();
    const auto inBox = [&](bool (*match)(uint32_t)) // the box and a little above and below it
    {
        PlaceCursor(1200, 50);
        const TestImage im = Render(0xFFFFFFFF);
        return im.Count(int(box.x0), int(float(im.height) - box.y1) - 10, int(box.x1),
                        int(float(im.height) - box.y0) + 10, match);
    };
    EXPECT_EQ(inBox(IsDark), 0);
    engine->SetCursor(box.x0 + 2, box.y0 + 2);
    ReleaseLeftButton();
    ASSERT_EQ(Gui().GetEditFocus(), 0);
    Type("WWWx");
    Key(VK_BACK);
    EXPECT_EQ(text, "WWW");
    EXPECT_GT(inBox(IsDark), 30) << "black text on the box";
    EXPECT_GT(inBox(IsBlue), 0) << "the caret";
    const std::string hundred(100, 'P');
    ASSERT_TRUE(OpenClipboard(engine->GetWindow()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, hundred.size() + 1);
    memcpy(GlobalLock(memory), hundred.c_str(), hundred.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    Paste();
    EXPECT_EQ(text, hundred.substr(0, 20));
    Type("`x");
    Key(VK_BACK);
    Paste();
    EXPECT_EQ(engine->GetInput(), hundred.substr(0, 60));
    Type("`");
    EXPECT_EQ(text, hundred.substr(0, 20));
    engine->SetCursor(box.x0 - 5, box.y0 - 5); // a click elsewhere ends the typing
    ReleaseLeftButton();
    EXPECT_EQ(Gui().GetEditFocus(), -1);
    EXPECT_EQ(inBox(IsBlue), 0);
    Gui().Clear();
    // The picture: widgets in order, the cursor on top, across a device reset.
    const int red = Texture("red.bmp", 0xFF0000), green = Texture("green.bmp", 0x00FF00),
              yellow = Texture("yellow.bmp", 0xFFFF00);
    Gui().AddImage(0, 0, 600, 400, -1, 0xFF0000FF);
    Gui().AddButton(100, 600, 300, 200, 1, red, yellow);
    Gui().AddButton(250, 700, 300, 200, 2, green, yellow);
    Gui().AddLabel(800, 150, 0xFFFFFFFF, "WWWW");
    Gui().AddCheckBox(800, 400, 60, 60, "");
    Gui().AddSlider(800, 600, 400, 0, 1, 0);
    PlaceCursor(1200, 50);
    TestImage image = Render();
    EXPECT_EQ(At(image, 300, 300), 0x0000FFu) << "the image";
    EXPECT_EQ(At(image, 300, 750), 0xFF0000u) << "the first button lies on top";
    EXPECT_EQ(At(image, 500, 850), 0x00FF00u);
    EXPECT_EQ(At(image, 150, 650), 0xFF0000u);
    EXPECT_GT(Count(image, 800, 120, 200, 60, IsLit), 20) << "the label";
    EXPECT_GT(Count(image, 800, 400, 60, 60, IsLit), 0) << "the check box from the atlas";
    EXPECT_GT(Count(image, 800, 600, 400, 30, IsLit), 0) << "the slider's bar";
    tavFader* fader = engine->GetFader();
    ASSERT_NE(fader, nullptr);
    fader->SetColour(0, 0, 255);
    fader->SetOpaque();
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    const TestImage unticked = Render();
    EXPECT_EQ(Count(unticked, 0, 0, 1280, 1024, nullptr, &image), 0);
    EXPECT_TRUE(fader->IsValid());
    EXPECT_EQ(engine->GetFader(), fader);
    const int all = int(engine->GetWidth() * engine->GetHeight());
    EXPECT_EQ(CountRgb(DrawIn2D(*engine, 0xFF000000, [&] { fader->Draw(); }), 0x0000FF), all);
    PlaceCursor(120, 620); // hovered, the first button shows its other texture
    Gui().GetCheckBox(0)->SetTicked(true);
    image = Render();
    EXPECT_EQ(At(image, 350, 780), 0xFFFF00u);
    EXPECT_EQ(At(image, 500, 850), 0x00FF00u);
    EXPECT_GT(Count(image, 800, 400, 60, 60, nullptr, &unticked), 20) << "the tick";
    // The cursor hangs from its hot spot down and to the right.
    const auto notYellow = [](uint32_t p) { return !IsRgb(p, 0xFFFF00); };
    EXPECT_GT(Count(image, 120, 570, 50, 50, notYellow), 50);
    EXPECT_EQ(Count(image, 175, 625, 50, 50, notYellow), 0);
    Gui().HideAll();
    PlaceCursor(1200, 50);
    image = Render();
    EXPECT_EQ(Count(image, 0, 0, 600, 900, IsLit), 0) << "hidden buttons and images";
    EXPECT_GT(Count(image, 800, 400, 60, 60, IsLit), 0);
    Gui().Clear();
    // The fader's overlay.
    const auto faded = [&](D3DCOLOR background)
    { return DrawIn2D(*engine, background, [&] { fader->Draw(); }); };
    fader->SetColour(255, 0, 0);
    fader->SetClear();
    EXPECT_EQ(CountRgb(faded(0xFF00FF00), 0x00FF00), all) << "clear draws nothing";
    fader->SetOpaque();
    EXPECT_EQ(CountRgb(faded(0xFF00FF00), 0xFF0000), all);
    fader->SetColour(0, 0, 255);
    fader->SetAlpha(128);
    image = faded(0xFF000000);
    const uint32_t middle = image.At(image.width / 2, image.height / 2);
    EXPECT_EQ(middle & 0xFFFF00, 0u);
    EXPECT_NEAR(int(middle & 0xFF), 128, 2);
    // Over a depth buffer cleared to the far plane the overlay at z 0 leaves
    // it there, so that a quad at z 0.5 drawn after it still shows.
    IDirect3DDevice9* device = engine->GetDevice();
    fader->SetColour(255, 0, 0);
    fader->SetOpaque();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    engine->Begin2D();
    engine->SetZ(true);
    fader->Draw();
    DWORD zwrite = 0;
    device->GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
    EXPECT_EQ(zwrite, DWORD(TRUE)) << "depth writing is switched back on";
    const float w = engine->GetWidth(), h = engine->GetHeight();
    const struct
    {
        float x, y, z;
        D3DCOLOR colour;
    } quad[4] = {{0, h, 0.5f, 0xFF00FF00},
                 {w, h, 0.5f, 0xFF00FF00},
                 {0, 0, 0.5f, 0xFF00FF00},
                 {w, 0, 0.5f, 0xFF00FF00}};
    engine->SetTexture(-1, 0);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
    device->EndScene();
    ASSERT_TRUE(ReadBackBuffer(device, image));
    EXPECT_EQ(CountRgb(image, 0x00FF00), all) << "the overlay wrote depth";
    engine->SetZ(false);
    // Fades on the engine's clock.
    const auto advance = [&](uint32_t ms)
    {
        engine->SetFixedFrameTime(double(ms) / 1000.0);
        engine->FrameEnd();
        return faded(0xFFFFFFFF);
    };
    fader->SetColour(0, 0, 0);
    fader->SetClear();
    fader->FadeOut();
    advance(980);
    EXPECT_NEAR(fader->GetFade().GetAlpha(), 249.9f, 0.5f);
    advance(10);
    EXPECT_EQ(CountRgb(advance(10), 0x000000), all);
    fader->SetDuration(2.0f);
    fader->SetDuration(-1.0f);
    EXPECT_EQ(fader->GetFade().GetDuration(), 2.0f);
    EXPECT_NE(Log().find("Fader duration refused"), std::string::npos);
    fader->SetClear();
    engine->SetFixedFrameTime(0.01);
    // A click while the next scene loads never reaches it.
    SceneRecord next;
    next.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    RecordingScene* loading = QueueScene(*engine, next);
    ASSERT_TRUE(PumpUntil([&] { return engine->GetScene() == loading; }));
    ASSERT_FALSE(engine->IsSceneReady());
    Gui().AddButton(100, 100, 200, 100, 7, -1, -1);
    PlaceCursor(150, 150);
    ReleaseLeftButton();
    EXPECT_TRUE(next.heard.empty());
    SetEvent(next.releaseLoading);
    ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }));
    ReleaseLeftButton();
    EXPECT_EQ(next.heard, (Heard{{7, 0}}));
    StopEngine();
    CloseHandle(next.releaseLoading);
}
