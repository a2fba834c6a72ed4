// The main window: its class and creation, the window procedure glue, the
// engine's message handling and the clipboard.
#include "core/TAV.h"

namespace
{
const char* const MainWindowClass = "TAVMainWindow";

// The engine object the main window's messages go to; set by the create
// message (the engine passes itself as the creation parameter).
TAV* windowOwner = nullptr;
} // namespace

LRESULT CALLBACK TavWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!windowOwner && message == WM_CREATE)
    {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        windowOwner = static_cast<TAV*>(create->lpCreateParams);
        if (windowOwner)
            windowOwner->AdoptWindow(hwnd);
    }
    if (windowOwner)
        return windowOwner->HandleMessage(message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TAV::AdoptWindow(HWND hwnd)
{
    if (!window)
        window = hwnd;
}

void TAV::ForgetWindowOwner()
{
    if (windowOwner == this)
        windowOwner = nullptr;
}

HWND TAV::MakeWindow(HINSTANCE inst, const char* caption, bool full)
{
    BeginSection("MakeD3DWindow()");
    WNDCLASSA wc = {};
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = TavWindowProcedure;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(iconResource));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = MainWindowClass;
    WriteValue("Window Caption ", caption);
    if (RegisterClassA(&wc))
        WriteValue("Successfully registered the class ", MainWindowClass);
    else
        WriteValue("<font color=\"red\">Failed</font> to register class ", MainWindowClass);

    const DWORD style = full ? 0 : (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    HWND created = CreateWindowExA(0, MainWindowClass, caption, style, 0, 0, full ? 800 : 640,
                                   full ? 600 : 480, nullptr, nullptr, inst, this);
    if (created)
    {
        WriteValue("Created window successfully with handle ", static_cast<const void*>(created));
        UpdateWindow(created);
        ShowCursor(FALSE);
    }
    else
    {
        Write("<font color=\"red\">Failed to CreateWindow().</font>");
    }
    EndSection();
    return created;
}

LRESULT TAV::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TAV::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
        quit = true;
        return 0;

    case WM_MOVE:
    {
        RECT r;
        if (window && GetWindowRect(window, &r))
        {
            centreX = float(r.left + (r.right - r.left) / 2);
            centreY = float(r.top + (r.bottom - r.top) / 2);
        }
        else
        {
            centreX = width * 0.5f;
            centreY = height * 0.5f;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    case WM_ACTIVATEAPP:
        if (wParam)
        {
            active = true;
            AcquireAll();
        }
        else
        {
            active = false;
            SetPaused(true);
        }
        return 0;

    case WM_KEYDOWN:
    case WM_CHAR:
    {
        const bool isCharacter = message == WM_CHAR;
        if (!tavConsole::KeyInput(uint32_t(wParam), isCharacter))
            tavGUI::KeyInput(uint32_t(wParam), isCharacter);
        return 0;
    }

    case WM_LBUTTONUP:
        tavGUI::OnClick();
        return 0;

    case WM_HOTKEY:
        switch (int(wParam))
        {
        case TAV_HOTKEY_QUIT:
            quit = true;
            break;
        case TAV_HOTKEY_PASTE:
            if (IsShown())
                tavConsole::Paste(GetClipboardText());
            else
                tavGUI::Paste(GetClipboardText());
            break;
        case TAV_HOTKEY_SCREENSHOT:
            Screenshot();
            break;
        default:
            break; // Alt+Enter: registered so the system leaves it alone
        }
        return 0;

    default:
        return WindowProc(message, wParam, lParam);
    }
}

std::string TAV::GetClipboardText() const
{
    std::string text;
    if (!IsClipboardFormatAvailable(CF_TEXT))
        return text;
    if (!OpenClipboard(window))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT))
    {
        if (const char* chars = static_cast<const char*>(GlobalLock(data)))
        {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}
