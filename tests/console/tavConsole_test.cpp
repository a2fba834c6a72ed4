// The console: printing, keys, commands, bound functions and its picture.
#include "console/tavConsole.h"

#include "console/tavFont.h"
#include "support/DrawCallCounter.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"
#include "support/TestPixels.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const uint32_t Help = 0xFFFFFFB8;
const uint32_t Invalid = 0xFFFFCCCC;

// An engine that writes down every console callback as text.
class CommandEngine : public TestEngine
{
public:
    void OnCommand(uint32_t id) override { Record("cmd " + std::to_string(id)); }
    void OnCommandInts(uint32_t id, int a, int b, int c) override
    {
        Record("ints " + std::to_string(id) + " " + std::to_string(a) + " " + std::to_string(b) +
               " " + std::to_string(c));
    }
    void OnCommandFloats(uint32_t id, float a, float b, float c) override
    {
        char text[128];
        snprintf(text, sizeof(text), "floats %u %g %g %g", id, a, b, c);
        Record(text);
    }
    void OnCommandText(uint32_t id, std::string text) override
    {
        Record("text " + std::to_string(id) + " [" + text + "]");
    }

    std::vector<std::string> calls;
    std::function<void(uint32_t)> onCommand; // runs inside OnCommand when set

private:
    void Record(const std::string& call)
    {
        calls.push_back(call);
        if (onCommand && call.rfind("cmd ", 0) == 0)
            onCommand(uint32_t(std::stoul(call.substr(4))));
    }
};

class ConsoleTest : public EngineTest
{
protected:
    TestEngine* NewEngine() override { return new CommandEngine(); }
    void SetUp() override { ASSERT_EQ(StartEngine(), S_OK); }

    CommandEngine& Engine() { return static_cast<CommandEngine&>(*engine); }
    tavConsole& Console() { return *engine; }
    std::vector<std::string>& Calls() { return Engine().calls; }

    // The newest `n` lines, oldest first.
    std::vector<std::string> Last(size_t n)
    {
        const std::deque<ConsoleLine>& lines = Console().GetLines();
        std::vector<std::string> out;
        for (size_t i = lines.size() > n ? lines.size() - n : 0; i < lines.size(); ++i)
            out.push_back(lines[i].text);
        return out;
    }
    std::string Newest()
    {
        return Console().GetLines().empty() ? "" : Console().GetLines().back().text;
    }

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

    // The console alone, drawn over black in the engine's 2D set-up.
    TestImage Render()
    {
        return DrawIn2D(*engine, 0xFF000000, [&] { Console().Draw(); });
    }
};

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

TEST_F(ConsoleTest, BuiltInCommandsIgnoreTheirArguments)
{
    Key(VK_OEM_3); // the back-quote key itself is no character
    Type("`");
    ASSERT_TRUE(Console().IsShown());

    Enter("down now");
    EXPECT_FALSE(Console().IsShown());
    Console().Execute("up 1 2 3");
    EXPECT_TRUE(Console().IsShown());

    Enter("help");
    EXPECT_EQ(Last(7), HelpBlock({}));
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(Console().GetLines()[Console().GetLines().size() - 1 - i].colour, Help);
    Console().BindFunction("gravity", 3, 4);
    Console().BindFunction("say", 9, 7);
    Enter("help with anything");
    EXPECT_EQ(Last(9), HelpBlock({"#3: gravity(float)", "#9: say(string)"}));

    IDirect3DDevice9* device = engine->GetDevice();
    DWORD fill = 0;
    Enter("wire 1 2");
    device->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_WIREFRAME));
    Enter("solid");
    device->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_SOLID));

    Enter("texture");
    EXPECT_NE(std::find(Last(8).begin(), Last(8).end(), "=== Texture Pool Statistics ==="),
              Last(8).end());
    const size_t before = Console().GetLines().size();
    Enter("sound");
    EXPECT_NE(Newest(), "Invalid command: sound()");
    EXPECT_GE(Console().GetLines().size(), before);

    Enter("Help");
    EXPECT_EQ(Newest(), "Invalid command: Help()");
    EXPECT_EQ(Console().GetLines().back().colour, Invalid);
    EXPECT_TRUE(Calls().empty());

    EXPECT_FALSE(engine->IsQuitting());
    Enter("quit please");
    EXPECT_TRUE(engine->IsQuitting());
}

