// The console's life cycle, printing, keys and commands.
#include "console/tavConsole.h"

#include "console/tavFont.h"
#include "core/TAV.h"
#include "graphics/tavPrimitiveBuffer.h"
#include "util/tavText.h"

#include <new>

namespace
{
const uint32_t HelpColour = 0xFFFFFFB8;
const uint32_t WaitColour = 0xFFFFFFCE;
const uint32_t InvalidColour = 0xFFFFCCCC;
const int MaxInput = 60;

// Virtual-key codes the input line answers to.
enum : uint32_t
{
    KeyBackspace = 8,
    KeyEnter = 13,
    KeyEscape = 27,
    KeyPageUp = 33,
    KeyPageDown = 34,
    KeyEnd = 35,
    KeyHome = 36,
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40,
    KeyDelete = 46,
};

// `busy` holds for exactly the length of one command line, however it ends.
class BusyFlag
{
public:
    explicit BusyFlag(bool& flag) : flag(flag) { flag = true; }
    ~BusyFlag() { flag = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag;
};
} // namespace

tavConsole::tavConsole()
    : owner(nullptr), font(nullptr), maxLines(200), panelWidth(0), panelBottom(0), input(MaxInput),
      shown(false), activatorKey(96), heightFraction(0.5f), inputColour(0xFF000000), panel(nullptr),
      busy(false), notify(false), transparency(0.75f), scrollOffset(0), maxScroll(0),
      caretAlpha(50.0f), background(-1)
{
}

tavConsole::~tavConsole()
{
    Destroy();
}

HRESULT tavConsole::Init(TAV* o, uint32_t colour, uint32_t lineCount, uint32_t key, float alpha)
{
    // Lines printed and functions bound before Init stay; only a font and
    // panel of an earlier Init are let go, so a second call leaks nothing.
    delete panel;
    panel = nullptr;
    delete font;
    font = nullptr;
    owner = o;
    inputColour = colour;
    maxLines = lineCount;
    activatorKey = key;
    transparency = alpha;
    font = new (std::nothrow) tavFont(owner);
    if (font) font->Create("Verdana", 25, false, false, false);
    panel = new (std::nothrow) tavPrimitiveBuffer(owner);
    Restore();
    return S_OK;
}

void tavConsole::SetBackgroundTexture(int textureNumber)
{
    background = textureNumber;
    if (panel) panel->SetTexture(textureNumber);
}

void tavConsole::Restore()
{
    if (font) font->Restore();
    BuildPanel();
    shown = false;
}

void tavConsole::Invalidate()
{
    if (font) font->Invalidate();
    if (panel) panel->Release();
}

void tavConsole::Destroy()
{
    delete panel;
    panel = nullptr;
    delete font;
    font = nullptr;
    lines.clear();
    input.Clear();
    bindings.clear();
}

// ---- Printing --------------------------------------------------------------------

void tavConsole::Print(const char* text, uint32_t colour)
{
    if (maxLines > 0 && lines.size() >= maxLines && !lines.empty()) lines.pop_front();
    if (text && *text) lines.push_back({colour, text, owner ? owner->GetMilliseconds() : 0});
}

void tavConsole::Printf(uint32_t colour, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatBounded(512, format, args);
    va_end(args);
    Print(text.c_str(), colour);
}

// ---- Keys ------------------------------------------------------------------------

bool tavConsole::Toggle()
{
    shown = !shown;
    return shown;
}

bool tavConsole::KeyInput(uint32_t code, bool isCharacter)
{
    // 1. The activator is never typed.
    if (code == activatorKey)
    {
        shown = !shown;
        return true;
    }
    // 2.
    if (!shown) return false;
    // 3-4.
    if (isCharacter)
        input.Type(code);
    else
        EditKey(code);
    return shown;
}

void tavConsole::EditKey(uint32_t code)
{
    switch (code)
    {
    case KeyBackspace:
        input.Backspace();
        break;
    case KeyEnter:
        if (input.IsEmpty()) break;
        if (busy)
        {
            Print("Please wait...", WaitColour);
            break;
        }
        {
            // A copy: the command may edit the input line (a bound function
            // that pastes, say), and whatever it leaves there is cleared.
            const std::string line = input.Text();
            Execute(line);
            input.Clear();
        }
        break;
    case KeyEscape:
        shown = false;
        break;
    case KeyPageUp:
        scrollOffset = maxScroll;
        break;
    case KeyPageDown:
        scrollOffset = 0;
        break;
    case KeyEnd:
        input.End();
        break;
    case KeyHome:
        input.Home();
        break;
    case KeyLeft:
        input.Left();
        break;
    case KeyRight:
        input.Right();
        break;
    case KeyUp:
        if (scrollOffset < maxScroll) ++scrollOffset;
        break;
    case KeyDown:
        if (scrollOffset > 0) --scrollOffset;
        break;
    case KeyDelete:
        input.Delete();
        break;
    default:
        break;
    }
}

void tavConsole::Paste(const std::string& text)
{
    input.Paste(text);
}

// ---- Commands --------------------------------------------------------------------

void tavConsole::Execute(const std::string& line)
{
    BusyFlag running(busy);
    const tavCommandLine command(line);
    if (RunBuiltIn(command.Command()) || CallBound(command.Command(), command.Arguments())) return;
    Printf(InvalidColour, "Invalid command: %s(%s)", command.Command().c_str(),
           command.Arguments().c_str());
}

// The eight built-in commands ignore their arguments.
bool tavConsole::RunBuiltIn(const std::string& command)
{
    IDirect3DDevice9* device = owner ? owner->GetDevice() : nullptr;
    if (command == "down")
        shown = false;
    else if (command == "up")
        shown = true;
    else if (command == "help")
        ShowInfo();
    else if (command == "quit")
    {
        if (owner) owner->Quit();
    }
    else if (command == "texture")
    {
        if (owner) owner->ReportTexturePool();
    }
    else if (command == "sound")
    {
        if (owner) owner->ReportStatistics(owner);
    }
    else if (command == "wire")
    {
        if (device) device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    }
    else if (command == "solid")
    {
        if (device) device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    }
    else
        return false;
    return true;
}

void tavConsole::BindFunction(const std::string& name, uint32_t id, uint32_t type)
{
    bindings.push_back({type, name, id});
}

bool tavConsole::UnbindFunction(const std::string& name)
{
    for (auto it = bindings.begin(); it != bindings.end(); ++it)
    {
        if (it->name == name)
        {
            bindings.erase(it);
            return true;
        }
    }
    return false;
}

bool tavConsole::CallBound(const std::string& name, const std::string& argumentText)
{
    // 1-3.
    if (bindings.empty()) return false;
    const int count = tavCommandLine::CountArguments(argumentText);
    const std::vector<double> values = tavCommandLine::ParseArguments(argumentText);

    // 4. Every binding of the name, in order. A callback may bind or unbind:
    // walk by index and call a copy.
    bool called = false;
    for (size_t i = 0; i < bindings.size(); ++i)
    {
        const BoundFunction binding = bindings[i];
        if (binding.name != name || !tavCommandLine::Accepts(binding.type, count, argumentText))
            continue;
        CallBinding(binding, values, argumentText);
        called = true;
    }
    return called;
}

void tavConsole::CallBinding(const BoundFunction& b, const std::vector<double>& values,
                             const std::string& argumentText)
{
    if (!owner) return;
    auto value = [&values](size_t i) { return i < values.size() ? values[i] : 0.0; };
    if (b.type == 0)
        owner->OnCommand(b.id);
    else if (b.type <= 3)
    {
        int a[3] = {0, 0, 0};
        for (uint32_t i = 0; i < b.type; ++i)
            a[i] = tavCommandLine::ToInt(value(i));
        owner->OnCommandInts(b.id, a[0], a[1], a[2]);
    }
    else if (b.type <= 6)
    {
        float f[3] = {0, 0, 0};
        for (uint32_t i = 0; i < b.type - 3; ++i)
            f[i] = tavCommandLine::ToFloat(value(i));
        owner->OnCommandFloats(b.id, f[0], f[1], f[2]);
    }
    else
        owner->OnCommandText(b.id, argumentText);
}

void tavConsole::ShowInfo()
{
    Print("=== TAVConsole Information ===", HelpColour);
    Printf(HelpColour, "Console size: %d bytes", int(sizeof(tavConsole)));
    Print("up/down: Make the console go up and down.", HelpColour);
    Print("quit: Quit the game.", HelpColour);
    Print("texture: Report texture pool information.", HelpColour);
    Print("sound: Report DirectSound information.", HelpColour);
    Printf(HelpColour, "Number of bound functions: %d", int(bindings.size()));
    for (const BoundFunction& b : bindings)
        Printf(HelpColour, "#%d: %s(%s)", int(b.id), b.name.c_str(),
               tavCommandLine::Signature(b.type));
}
