#pragma once
// The game's test host: the engine started windowed in a private folder that
// holds a copy of the generated base/, the real GameScene queued as the
// first scene, and a loop the test owns. Every pass pumps the window's
// messages, runs TAV::Step with a fixed frame time of 1/60 s, updates the
// sound system as the engine's own loop does, then polls the keys the test
// holds through the input rules (tavInputMap, with the scene's own
// bindings), which fire into GameScene::OnKey. Sounds are identified as they
// start by the size of their buffer.

#include "GameScene.h"

#include "support/TestEngine.h"
#include "support/TestPixels.h"

#include <functional>
#include <string>
#include <vector>

class GameTest : public EngineTest
{
protected:
    static constexpr double FrameSeconds = 1.0 / 60.0;

    void SetUp() override;

    // Copies the generated base/ into the test folder.
    void CopyContent();
    // Starts the engine and loads a GameScene; true once it is ready.
    bool StartGame();
    // The current scene (null while there is none).
    GameScene* Scene() const { return static_cast<GameScene*>(engine->GetScene()); }

    // One loop pass, then the key poll. False once the engine quits.
    bool Frame();
    void Frames(int count);
    // Passes until `done` holds (checked before each pass); false after
    // `limit` passes without it.
    bool FramesUntil(const std::function<bool()>& done, int limit);
    // Passes until the chicken rests (vertical speed under 1 for ten passes).
    bool Settle(int limit = 600);
    // Passes until a scene other than `old` is ready.
    bool WaitForNewScene(tavScene* old, int limit = 1200);
    // Space held through the key poll until the next game is queued, then
    // passes until it is ready; false when either does not happen.
    bool RestartWithSpace();

    // Keys (DirectInput scan codes) held down from the next poll on.
    void Hold(uint8_t code) { keyboard.key[code] = 0x80; }
    void LetGo(uint8_t code) { keyboard.key[code] = 0; }
    // Down for one poll, then up for the next.
    void Tap(uint8_t code);

    // Puts the chicken's body at `at`, still.
    void Place(const D3DXVECTOR3& at);
    tavRigidBody* ChickenBody() const;
    // The chicken's heading in radians: 0 faces +z, positive turns to +x.
    float Heading() const;
    float Speed(int axis) const { return Scene()->GetPlayer().velocity[axis]; }

    // Whether `handle` started in the last pass; how often it started
    // since the current game loaded.
    bool StartedInLastPass(int handle) const;
    int StartedSinceLoad(int handle) const;

    // Clips the picture to a 16-pixel corner, for tests that only play: a
    // long run then does not spend its time filling the screen.
    void ClipPicture();

    // One more frame of the whole scene drawn into the back buffer and read
    // back (clipped or not).
    TestImage Picture();

private:
    void PollKeys();
    void WatchSounds();
    int SoundOfBuffer(IDirectSoundBuffer8* buffer) const;

    tavInputMap keys;
    tavScene* boundScene = nullptr;
    tavInputMap::tavKeyboardState keyboard = {};
    std::vector<IDirectSoundBuffer8*> seen;
    std::vector<int> started;
    std::vector<int> startedAll;
};

// Copies a folder with everything in it; false when something failed.
bool CopyFolder(const std::string& from, const std::string& to);
// The names of the files in `folder` that match `pattern` ("*.x").
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern = "*");