// A binding takes exactly its argument count; every binding of a name is
// called; two blanks make an empty middle argument; numbers truncate and
// stop at the limits instead of wrapping.
TEST_F(ConsoleTest, BindingsTakeExactlyTheirArgumentsAndEveryOneOfANameIsCalled)
{
    Console().BindFunction("pair", 2, 2);
    Console().BindFunction("triple", 3, 3);
    Console().BindFunction("scale", 6, 6);
    const int goTypes[] = {1, 1, 4, 0, 7};
    for (uint32_t id = 1; id <= 5; ++id)
        Console().BindFunction("go", id, goTypes[id - 1]);
    for (const char* refused : {"pair 1", "pair 1 2 3", "pair"})
        Console().Execute(refused);
    EXPECT_EQ(Last(3), (std::vector<std::string>{"Invalid command: pair(1)",
                                                 "Invalid command: pair(1 2 3)",
                                                 "Invalid command: pair()"}));
    EXPECT_TRUE(Calls().empty());
    const struct
    {
        const char* line;
        std::vector<std::string> calls;
    } table[] = {
        {"pair 7 8", {"ints 2 7 8 0"}},
        {"triple 1  2", {"ints 3 1 0 2"}},
        {"scale 0.5  -2", {"floats 6 0.5 0 -2"}},
        {"go 2.9", {"ints 1 2 0 0", "ints 2 2 0 0", "floats 3 2.9 0 0", "cmd 4", "text 5 [2.9]"}},
        {"go -2.9",
         {"ints 1 -2 0 0", "ints 2 -2 0 0", "floats 3 -2.9 0 0", "cmd 4", "text 5 [-2.9]"}},
        {"go", {"cmd 4"}},
    };
    for (const auto& row : table)
    {
        Calls().clear();
        Console().Execute(row.line);
        EXPECT_EQ(Calls(), row.calls) << row.line;
    }
    Calls().clear();
    Console().Execute("go 1e300");
    ASSERT_GE(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], "ints 1 2147483647 0 0");

    // Unbinding takes the first binding of the name, matched exactly.
    EXPECT_TRUE(Console().UnbindFunction("go"));
    EXPECT_EQ(Console().GetBindingCount(), 7u);
    EXPECT_FALSE(Console().UnbindFunction("Go"));
    Calls().clear();
    Console().Execute("go 1");
    EXPECT_EQ(Calls().front(), "ints 2 1 0 0");
}

TEST_F(ConsoleTest, ACommandLineEnteredWhileOneRunsWaits)
{
    // The line runs first and is cleared afterwards: while it runs the
    // input still holds it, a second Enter waits and keeps its line, and
    // the end of the first command clears whatever the input holds.
    Console().BindFunction("slow", 1, 0);
    std::string inputWhileRunning;
    Engine().onCommand = [&](uint32_t)
    {
        inputWhileRunning = Console().GetInput();
        Type("again");
        Key(VK_RETURN);
        EXPECT_EQ(Console().GetInput(), "slowagain");
    };
    Type("`");
    Enter("slow");
    EXPECT_EQ(inputWhileRunning, "slow");
    EXPECT_EQ(Newest(), "Please wait...");
    EXPECT_EQ(Console().GetLines().back().colour, 0xFFFFFFCEu);
    EXPECT_EQ(Console().GetInput(), "");
    EXPECT_EQ(Calls(), std::vector<std::string>{"cmd 1"});
}

