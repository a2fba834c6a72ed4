#pragma once
// The level: islands, stone platforms on pillars, plank ramps and bridges,
// stepping stones and stairs floating over the sea, from the chicken's
// start at (0, 60, 0) up to the egg at (6254, 1264, 7081), with three wrong
// turns (a lookout island, a watchtower, stepping stones that stop short).
// The same triangles are drawn and collided with, so every solid is closed,
// wound outward and free of slivers.
//
// Route() is the way through, as the player would take it: walk to a point,
// or jump towards one. The tests walk it with the game's movement rules.

#include "Mesh.h"

#include <vector>

namespace assetgen
{

struct LevelRouteStep
{
    enum Kind
    {
        Walk, // walk until the chicken is over (x, z)
        Jump  // face (x, z), jump while walking, walk on until over it
    };
    Kind kind;
    float x, z;
};

class LevelDesign
{
public:
    static Mesh Build();
    static std::vector<LevelRouteStep> Route();

    static const Vec3 Start;       // the chicken's centre at the start
    static const Vec3 EggPosition; // the egg's centre
    static constexpr float StartFloor = 48.0f;
    static constexpr float EggFloor = 1254.0f;

    enum Material : uint32_t
    {
        Grass,
        Rock,
        Planks,
        Flagstone,
        Wall,
        GoldTile,
        Bark,
        Leaves,
        MaterialCount
    };
};

} // namespace assetgen
