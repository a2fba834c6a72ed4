#include "core/tavSettings.h"

tavSettings::tavSettings()
    : window(nullptr), instance(nullptr), caption("TAV Application"), consoleTexture(nullptr),
      iconResource(0), consoleKey(96), consoleLines(200), consoleColour(0xFF000000),
      consoleTransparency(0.75f), cursorWidth(50.0f), cursorHeight(50.0f), logFile("./output.html"),
      configFile("./tav.cfg"), logTitle("Error Log"), cursorTexture(nullptr), allowSecondCopy(false),
      useSound(true), reserved(true), useFader(true), updateCamera(true), useMusic(false)
{
}
