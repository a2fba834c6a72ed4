// The program entry: fills the settings, starts the engine and hands it the
// game scene. Always returns 0.
#include "Game.h"
#include "GameScene.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Game engine;
    tavSettings settings;
    settings.allowSecondCopy = false;
    settings.configFile = "./tav.cfg";
    settings.consoleTexture = "./base/console.tex";
    settings.cursorTexture = "./base/gui.tex";
    settings.instance = instance;
    settings.caption = "Gavo Beta";
    settings.logFile = "./output.html";

    if (SUCCEEDED(engine.Initialize(settings)))
        engine.Run(tavNewScene<GameScene>(&engine));
    return 0;
}
