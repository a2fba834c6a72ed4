// The font and the console in one running engine: glyph sheets, font files,
// batching and pixels; printing, keys, commands, bound functions and the
// console's picture.
#include "console/tavConsole.h"

#include "console/tavFont.h"
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

class ConsoleTest : public EngineTest
{
protected:
    TestEngine* NewEngine() override { return new CommandEngine(); }
    tavConsole& Console() { return *engine; }
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
    std::string Newest() { return Last(1).empty() ? "" : Last(1)[0]; }
    // Keys through the main window, as the system delivers them.
    void Type(const std::string& text)
    {
        for (char c : text)
            SendMessageA(engine->GetWindow(), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
    }
    void Key(UINT virtualKey) { SendMessageA(engine->GetWindow(), WM_KEYDOWN, virtualKey, 0); }
    void Enter(const std::string& line)
    {
        Type(line);
        Key(VK_RETURN);
    }
    TestImage Render(const std::function<void()>& draw = nullptr)
    {
        return DrawIn2D(
            *engine, 0xFF000000, draw ? draw : [&] { Console().Draw(); });
    }
    static int All(const TestImage& image, const std::function<bool(uint32_t)>& match)
    {
        return image.Count(0, 0, int(image.width), int(image.height), match);
    }
};

// A font file with an all-white w x h sheet in which 'A' covers the sheet.
std::vector<uint8_t> WhiteFontFile(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> out(1556 + size_t(w) * h * 4, 0xFF);
    const float header[] = {0, 20.0f, 0, 0, 1.0f};
    std::memcpy(out.data(), header, 20);
    std::memcpy(out.data() + 8, &w, 4);
    std::memcpy(out.data() + 12, &h, 4);
    for (int c = 32; c < 128; ++c)
    {
        const float cell[4] = {0, 0, c == 'A' ? 1.0f : 0.0f, c == 'A' ? 1.0f : 0.0f};
        std::memcpy(out.data() + 20 + (c - 32) * 16, cell, 16);
    }
    return out;
}

std::vector<std::string> HelpBlock(const std::vector<std::string>& bindingLines)
{
    std::vector<std::string> block = {
        "=== TAVConsole Information ===",
        "Console size: " + std::to_string(sizeof(tavConsole)) + " bytes",
        "up/down: Make the console go up and down.",
        "quit: Quit the game.",
        "texture: Report texture pool information.",
        "sound: Report DirectSound information.",
        "Number of bound functions: " + std::to_string(bindingLines.size())};
    block.insert(block.end(), bindingLines.begin(), bindingLines.end());
    return block;
}
} // namespace

