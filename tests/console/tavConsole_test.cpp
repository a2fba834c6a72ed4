// The font, the console, the GUI and the fader in one running engine: glyph
// sheets, font files, batching and pixels; printing, keys, commands and bound
// functions; clicks, typing and sounds; the picture across a device reset.
#include "console/tavConsole.h"

#include "console/tavFader.h"
#include "console/tavFont.h"
#include "console/tavGUI.h"
#include "core/RecordingScene.h"
#include "support/DrawCallCounter.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace
{
// An engine that writes down every console callback as text.
class CommandEngine : public TestEngine
{
public:
    template <typename... T> void Record(const char* kind, uint32_t id, T... arguments)
    {
        std::ostringstream text;
        text << kind << ' ' << id;
        ((text << ' ' << arguments), ...);
        calls.push_back(text.str());
    }
    void OnCommand(uint32_t id) override
    {
        Record("cmd", id);
        if (onCommand) onCommand();
    }
    void OnCommandInts(uint32_t id, int a, int b, int c) override { Record("ints", id, a, b, c); }
    void OnCommandFloats(uint32_t id, float a, float b, float c) override
    {
        Record("floats", id, a, b, c);
    }
    void OnCommandText(uint32_t id, std::string t) override { Record("text", id, "[" + t + "]"); }
    std::vector<std::string> calls;
    std::function<void()> onCommand; // runs inside OnCommand when set
};

const auto IsBlue = [](uint32_t p) { return p >> 8 < 0x6060 && (p & 0xFF) > 0xC0; };
const auto IsDark = [](uint32_t p) { return p >> 8 < 0x6060 && (p & 0xFF) < 0x60; };
const auto Rgb = [](uint32_t rgb) { return [rgb](uint32_t p) { return IsRgb(p, rgb); }; };

class ConsoleTest : public EngineTest
{
protected:
    TestEngine* NewEngine() override { return new CommandEngine(); }
    tavConsole& Console() { return *engine; }
    tavGUI& Gui() { return *engine; }
    std::vector<std::string>& Calls() { return static_cast<CommandEngine&>(*engine).calls; }
    // The newest `n` lines, oldest first.
    std::vector<std::string> Last(size_t n)
    {
        const std::deque<ConsoleLine>& lines = Console().GetLines();
        std::vector<std::string> out;
        for (size_t i = lines.size() > n ? lines.size() - n : 0; i < lines.size(); ++i)
            out.push_back(lines[i].text);
        return out;
    }
    std::string Newest() { return Console().GetLines().back().text; }
    // Keys, clicks and paste through the main window.
    void Send(UINT message, WPARAM w = 0) { SendMessageA(engine->GetWindow(), message, w, 0); }
    void Type(const std::string& text) { for (char c : text) Send(WM_CHAR, WPARAM(uint8_t(c))); }
    void Enter(const std::string& line) { Type(line), Send(WM_KEYDOWN, VK_RETURN); }
    void Clipboard(const std::string& text)
    {
        ASSERT_TRUE(OpenClipboard(engine->GetWindow()));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }
    void PlaceCursor(float x, float y) { engine->SetCursor(engine->ScaleX(x), engine->ScaleY(y)); }
    TestImage Render(std::function<void()> f, DWORD c = ~0xFFFFFFu) { return DrawIn2D(*engine, c, f); }
    static int All(const TestImage& image, const std::function<bool(uint32_t)>& match)
    {
        return image.Count(0, 0, int(image.width), int(image.height), match);
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
};
} // namespace

TEST_F(ConsoleTest, FontConsoleGuiAndFaderInOneEngine)
{
    const std::string atlas = ContentPath("gui.tex");
    settings.cursorTexture = atlas.c_str();
    ASSERT_EQ(StartEngine("GUI=2.5"), S_OK);
    const auto console = [&] { Console().Draw(); };
    const auto gui = [&] { Gui().Draw(); };
    const int h = int(engine->GetHeight()), w = int(engine->GetWidth()), all = w * h;
    auto font = std::make_unique<tavFont>(engine.get());
    // The sheet's size follows the height, and so does the GDI font.
    ASSERT_EQ(font->Create("Verdana", 41, false, false, false), S_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(font->GetSheetTexture()->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(std::make_tuple(desc.Width, desc.Height, desc.Format),
              std::make_tuple(1024u, 1024u, D3DFMT_A4R4G4B4));
    tavTextRect r;
    // Fifty glyphs to a draw call; blanks and colour codes are not drawn.
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    {
        DrawCallCounter counter(engine->GetDevice());
        ASSERT_TRUE(counter.IsHooked());
        for (const auto& [text, calls] : {std::pair<std::string, long>{std::string(50, 'x'), 1},
                                          {std::string(51, 'x'), 2},
                                          {std::string(50, 'x') + std::string(10, ' '), 1},
                                          {"&1&2&3", 0}})
        {
            counter.Reset();
            Render([&] { font->DrawText(r, 0, 500, 0xFF00FF00, text.c_str()); });
            EXPECT_EQ(counter.Count(), calls) << text.size() << " characters";
        }
    }
    // The lit pixels lie where the rectangle says: none outside it (but for
    // a few rows of cell above the ascenders), ink at its ends and its top.
    TestImage image = Render([&] { font->DrawText(r, 300, 700, 0xFFFFFFFF, "Hello, World"); });
    const tavGlyphSheet& sheet = font->GetSheet();
    const int left = int(engine->ScaleX(float(r.left))), right = int(engine->ScaleX(float(r.right))),
              top = int(h - engine->ScaleY(float(r.top))), last = int(engine->ScaleX(sheet.GlyphWidth('d'))),
              bottom = top + int(sheet.GlyphHeight('H') * engine->GetHeight() / 1024) + 3;
    EXPECT_EQ(image.Count(left - 1, top - 8, right + 2, bottom, IsLit), All(image, IsLit));
    EXPECT_GT(image.Count(left - 1, 0, left + 5, h, IsLit), 0) << "the left end";
    EXPECT_GT(image.Count(right - last, 0, right + 2, h, IsLit), 0) << "the right end";
    EXPECT_GT(image.Count(0, top - 8, w, top + 13, IsLit), 0) << "the top";
    font->DrawTextF(r, 0, 500, 0xFFFFFFFF, "%s", std::string(600, 'w').c_str());
    EXPECT_EQ(r.right, int(font->GetSheet().GlyphWidth('w')) * 511) << "formatted text is cut";
    // A font file of an all-white 4 x 4 sheet in which 'A' covers the sheet
    // draws; a missing one is refused and the sheet kept.
    std::string file(1556 + 64, '\xFF');
    const float header[] = {0, 20.0f, 0, 0, 1.0f}, cell[4] = {0, 0, 1, 1};
    const uint32_t four = 4;
    std::memcpy(&file[0], header, 20);
    std::memcpy(&file[8], &four, 4);
    std::memcpy(&file[12], &four, 4);
    for (int c = 32; c < 128; ++c)
        std::memcpy(&file[20 + (c - 32) * 16], c == 'A' ? cell : header, 16);
    WriteTextFile("good.font", file);
    const auto whiteA = [&]
    {
        return All(Render([&] { font->DrawText(r, 10, 100, 0xFFFFFFFF, "A", true); }),
                   Rgb(0xFFFFFF));
    };
    ASSERT_EQ(font->LoadFromFile("good.font"), S_OK);
    EXPECT_GT(whiteA(), 0);
    EXPECT_EQ(font->LoadFromFile("missing.font"), E_FAIL);
    EXPECT_NE(Log().find("Font file \"missing.font\""), std::string::npos);
    EXPECT_GT(whiteA(), 0);
    font.reset();
    Send(WM_KEYDOWN, VK_OEM_3); // the back-quote key itself is no character
    Type("`");
    ASSERT_TRUE(Console().IsShown());
    Type("`");
    // Page Up shows the oldest twelve lines: on an invisible panel, red the
    // oldest, blue the newest.
    Console().Init(engine.get(), 0xFF000000, 200, 96, 0.0f);
    for (int i = 0; i < 13; ++i)
        Console().Print("WWWWWWWW", i == 0 ? 0xFFFF0000 : (i == 12 ? 0xFF0000FF : 0xFF00FF00));
    Type("`");
    image = Render(console);
    EXPECT_EQ(image.Count(0, 0, w, h / 2, Rgb(0xFF0000)), 0);
    EXPECT_GT(image.Count(0, 0, w, h / 2, Rgb(0x0000FF)), 0);
    Send(WM_KEYDOWN, VK_PRIOR);
    EXPECT_EQ(Console().GetScrollOffset(), 1);
    image = Render(console);
    EXPECT_GT(image.Count(0, 0, w, 40, Rgb(0xFF0000)), 0);
    EXPECT_EQ(image.Count(0, 0, w, h / 2, Rgb(0x0000FF)), 0);
    Send(WM_KEYDOWN, VK_NEXT);
    Console().Init(engine.get(), 0xFF000000, 200, 96, 0.75f);
    // Built-in commands ignore their arguments.
    Enter("down now");
    EXPECT_FALSE(Console().IsShown());
    Console().Execute("up 1 2 3");
    EXPECT_TRUE(Console().IsShown());
    Console().BindFunction("gravity", 3, 4);
    Console().BindFunction("say", 9, 7);
    Enter("help with anything");
    EXPECT_EQ(Last(9), (std::vector<std::string>{
                           "=== TAVConsole Information ===",
                           "Console size: " + std::to_string(sizeof(tavConsole)) + " bytes",
                           "up/down: Make the console go up and down.", "quit: Quit the game.",
                           "texture: Report texture pool information.",
                           "sound: Report DirectSound information.", "Number of bound functions: 2",
                           "#3: gravity(float)", "#9: say(string)"}));
    EXPECT_EQ(Console().GetLines()[Console().GetLines().size() - 9].colour, 0xFFFFFFB8);
    for (const auto& [line, fill] :
         {std::pair<const char*, DWORD>{"wire 1 2", D3DFILL_WIREFRAME}, {"solid", D3DFILL_SOLID}})
    {
        Enter(line);
        DWORD mode = 0;
        engine->GetDevice()->GetRenderState(D3DRS_FILLMODE, &mode);
        EXPECT_EQ(mode, fill) << line;
    }
    Enter("texture");
    const std::vector<std::string> report = Last(8);
    EXPECT_EQ(std::count(report.begin(), report.end(), "=== Texture Pool Statistics ==="), 1);
    Enter("Help");
    EXPECT_EQ(Newest(), "Invalid command: Help()");
    EXPECT_EQ(Console().GetLines().back().colour, 0xFFFFCCCCu);
    EXPECT_TRUE(Calls().empty());
    // A binding takes exactly its argument count; every binding of a name
    // is called; two blanks make an empty middle argument.
    Console().BindFunction("pair", 2, 2);
    Console().BindFunction("triple", 3, 3);
    Console().BindFunction("scale", 6, 6);
    const int goTypes[] = {1, 1, 4, 0, 7};
    for (uint32_t id = 1; id <= 5; ++id)
        Console().BindFunction("go", id, goTypes[id - 1]);
    const std::pair<const char*, std::vector<std::string>> table[] = {
        {"pair 1", {}}, {"pair 7 8", {"ints 2 7 8 0"}}, {"triple 1  2", {"ints 3 1 0 2"}},
        {"scale 0.5  -2", {"floats 6 0.5 0 -2"}}, {"go", {"cmd 4"}},
        {"go 2.9", {"ints 1 2 0 0", "ints 2 2 0 0", "floats 3 2.9 0 0", "cmd 4", "text 5 [2.9]"}}};
    for (const auto& [line, calls] : table)
    {
        Calls().clear();
        Console().Execute(line);
        EXPECT_EQ(Calls(), calls) << line;
        EXPECT_TRUE(!calls.empty() || Newest() == "Invalid command: pair(1)");
    }
    EXPECT_TRUE(Console().UnbindFunction("go")); // the first binding of the name, matched exactly
    EXPECT_EQ(Console().GetBindingCount(), 9u);
    EXPECT_FALSE(Console().UnbindFunction("Go"));
    Calls().clear();
    Console().Execute("go 1");
    EXPECT_EQ(Calls().front(), "ints 2 1 0 0");
    // A line entered while one runs waits: the input holds the running line,
    // a second Enter keeps its own, and the first command's end clears it.
    Console().BindFunction("slow", 1, 0);
    std::string inputWhileRunning;
    static_cast<CommandEngine&>(*engine).onCommand = [&]
    {
        inputWhileRunning = Console().GetInput();
        Enter("again");
        EXPECT_EQ(Console().GetInput(), "slowagain");
    };
    Calls().clear();
    Enter("slow");
    static_cast<CommandEngine&>(*engine).onCommand = nullptr;
    EXPECT_EQ(inputWhileRunning, "slow");
    EXPECT_EQ(Newest(), "Please wait...");
    EXPECT_EQ(Console().GetLines().back().colour, 0xFFFFFFCEu);
    EXPECT_EQ(Console().GetInput(), "");
    EXPECT_EQ(Calls(), std::vector<std::string>{"cmd 1"});
    // A full console draws the panel, 12 lines in two batches each, the
    // prompt, the caret, and input before and after the caret one call each.
    for (int i = 0; i < 14; ++i)
        Console().Print(std::string(60, char('A' + i)).c_str(), 0xFFFFFFB8);
    Render(console); // sizes the scroll range
    Type("say something");
    Send(WM_KEYDOWN, VK_LEFT);
    {
        DrawCallCounter counter(engine->GetDevice());
        Render(console);
        EXPECT_EQ(counter.Count(), 1 + 12 * 2 + 1 + 1 + 2);
    }
    Send(WM_KEYDOWN, VK_RETURN);
    // Keys and paste reach the console only while it is shown.
    Type("`");
    EXPECT_FALSE(Console().KeyInput('a', true));
    Type("`kkk");
    Send(WM_KEYDOWN, VK_HOME);
    Send(WM_KEYDOWN, VK_DELETE);
    Type("\x01\x1B");
    EXPECT_EQ(Console().GetInput(), "kk");
    const std::string hundred(100, 'p');
    Clipboard(hundred + "END");
    Send(WM_KEYDOWN, VK_RETURN); // runs the line and clears it
    Type("ab");
    Send(WM_KEYDOWN, VK_LEFT);
    Send(WM_HOTKEY, TAV_HOTKEY_PASTE); // at the caret, cut to sixty
    EXPECT_EQ(Console().GetInput(), "a" + hundred.substr(0, 59));
    Send(WM_KEYDOWN, VK_RETURN);
    Type("`");
    // The scroll-back keeps the newest 200 lines; an empty line adds nothing
    // but makes room; Printf cuts long text.
    for (int i = 0; i < 250; ++i)
        Console().Printf(0xFFFFFFFF, "line %d", i);
    ASSERT_EQ(Console().GetLines().size(), 200u);
    EXPECT_EQ(Console().GetLines().front().text, "line 50");
    EXPECT_EQ(Console().GetLines().back().text, "line 249");
    Console().Print("", 0xFFFFFFFF);
    EXPECT_EQ(Console().GetLines().size(), 199u);
    Console().Printf(0xFFFFFFFF, "%s", std::string(700, 'z').c_str());
    EXPECT_EQ(Console().GetLines().back().text, std::string(511, 'z'));
    // Notify mode shows only the lines of the last three seconds.
    engine->SetFixedFrameTime(3.5);
    engine->FrameEnd();
    Console().SetNotify(true);
    Console().Print("WWWW", 0xFFFFFFFF);
    image = Render(console);
    EXPECT_GT(image.Count(0, 0, 200, 40, IsLit), 0);
    EXPECT_EQ(image.Count(0, h / 2, w, h, IsLit), 0);
    engine->FrameEnd();
    EXPECT_EQ(All(Render(console), IsLit), 0);
    Console().SetNotify(false);
    engine->SetFixedFrameTime(0.01);
    // The GUI, over a ready scene that draws it: button clicks and their sounds.
    SceneRecord record;
    record.drawGui = true;
    QueueScene(*engine, record);
    ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }));
    EXPECT_EQ(Gui().GetGUIFont()->GetSheet().fontHeight, 20.0f);
    const int pop = engine->LoadSound(ContentPath("pop.sfx").c_str(), false, 1);
    const int splash = engine->LoadSound(ContentPath("splash.sfx").c_str(), false, 1);
    ASSERT_GE(std::min(pop, splash), 0);
    Gui().SetClickSound(pop);
    Gui().SetHoverSound(splash);
    Gui().AddButton(100, 100, 200, 100, 42, -1, -1);
    const auto playing = [&, before = engine->GetPlaying().size()]
    { return engine->GetPlaying().size() - before; };
    PlaceCursor(150, 150);
    Render(gui);
    Render(gui);
    EXPECT_EQ(playing(), 1u) << "entering the button plays the hover sound once";
    Send(WM_LBUTTONUP);
    EXPECT_EQ(record.heard, (Heard{{42, 0}}));
    EXPECT_EQ(playing(), 2u);
    EXPECT_FALSE(Gui().OnMouseButton(true)) << "the input poll's press is no click";
    EXPECT_TRUE(Gui().OnMouseButton(false));
    Gui().SetSoundsEnabled(false);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(playing(), 3u);
    PlaceCursor(700, 700);
    EXPECT_FALSE(Gui().OnClick());
    EXPECT_EQ(record.heard.size(), 3u);
    record.onGuiEvent = [this] { Gui().Clear(); }; // a scene may clear the GUI from its handler
    PlaceCursor(150, 150);
    EXPECT_TRUE(Gui().OnClick());
    EXPECT_EQ(Gui().GetButton(0), nullptr);
    Render(gui);
    record.onGuiEvent = nullptr;
    // The focused edit box takes keys and paste unless the console is open.
    Gui().AddEditBox(100, 500, 20, "Name");
    const tavPixelRect box = Gui().GetEditBox(0)->BoxRect(Gui().GetWidgets().GetScreen());
    const std::string& text = Gui().GetEditBox(0)->line.Text();
    const auto inBox = [&](auto match) // the box and a little above and below it
    {
        PlaceCursor(1200, 50);
        const TestImage im = Render(gui, 0xFFFFFFFF);
        return im.Count(int(box.x0), int(float(im.height) - box.y1) - 10, int(box.x1),
                        int(float(im.height) - box.y0) + 10, match);
    };
    EXPECT_EQ(inBox(IsDark), 0);
    engine->SetCursor(box.x0 + 2, box.y0 + 2);
    Send(WM_LBUTTONUP);
    ASSERT_EQ(Gui().GetEditFocus(), 0);
    Type("WWW");
    EXPECT_GT(inBox(IsDark), 30) << "black text on the box";
    EXPECT_GT(inBox(IsBlue), 0) << "the caret";
    Send(WM_HOTKEY, TAV_HOTKEY_PASTE);
    EXPECT_EQ(text, hundred.substr(0, 20));
    Type("`");
    Send(WM_HOTKEY, TAV_HOTKEY_PASTE);
    EXPECT_EQ(engine->GetInput(), hundred.substr(0, 60));
    Type("`");
    EXPECT_EQ(text, hundred.substr(0, 20));
    engine->SetCursor(box.x0 - 5, box.y0 - 5); // a click elsewhere ends the typing
    Send(WM_LBUTTONUP);
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
    image = Render(gui);
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
    const TestImage unticked = Render(gui);
    EXPECT_EQ(Count(unticked, 0, 0, 1280, 1024, nullptr, &image), 0);
    EXPECT_EQ(engine->GetFader(), fader);
    const auto faded = [&](D3DCOLOR under) { return Render([&] { fader->Draw(); }, under); };
    EXPECT_EQ(All(faded(0xFF000000), Rgb(0x0000FF)), all);
    PlaceCursor(120, 620); // hovered, the first button shows its other texture
    Gui().GetCheckBox(0)->SetTicked(true);
    image = Render(gui);
    EXPECT_EQ(At(image, 350, 780), 0xFFFF00u);
    EXPECT_EQ(At(image, 500, 850), 0x00FF00u);
    EXPECT_GT(Count(image, 800, 400, 60, 60, nullptr, &unticked), 20) << "the tick";
    // The cursor hangs from its hot spot down and to the right.
    const auto notYellow = [](uint32_t p) { return !IsRgb(p, 0xFFFF00); };
    EXPECT_GT(Count(image, 120, 570, 50, 50, notYellow), 50);
    EXPECT_EQ(Count(image, 175, 625, 50, 50, notYellow), 0);
    Gui().HideAll();
    PlaceCursor(1200, 50);
    image = Render(gui);
    EXPECT_EQ(Count(image, 0, 0, 600, 900, IsLit), 0) << "hidden buttons and images";
    EXPECT_GT(Count(image, 800, 400, 60, 60, IsLit), 0);
    Gui().Clear();
    // The fader's overlay: clear draws nothing, opaque all, half alpha half.
    fader->SetColour(255, 0, 0);
    fader->SetClear();
    EXPECT_EQ(All(faded(0xFF00FF00), Rgb(0x00FF00)), all);
    fader->SetOpaque();
    EXPECT_EQ(All(faded(0xFF00FF00), Rgb(0xFF0000)), all);
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
    const struct
    {
        float x, y, z;
        D3DCOLOR colour;
    } quad[4] = {{0, float(h), 0.5f, 0xFF00FF00}, {float(w), float(h), 0.5f, 0xFF00FF00},
                 {0, 0, 0.5f, 0xFF00FF00}, {float(w), 0, 0.5f, 0xFF00FF00}};
    engine->SetTexture(-1, 0);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
    device->EndScene();
    ASSERT_TRUE(ReadBackBuffer(device, image));
    EXPECT_EQ(All(image, Rgb(0x00FF00)), all) << "the overlay wrote depth";
    engine->SetZ(false);
    // Fades on the engine's clock.
    fader->SetColour(0, 0, 0);
    fader->SetClear();
    fader->FadeOut();
    for (const double seconds : {0.98, 0.01, 0.01}) // the fader moves on as it draws
    {
        engine->SetFixedFrameTime(seconds);
        engine->FrameEnd();
        image = faded(0xFFFFFFFF);
        EXPECT_TRUE(seconds < 0.5 || std::abs(fader->GetFade().GetAlpha() - 249.9f) < 0.5f);
    }
    EXPECT_EQ(All(image, Rgb(0x000000)), all);
    fader->SetDuration(-1.0f);
    EXPECT_NE(Log().find("Fader duration refused"), std::string::npos);
    fader->SetClear();
    // A click while the next scene loads never reaches it.
    SceneRecord next;
    next.releaseLoading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    RecordingScene* loading = QueueScene(*engine, next);
    ASSERT_TRUE(PumpUntil([&] { return engine->GetScene() == loading; }));
    ASSERT_FALSE(engine->IsSceneReady());
    Gui().AddButton(100, 100, 200, 100, 7, -1, -1);
    PlaceCursor(150, 150);
    Send(WM_LBUTTONUP);
    EXPECT_TRUE(next.heard.empty());
    SetEvent(next.releaseLoading);
    ASSERT_TRUE(PumpUntil([&] { return engine->IsSceneReady(); }));
    Send(WM_LBUTTONUP);
    EXPECT_EQ(next.heard, (Heard{{7, 0}}));
    EXPECT_FALSE(engine->IsQuitting());
    Console().Execute("quit please");
    EXPECT_TRUE(engine->IsQuitting());
    StopEngine();
    CloseHandle(next.releaseLoading);
}
