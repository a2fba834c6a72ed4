#pragma once
// The settings record the program fills before TAV::Initialize, which reads
// it once and keeps no pointer to it. The strings must stay valid for that
// call; the engine keeps the caption and file-name pointers it stores.

#include <windows.h>

#include <cstdint>

struct tavSettings
{
    tavSettings();

    HWND window;               // host window, or null: the engine makes its own
    HINSTANCE instance;        // for the window class, icon, cursor and input
    const char* caption;       // window caption; also how a running copy is found
    const char* consoleTexture; // console background image, or null
    uint32_t iconResource;     // window icon resource id
    uint32_t consoleKey;       // character code that opens the console (96 = `)
    uint32_t consoleLines;     // console scroll-back size in lines
    uint32_t consoleColour;    // ARGB
    float consoleTransparency; // 0..1
    float cursorWidth;         // GUI cursor size in pixels
    float cursorHeight;
    const char* logFile;       // the HTML run log
    const char* configFile;    // the INI file; null means "./tav.cfg"
    const char* logTitle;      // title of the log page
    const char* cursorTexture; // GUI atlas with the cursor image, or null
    bool allowSecondCopy;      // false: stop when a window of ours with this caption exists
    bool useSound;
    bool reserved;             // not read by the engine
    bool useFader;
    bool updateCamera;         // run the camera's per-frame update
    bool useMusic;             // also create the music objects
};
