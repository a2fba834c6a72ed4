#pragma once
// The game: a chicken steered over a level floating in an endless sea.
// W and S walk it, A and D turn it, Space jumps; walking into the spinning
// egg bursts it into fifty drops of blood, falling into the sea drowns it.
// Either ends the game with "Game Over! Press Space!"; Space then queues a
// fresh GameScene and Escape quits.
//
// Loading (GameScene.cpp) runs on the engine's loading thread with the frame
// lock held; the rules (GameScene_rules.cpp) and the drawing
// (GameScene_draw.cpp) run on the main thread inside the frame. Everything
// the scene owns is released by Destroy: the engine frees scenes without
// running their destructors.

#include "ChickenModel.h"
#include "GameObjectState.h"

#include "core/TAV.h"
#include "graphics/tavFrameAnimator.h"
#include "graphics/tavMeshModel.h"
#include "graphics/tavOscillator.h"
#include "graphics/tavPrimitiveBuffer.h"
#include "graphics/tavSkyBox.h"
#include "physics/tavPhysics.h"

#include <cstdint>
#include <string>

class GameScene : public tavScene
{
public:
    // The scene's action numbers, bound to keys while it loads.
    enum Action : uint32_t
    {
        ActionForward = 0,   // W
        ActionBackward = 1,  // S
        ActionTurnLeft = 2,  // A
        ActionTurnRight = 3, // D
        ActionJump = 10,     // Space: jump, or a new game after a loss
        ActionNothing = 11,  // E: bound, does nothing
        ActionQuit = 1000,   // Escape
    };

    static const int CausticFrames = 32;
    static const int IdleSounds = 5;
    static const int BloodDrops = 50;
    // Walking speed along the facing, units per second.
    static constexpr float WalkSpeed = 200.0f;
    // Closer than this to the egg and the chicken bursts.
    static constexpr float EggTouch = 15.0f;
    static constexpr float BloodScale = 170.0f;

    // Fields at their defaults; the egg at (6254, 1264, 7081); the first
    // idle cluck due 300 to 750 ms from now.
    explicit GameScene(TAV* engine);

    // Loads everything the game shows, plays and collides with. A file that
    // fails to load leaves its object empty (with a log line); the game
    // starts with whatever loaded, so this always returns 0.
    HRESULT Initialize() override;
    // The rules of one frame, then the picture.
    HRESULT Render() override;
    // Releases the meshes, the sky, the sea and the physics world; the
    // textures and sounds stay in the engine's pools. Safe twice and on a
    // scene that never loaded.
    HRESULT Destroy() override;
    void OnKey(uint32_t action, int32_t state) override;

    // ---- Looking in (tests, tools) ----
    bool IsAlive() const { return alive; }
    const GameObjectState& GetPlayer() const { return player; }
    // Tests move the egg to stage a touch anywhere.
    GameObjectState& GetEgg() { return egg; }
    tavPhysics& GetPhysics() { return physics; }
    ChickenModel* GetChicken() const { return chicken; }
    tavMeshModel* GetLevel() const { return level; }
    tavMeshModel* GetEggMesh() const { return eggMesh; }
    tavMeshModel* GetBloodMesh() const { return bloodMesh; }
    tavSkyBox* GetSky() const { return sky; }
    tavPrimitiveBuffer* GetWater() const { return water; }
    const tavFrameAnimator& GetCaustics() const { return caustics; }
    int GetSplashSound() const { return sndSplash; }
    int GetJumpedSound() const { return sndJumped; }
    int GetIdleSound(int i) const { return i >= 0 && i < IdleSounds ? sndIdle[i] : -1; }
    int GetPopSound() const { return sndPop; }
    uint32_t GetNextIdleTime() const { return nextIdleTime; }

private:
    // Loading steps (GameScene.cpp).
    void BindKeys();
    // A red line on the console naming what failed, and in the log unless
    // the loader `logged` it already.
    void ReportFailure(const char* what, const std::string& path, bool logged = false);
    tavMeshModel* LoadMesh(tavMeshModel* model, const char* file, const char* folder);
    void CreateWorld();
    void AddLevelToWorld();
    void CreateSea();
    void LoadCaustics();
    void SetUpCausticStage();
    void LoadSounds();
    int LoadSound(const char* path, int32_t priority);
    int LoadTexture(const char* path);

    // Rules (GameScene_rules.cpp).
    void PlayIdleSound(uint32_t now);
    void KeepUpright();
    void FollowChicken();
    void EyeBehind(const D3DXVECTOR3& position, const D3DXQUATERNION& orientation,
                   D3DXVECTOR3& eye) const;
    void Burst();
    void Walk(float speed, int32_t state);
    void Turn(float sign);
    void Jump(int32_t state);
    void Restart();

    // Drawing (GameScene_draw.cpp).
    HRESULT DrawFrame(float seconds);
    void DrawEgg(float seconds);
    void SetSun();
    void DrawSea(float seconds);
    void DrawBlood();
    void DrawGameOver();

    TAV* engine;
    tavMeshModel* level;
    tavMeshModel* eggMesh;
    tavMeshModel* bloodMesh;
    ChickenModel* chicken;
    tavPhysics physics;
    tavSkyBox* sky;
    tavPrimitiveBuffer* water;
    GameObjectState player;
    GameObjectState egg;
    tavOscillator waterBob;
    tavOscillator waterSwirl;
    tavFrameAnimator caustics;
    int sndSplash;
    int sndJumped;
    int sndIdle[IdleSounds];
    int sndPop;
    uint32_t nextIdleTime; // engine clock, ms
    bool alive;
};
