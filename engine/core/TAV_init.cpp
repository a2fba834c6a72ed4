// TAV::Initialize: the start-up phases, in order, each under its guard.
#include "core/TAV.h"

#include "console/tavFader.h"

#include <stdexcept>

namespace
{
const char* const MainWindowClass = "TAVMainWindow";
}

HRESULT TAV::Initialize(const tavSettings& settings)
{
    // 1. A copy of this program already runs: hand it the focus, log nothing.
    const char* caption = settings.caption ? settings.caption : "";
    HWND existing = FindWindowA(MainWindowClass, caption);
    if (existing && !settings.allowSecondCopy)
    {
        SetForegroundWindow(existing);
        return E_FAIL;
    }

    // 2. The log (never truncating a running copy's page).
    logPath = settings.logFile ? settings.logFile : "";
    SetPath(logPath.c_str());
    if (!existing)
        Open(settings.logTitle ? settings.logTitle : "", true);
    Banner("Initialization Phase");

    // 3. Settings the engine keeps.
    updateCamera = settings.updateCamera;
    BeginSection("TAV::Initialize()");
    if (settings.window)
    {
        window = settings.window;
        WriteValue("Given Window: ", static_cast<const void*>(window));
    }
    iconResource = settings.iconResource;
    WriteValue("Icon Resource: ", iconResource);
    WriteValue("Show FPS: ", showFPS);

    // 4. Configuration file and performance counter.
    if (FAILED(InitConfigPhase(settings)))
        return E_FAIL;

    // 5. What happened last time decides whether we run at all.
    if (FAILED(CheckRunState()))
    {
        Write("<font color=\"red\">Failed run state check.</font>");
        EndSection();
        return E_FAIL;
    }

    // 6. Window and device.
    if (FAILED(InitDirectXPhase(settings)))
        return E_FAIL;

    // 7. System hot keys.
    RegisterHotKeys();

    // 8. Console, fader, GUI and sound.
    if (FAILED(InitServicesPhase(settings)))
        return E_FAIL;

    // 9. Camera projection.
    SetProjection(1.0f, 1000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);

    // 10. The application's own start-up.
    return InitGamePhase();
}

HRESULT TAV::InitConfigPhase(const tavSettings& settings)
{
    try
    {
        configPath = settings.configFile ? settings.configFile : "./tav.cfg";
        SetFile(configPath.c_str());
        WriteValue("Performance Counter Frequency: ", int64_t(GetFrequency()));
        immediatePresent = GetInt("TAV", "VSync", 0) == 0;
        return S_OK;
    }
    catch (const std::exception& e)
    {
        Write("Config File and Performance Counter Initialization raised an exception.");
        WriteException(e);
        EndSection();
        runState = 2;
        return E_FAIL;
    }
}

HRESULT TAV::InitDirectXPhase(const tavSettings& settings)
{
    try
    {
        if (SUCCEEDED(InitDirectX(settings.instance, settings.caption)))
            return S_OK;
        Write("<font color=\"red\">DirectX Initialize has failed!</font>");
    }
    catch (const std::exception& e)
    {
        Write("DirectX Initialization raised an exception.");
        WriteException(e);
    }
    catch (...)
    {
        Write("DirectX Initialization raised an exception.");
    }
    runState = 2;
    EndSection();
    return E_FAIL;
}

void TAV::RegisterHotKeys()
{
    RegisterHotKey(window, TAV_HOTKEY_QUIT, MOD_ALT, VK_F4);
    RegisterHotKey(window, TAV_HOTKEY_PASTE, MOD_CONTROL, 'V');
    RegisterHotKey(window, TAV_HOTKEY_SCREENSHOT, 0, VK_SNAPSHOT);
    RegisterHotKey(window, TAV_HOTKEY_TOGGLE, MOD_ALT, VK_RETURN);
    hotKeysRegistered = true;
}

