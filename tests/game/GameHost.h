#pragma once
// The game's test host: the engine started windowed in a private folder with
// a copy of the generated base/, the real GameScene as its first scene, and a
// loop the test owns. A pass pumps messages, runs TAV::Step at a fixed 1/60 s,
// updates the sound system and polls the held keys through the scene's own
// bindings. Sounds are told apart, as they start, by their buffer's size.

#include "GameScene.h"

#include "support/TestEngine.h"
#include "support/TestPixels.h"

#include <functional>
#include <string>
#include <vector>

class GameTest : public EngineTest
{
protected:
    void SetUp() override;
    void CopyContent(); // base/ into the test folder, its console and cursor set
    bool StartGame();   // true once a GameScene is ready
    GameScene* Scene() const { return static_cast<GameScene*>(engine->GetScene()); }

    bool Frame(); // one pass and the key poll; false once the engine quits
    void Frames(int count);
    // Passes until `done` holds (checked before each); false after `limit`.
    bool FramesUntil(const std::function<bool()>& done, int limit);
    bool Settle(int limit = 600); // until the chicken rests ten passes
    bool WaitForNewScene(tavScene* old, int limit = 1200);
    // Space held until the next game is queued, then passes until it is ready.
    bool RestartWithSpace();

    // DirectInput scan codes held from the next poll on.
    void Hold(uint8_t code) { keyboard.key[code] = 0x80; }
    void LetGo(uint8_t code) { keyboard.key[code] = 0; }

    void Place(const D3DXVECTOR3& at); // the chicken's body there, still
    float Heading() const;             // radians: 0 faces +z, positive turns to +x
    float Speed(int axis) const { return Scene()->GetPlayer().velocity[axis]; }

    bool StartedInLastPass(int handle) const;
    int StartedSinceLoad(int handle) const; // since the current game loaded

    // Draws only a 16-pixel corner, so long runs spend no time on the screen.
    void ClipPicture();
    // One more frame of the whole scene, read back from the back buffer.
    TestImage Picture();

private:
    void PollKeys();
    void WatchSounds();

    tavInputMap keys;
    tavScene* boundScene = nullptr;
    tavInputMap::tavKeyboardState keyboard = {};
    std::vector<IDirectSoundBuffer8*> seen;
    std::vector<int> started, startedAll;
};

bool CopyFolder(const std::string& from, const std::string& to);
// The names of the files in `folder` that match `pattern` ("*.x").
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern = "*");