TEST_F(ConsoleTest, InitKeepsLinesAndBindingsMadeBeforeIt)
{
    tavConsole early;
    early.Print("printed before Init", 0xFF00FF00);
    early.BindFunction("go", 1, 0);
    ASSERT_EQ(early.Init(engine.get(), 0xFF000000, 200, 96, 0.75f), S_OK);
    ASSERT_EQ(early.GetLines().size(), 1u);
    EXPECT_EQ(early.GetLines()[0].text, "printed before Init");
    EXPECT_EQ(early.GetBindingCount(), 1u);
    ASSERT_EQ(early.Init(engine.get(), 0xFF000000, 200, 96, 0.75f), S_OK);
    EXPECT_EQ(early.GetBindingCount(), 1u);
    early.Destroy();
    EXPECT_TRUE(early.GetLines().empty());
    EXPECT_EQ(early.GetBindingCount(), 0u);
}

TEST_F(ConsoleTest, KeysAndPasteOnlyReachTheConsoleWhileItIsShown)
{
    EXPECT_FALSE(Console().KeyInput('a', true));
    EXPECT_TRUE(Console().KeyInput(96, false)); // the activator as a key code too
    EXPECT_TRUE(Console().IsShown());
    EXPECT_TRUE(Console().KeyInput(96, true));
    EXPECT_FALSE(Console().IsShown());
    EXPECT_EQ(Console().GetInput(), "");

    Type("`");
    Type(std::string(61, 'k'));
    EXPECT_EQ(Console().GetInput(), std::string(60, 'k'));
    Key(VK_HOME);
    Key(VK_DELETE);
    Type("\x01\x1B");
    EXPECT_EQ(Console().GetInput(), std::string(59, 'k'));

    // Paste through the hot key goes in at the caret, cut to sixty characters.
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
    SendMessageA(engine->GetWindow(), WM_HOTKEY, TAV_HOTKEY_PASTE, 0);
    EXPECT_EQ(Console().GetInput(), "a" + std::string(59, 'p'));

    EXPECT_TRUE(Console().KeyInput(VK_LEFT, false));
    // Escape hides the console and is then passed on.
    EXPECT_FALSE(Console().KeyInput(VK_ESCAPE, false));
    EXPECT_FALSE(Console().IsShown());
}

TEST_F(ConsoleTest, ScrollBackKeepsTheNewestLinesAndPrintfCutsLongText)
{
    for (int i = 0; i < 250; ++i)
        Console().Printf(0xFFFFFFFF, "line %d", i);
    ASSERT_EQ(Console().GetLines().size(), 200u);
    EXPECT_EQ(Console().GetLines().front().text, "line 50");
    EXPECT_EQ(Console().GetLines().back().text, "line 249");

    // An empty line adds nothing but still makes room.
    Console().Print("", 0xFFFFFFFF);
    EXPECT_EQ(Console().GetLines().size(), 199u);

    const std::string longText(700, 'z');
    Console().Printf(0xFFFFFFFF, "%s", longText.c_str());
    EXPECT_EQ(Console().GetLines().back().text, std::string(511, 'z'));

    // Lines of any bytes are kept and drawn without harm.
    Console().Print("\x01\x02\t\r\n\x7F\xFF&&9&", 0xFFFFFFFF);
    Console().Toggle();
    Render();
    EXPECT_TRUE(Console().IsShown());
}

TEST_F(ConsoleTest, PanelCoversTheUpperHalf)
{
    Type("`");
    const TestImage image = Render();
    const int h = int(image.height), w = int(image.width);
    // White at three quarters of full strength over black, above the middle.
    const auto grey = [](uint32_t p)
    {
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r >= 188 && r <= 194 && r == g && g == b;
    };
    EXPECT_GT(image.Count(0, h / 4, w, h / 4 + 1, grey), w * 9 / 10);
    EXPECT_GT(image.Count(0, h / 2 - 2, w, h / 2 - 1, grey), w * 9 / 10);
    EXPECT_EQ(image.Count(0, h / 2 + 1, w, h, IsLit), 0);
}

