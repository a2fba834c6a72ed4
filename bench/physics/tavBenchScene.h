#pragma once
// The benchmark's scene, the same for every engine measured: the level, the
// chicken (a sphere of kind 0, diameter 20, mass 5) and bursts of blood drops
// thrown as the game throws them (diameter 20, mass 1, impulse and spin at
// random), stepped at 60 frames per second for ten seconds.

#include "physics/rigid/tavRigidMath.h"
#include "tavTestMesh.h"

#include <cstdint>
#include <vector>

struct tavBenchScene
{
    static constexpr float Frame = 1.0f / 60.0f;
    static const int Frames = 600;

    struct Drop
    {
        tavVec3 position, impulse, spin;
    };

    std::vector<float> vertices; // x, y, z
    std::vector<int32_t> indices;
    tavVec3 chicken;
    std::vector<Drop> drops;

    // `drops` balls in bursts of fifty on platforms of the level; the first
    // burst is the game's, at the egg.
    explicit tavBenchScene(int drops);
};

// One engine stepping the scene.
class tavBenchWorld
{
public:
    virtual ~tavBenchWorld() {}
    // One frame as the game does it: keep the chicken upright, then step.
    virtual void Frame() = 0;
    // Where body i (0 the chicken, then the drops) is now.
    virtual tavVec3 Position(int i) const = 0;
};

tavBenchWorld* MakeOurWorld(const tavBenchScene& scene);
tavBenchWorld* MakeBulletWorld(const tavBenchScene& scene);