HRESULT TAV::InitServicesPhase(const tavSettings& settings)
{
    try
    {
        InitConsole(settings);
        InitFader(settings);
        InitGUI(settings);
        InitSound(settings);
        return S_OK;
    }
    catch (const std::exception& e)
    {
        Write("Console and DirectAudio Initialization raised an exception.");
        WriteException(e);
    }
    catch (...)
    {
        Write("Console, DirectSound, Fader Initialization raised a generic exception.");
    }
    runState = 2;
    EndSection();
    return E_FAIL;
}

void TAV::InitConsole(const tavSettings& s)
{
    tavConsole::Init(this, s.consoleColour, s.consoleLines, s.consoleKey, s.consoleTransparency);
    const int texture = s.consoleTexture ? LoadTexture(s.consoleTexture) : -1;
    SetBackgroundTexture(texture);
    BeginSection("Console Successfully Created");
    WriteValue("Scrollback Buffer Size: ", s.consoleLines);
    WriteValue("Activator Key: ", s.consoleKey);
    WriteValue("Transparency: ", double(s.consoleTransparency));
    WriteValue("Background Texture Index: ", int32_t(texture));
    if (s.consoleTexture)
        WriteValue("Background Texture Filename", s.consoleTexture);
    EndSection();
}

void TAV::InitFader(const tavSettings& s)
{
    fader = nullptr;
    if (!s.useFader)
        return;
    void* memory = Alloc(sizeof(tavFader));
    tavFader* created = memory ? new (memory) tavFader(this) : nullptr;
    if (created && created->IsValid())
    {
        fader = created;
        Write("Fader created");
        return;
    }
    if (created)
    {
        created->Destroy();
        created->~tavFader();
    }
    Free(memory);
    Write("<font color=\"red\">Fader Init failed</font>");
}

void TAV::InitGUI(const tavSettings& s)
{
    const float guiSetting = GetFloat("TAV", "GUI", 5.0f);
    const int texture = s.cursorTexture ? LoadTexture(s.cursorTexture) : -1;
    tavGUI::Init(this, guiSetting, s.cursorWidth, s.cursorHeight, texture);
    BeginSection("GUI Created");
    WriteValue("Cursor Width: ", double(s.cursorWidth));
    WriteValue("Cursor Height: ", double(s.cursorHeight));
    if (s.cursorTexture)
        WriteValue("Cursor Filename: ", s.cursorTexture);
    EndSection();
}

void TAV::InitSound(const tavSettings& s)
{
    if (!s.useSound)
        return;
    const bool hardware = GetBool("TAV", "HWSound", false);
    int channels = GetInt("TAV", "Channels", 32);
    if (channels < 0)
    {
        // As an unsigned count it would mean "no limit at all".
        Write("<font color=\"red\">\"Channels\" is negative; using 32.</font>");
        channels = 32;
    }
    if (SUCCEEDED(tavDSound::Init(this, uint32_t(channels), hardware, s.useMusic)))
    {
        Write("Initialized Sound Subsystem");
        SetMusicEnabled(GetBool("TAV", "Music", true));
        SetSoundEnabled(GetBool("TAV", "Sound", true));
    }
    else
    {
        Write("<font color=\"red\">Sound Init Failed!</font>");
    }
}

HRESULT TAV::InitGamePhase()
{
    try
    {
        BeginSection("Game::Initialize");
        if (FAILED(GameInitialize()))
        {
            Write("Game Initialization Failed!");
            EndSection();
            EndSection();
            runState = 2;
            return E_FAIL;
        }
        EndSection();
        EndSection();
        Banner("TAV Successfully Initialized, Let's Go!");
        return S_OK;
    }
    catch (const std::exception& e)
    {
        Write("Game initialization raised an exception.");
        WriteException(e);
    }
    catch (...)
    {
        Write("Caught generic game initialization exception.");
    }
    // Both the game's section and TAV::Initialize() are open here.
    EndSection();
    EndSection();
    runState = 2;
    return E_FAIL;
}