TEST_F(ConsoleTest, FontAndConsoleInOneEngine)
{
    ASSERT_EQ(StartEngine(), S_OK);
    auto font = std::make_unique<tavFont>(engine.get());
    // The sheet's size follows the height, and so does the GDI font.
    for (const auto& [height, size] : {std::pair<int, UINT>{25, 512}, {41, 1024}})
    {
        SCOPED_TRACE(height);
        ASSERT_EQ(font->Create("Verdana", height, false, false, false), S_OK);
        ASSERT_TRUE(font->HasSheet());
        D3DSURFACE_DESC desc;
        ASSERT_EQ(font->GetSheetTexture()->GetLevelDesc(0, &desc), S_OK);
        EXPECT_EQ(desc.Width, size);
        EXPECT_EQ(desc.Height, size);
        EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
        EXPECT_GT(font->GetSheet().GlyphHeight('M'), float(height));
    }
    const uint32_t Green = 0xFF00FF00;
    tavTextRect r;
    TestImage image;
    // Fifty glyphs to a draw call; blanks and colour codes are not drawn.
    ASSERT_EQ(font->Create("Verdana", 25, false, false, false), S_OK);
    {
        DrawCallCounter counter(engine->GetDevice());
        ASSERT_TRUE(counter.IsHooked());
        const std::pair<std::string, long> batches[] = {
            {std::string(50, 'x'), 1},
            {std::string(51, 'x'), 2},
            {std::string(50, 'x') + std::string(10, ' '), 1},
            {"", 0},
            {"&1&2&3", 0}};
        for (const auto& [text, calls] : batches)
        {
            counter.Reset();
            Render([&] { font->DrawText(r, 0, 500, Green, text.c_str()); });
            EXPECT_EQ(counter.Count(), calls) << text.size() << " characters";
        }
    }
    // The lit pixels lie where the rectangle says: none outside it (but for
    // a few rows of cell above the ascenders), ink at its ends and its top.
    image = Render([&] { font->DrawText(r, 300, 700, 0xFFFFFFFF, "Hello, World"); });
    const int h = int(image.height), w = int(image.width);
    const int left = int(engine->ScaleX(float(r.left))),
              right = int(engine->ScaleX(float(r.right)));
    const int top = int(h - engine->ScaleY(float(r.top)));
    const int last = int(engine->ScaleX(font->GetSheet().GlyphWidth('d')));
    const int bottom = int(h - engine->ScaleY(float(r.top)) +
                           font->GetSheet().GlyphHeight('H') * engine->GetHeight() / 1024) +
                       3;
    EXPECT_EQ(image.Count(left - 1, top - 8, right + 2, bottom, IsLit), All(image, IsLit));
    EXPECT_GT(image.Count(left - 1, 0, left + 5, h, IsLit), 0) << "the left end";
    EXPECT_GT(image.Count(right - last, 0, right + 2, h, IsLit), 0) << "the right end";
    EXPECT_GT(image.Count(0, top - 8, w, top + 13, IsLit), 0) << "the top";
    font->DrawTextF(r, 0, 500, 0xFFFFFFFF, "%s", std::string(600, 'w').c_str());
    EXPECT_EQ(r.right, int(font->GetSheet().GlyphWidth('w')) * 511) << "formatted text is cut";
    // Font files: a good one draws; one cut short and a missing one are
    // refused and keep the sheet.
    const auto whiteA = [&]
    {
        return All(Render([&] { font->DrawText(r, 10, 100, 0xFFFFFFFF, "A", true); }),
                   [](uint32_t p) { return IsRgb(p, 0xFFFFFF); });
    };
    std::vector<uint8_t> good = WhiteFontFile(4, 4), cut = WhiteFontFile(64, 64);
    cut.pop_back();
    for (const auto& [name, bytes] : {std::pair{"good.font", &good}, {"cut.font", &cut}})
        WriteTextFile(name, std::string(bytes->begin(), bytes->end()));
    ASSERT_EQ(font->LoadFromFile("good.font"), S_OK);
    EXPECT_EQ(font->LineHeight(1.0f), 20.0f);
    EXPECT_GT(whiteA(), 0);
    for (const char* bad : {"cut.font", "missing.font"})
    {
        EXPECT_EQ(font->LoadFromFile(bad), E_FAIL) << bad;
        EXPECT_EQ(font->GetSheet().texWidth, 4u) << bad;
        EXPECT_NE(Log().find(std::string("Font file \"") + bad + "\""), std::string::npos) << bad;
    }
    EXPECT_GT(whiteA(), 0);
    font.reset();
    Key(VK_OEM_3); // the back-quote key itself is no character
    Type("`");
    ASSERT_TRUE(Console().IsShown());
    Type("`");
    // Page Up shows the oldest twelve lines and the prompt "^": an invisible
    // panel, line i in its own colour, red at the oldest, blue at the newest.
    Console().Init(engine.get(), 0xFF000000, 200, 96, 0.0f);
    for (int i = 0; i < 13; ++i)
        Console().Print("WWWWWWWW", i == 0 ? 0xFFFF0000 : (i == 12 ? 0xFF0000FF : 0xFF00FF00));
    Type("`");
    const auto red = [](uint32_t p) { return IsRgb(p, 0xFF0000); };
    const auto blue = [](uint32_t p) { return IsRgb(p, 0x0000FF); };
    image = Render();
    EXPECT_EQ(image.Count(0, 0, w, h / 2, red), 0);
    EXPECT_GT(image.Count(0, 0, w, h / 2, blue), 0);
    Key(VK_PRIOR);
    EXPECT_EQ(Console().GetScrollOffset(), 1);
    image = Render();
    EXPECT_GT(image.Count(0, 0, w, 40, red), 0);
    EXPECT_EQ(image.Count(0, 0, w, h / 2, blue), 0);
    tavFont& consoleFont = *Console().GetFont();
    const float h15 = consoleFont.LineHeight(1.5f);
    const auto promptOf = [&](const char* glyph)
    { return Render([&] { consoleFont.DrawText(r, 0, 512 + h15, 0xFF00FF00, glyph); }); };
    const int px1 = int(engine->ScaleX(38)), py0 = h - int(engine->ScaleY(512 + h15)) - 4,
              py1 = h - int(engine->ScaleY(512 + h15 - 30));
    const auto prompt = [&](const TestImage& im) { return im.Count(0, py0, px1, py1, IsLit); };
    const int caret = prompt(promptOf("^")), arrow = prompt(promptOf(">"));
    ASSERT_NE(caret, arrow);
    EXPECT_EQ(prompt(Render()), caret);
    Key(VK_NEXT);
    EXPECT_EQ(prompt(Render()), arrow);
    Console().Init(engine.get(), 0xFF000000, 200, 96, 0.75f);
    // Built-in commands ignore their arguments.
    Enter("down now");
    EXPECT_FALSE(Console().IsShown());
    Console().Execute("up 1 2 3");
    EXPECT_TRUE(Console().IsShown());
    Enter("help");
    EXPECT_EQ(Last(7), HelpBlock({}));
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(Console().GetLines()[Console().GetLines().size() - 1 - i].colour, 0xFFFFFFB8);
    Console().BindFunction("gravity", 3, 4);
    Console().BindFunction("say", 9, 7);
    Enter("help with anything");
    EXPECT_EQ(Last(9), HelpBlock({"#3: gravity(float)", "#9: say(string)"}));
    DWORD fill = 0;
    Enter("wire 1 2");
    engine->GetDevice()->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_WIREFRAME));
    Enter("solid");
    engine->GetDevice()->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_SOLID));
    Enter("texture");
    const std::vector<std::string> report = Last(8);
    EXPECT_NE(std::find(report.begin(), report.end(), "=== Texture Pool Statistics ==="),
              report.end());
    Enter("sound");
    EXPECT_NE(Newest(), "Invalid command: sound()");
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
    Console().Execute("pair 1");
    EXPECT_EQ(Newest(), "Invalid command: pair(1)");
    EXPECT_TRUE(Calls().empty());
    const std::pair<const char*, std::vector<std::string>> table[] = {
        {"pair 7 8", {"ints 2 7 8 0"}},
        {"triple 1  2", {"ints 3 1 0 2"}},
        {"scale 0.5  -2", {"floats 6 0.5 0 -2"}},
        {"go 2.9", {"ints 1 2 0 0", "ints 2 2 0 0", "floats 3 2.9 0 0", "cmd 4", "text 5 [2.9]"}},
        {"go", {"cmd 4"}},
    };
    for (const auto& [line, calls] : table)
    {
        Calls().clear();
        Console().Execute(line);
        EXPECT_EQ(Calls(), calls) << line;
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
    // prompt and the caret; input before the caret and after it one call each.
    for (int i = 0; i < 14; ++i)
        Console().Print(std::string(60, char('A' + i)).c_str(), 0xFFFFFFB8);
    Render(); // sizes the scroll range
    {
        DrawCallCounter counter(engine->GetDevice());
        ASSERT_TRUE(counter.IsHooked());
        const auto calls = [&]
        {
            counter.Reset();
            Render();
            return counter.Count();
        };
        EXPECT_EQ(calls(), 1 + 12 * 2 + 1 + 1);
        Type("say something");
        EXPECT_EQ(calls(), 28);
        Key(VK_LEFT);
        EXPECT_EQ(calls(), 29);
    }
    Key(VK_RETURN);
    // Keys and paste reach the console only while it is shown.
    Type("`");
    EXPECT_FALSE(Console().KeyInput('a', true));
    EXPECT_TRUE(Console().KeyInput(96, false)); // the activator as a key code too
    EXPECT_TRUE(Console().IsShown());
    EXPECT_TRUE(Console().KeyInput(96, true));
    EXPECT_FALSE(Console().IsShown());
    EXPECT_EQ(Console().GetInput(), "");
    Type("`kkk");
    Key(VK_HOME);
    Key(VK_DELETE);
    Type("\x01\x1B");
    EXPECT_EQ(Console().GetInput(), "kk");
    const std::string text = std::string(100, 'p') + "END";
    ASSERT_TRUE(OpenClipboard(engine->GetWindow()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    Key(VK_RETURN); // runs the line and clears it
    Type("ab");
    Key(VK_LEFT);
    SendMessageA(engine->GetWindow(), WM_HOTKEY, TAV_HOTKEY_PASTE, 0); // at the caret, cut to sixty
    EXPECT_EQ(Console().GetInput(), "a" + std::string(59, 'p'));
    EXPECT_TRUE(Console().KeyInput(VK_LEFT, false));
    EXPECT_FALSE(Console().KeyInput(VK_ESCAPE, false))
        << "Escape hides the console and is passed on";
    EXPECT_FALSE(Console().IsShown());
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
    image = Render();
    EXPECT_GT(image.Count(0, 0, 200, 40, IsLit), 0);
    EXPECT_EQ(image.Count(0, h / 2, w, h, IsLit), 0);
    engine->FrameEnd();
    EXPECT_EQ(All(Render(), IsLit), 0);
    Console().SetNotify(false);
    EXPECT_FALSE(engine->IsQuitting());
    Console().Execute("quit please");
    EXPECT_TRUE(engine->IsQuitting());
}