TEST_F(ConsoleTest, PageUpShowsTheOldestTwelveLinesAndTheScrollPrompt)
{
    // An invisible panel, so that only text shows; line i in its own
    // colour: red at the oldest, blue at the newest.
    Console().Init(engine.get(), 0xFF000000, 200, 96, 0.0f);
    for (int i = 0; i < 13; ++i)
        Console().Print("WWWWWWWW", i == 0 ? 0xFFFF0000 : (i == 12 ? 0xFF0000FF : 0xFF00FF00));
    Type("`");
    const auto red = [](uint32_t p) { return IsRgb(p, 0xFF0000); };
    const auto blue = [](uint32_t p) { return IsRgb(p, 0x0000FF); };

    TestImage image = Render();
    const int w = int(image.width), h = int(image.height);
    EXPECT_EQ(image.Count(0, 0, w, h / 2, red), 0);
    EXPECT_GT(image.Count(0, 0, w, h / 2, blue), 0);
    EXPECT_EQ(Console().GetScrollOffset(), 0);

    Key(VK_PRIOR);
    EXPECT_EQ(Console().GetScrollOffset(), 1);
    image = Render();
    EXPECT_GT(image.Count(0, 0, w, 40, red), 0);
    EXPECT_EQ(image.Count(0, 0, w, h / 2, blue), 0);

    // The prompt is drawn as "^" now: compare with both glyphs drawn alone.
    tavFont& font = *Console().GetFont();
    const float h15 = font.LineHeight(1.5f);
    const auto promptOf = [&](const char* glyph)
    {
        tavTextRect r;
        return DrawIn2D(*engine, 0xFF000000,
                        [&] { font.DrawText(r, 0, 512 + h15, 0xFF00FF00, glyph); });
    };
    const int x1 = int(engine->ScaleX(38)), y0 = h - int(engine->ScaleY(512 + h15)) - 4,
              y1 = h - int(engine->ScaleY(512 + h15 - 30));
    const auto same = [&](const TestImage& a, const TestImage& b)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < x1; ++x)
                if (a.At(UINT(x), UINT(y)) != b.At(UINT(x), UINT(y))) return false;
        return true;
    };
    const TestImage caret = promptOf("^"), arrow = promptOf(">");
    ASSERT_FALSE(same(caret, arrow));
    image = Render();
    EXPECT_TRUE(same(image, caret));
    Key(VK_NEXT);
    image = Render();
    EXPECT_TRUE(same(image, arrow));
}

TEST_F(ConsoleTest, NotifyModeShowsOnlyTheLastThreeSeconds)
{
    Console().SetNotify(true);
    Console().Print("WWWW", 0xFFFFFFFF);
    TestImage image = Render();
    EXPECT_GT(image.Count(0, 0, 200, 40, IsLit), 0);
    EXPECT_EQ(image.Count(0, int(image.height) / 2, int(image.width), int(image.height), IsLit), 0);

    engine->SetFixedFrameTime(3.5);
    engine->FrameEnd();
    image = Render();
    EXPECT_EQ(image.Count(0, 0, int(image.width), int(image.height), IsLit), 0);
}

TEST_F(ConsoleTest, FullConsoleDrawsInTheFewestCalls)
{
    for (int i = 0; i < 14; ++i)
        Console().Print(std::string(60, char('A' + i)).c_str(), 0xFFFFFFB8);
    Type("`");
    Render(); // sizes the scroll range
    DrawCallCounter counter(engine->GetDevice());
    ASSERT_TRUE(counter.IsHooked());
    Render();
    // The panel, 12 lines in two batches each, the prompt and the caret.
    EXPECT_EQ(counter.Count(), 1 + 12 * 2 + 1 + 1);

    // Input before the caret and after it adds one call each.
    Type("say something");
    counter.Reset();
    Render();
    EXPECT_EQ(counter.Count(), 28);
    Key(VK_LEFT);
    counter.Reset();
    Render();
    EXPECT_EQ(counter.Count(), 29);
}
