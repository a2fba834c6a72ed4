#pragma once
// Walks the chicken along a level route by the game's own movement rules,
// to show that the level can be completed without teleporting:
// - W moves the chicken's position 200 units per second along its facing;
// - A and D turn it by the game's turn step (about 2 radians per second);
// - Space, when the vertical velocity is strictly between -11 and 1, sets
//   the velocity to 220 units per second straight up;
// - gravity is 100 units per second squared; the chicken is a sphere of
//   radius 10 that cannot pass through the level's triangles (contacts push
//   it out along the contact normal, with the game's small bounce and a
//   firm grip on the ground);
// - it drowns when the camera (70 units above it) sinks below the sea, and
//   wins when its centre comes within 15 units of the egg.
// Frames are 1/60 s. The checker is kinematic: a stand-in for the rigid-body
// library with the same rules, not that library.
// - friction 5: a contact takes up to five times its push from the motion
//   along the surface, so a chicken that walks into a wall while jumping
//   sticks to it instead of rising.

#include "LevelDesign.h"
#include "Vec3.h"

#include <string>
#include <vector>

namespace assetgen
{

struct RouteWalkResult
{
    bool reachedEgg = false;
    bool drowned = false;
    size_t stepsDone = 0; // route steps completed
    float seconds = 0.0f; // game time walked
    int jumps = 0;
    float largestMove = 0.0f; // the longest move in one frame
    Vec3 position;            // where the walk ended
    std::string failure;      // why it stopped short, or empty
};

class RouteWalker
{
public:
    // The level as triangles: three corners each, in any winding.
    explicit RouteWalker(const std::vector<Vec3>& corners);

    RouteWalkResult Walk(const Vec3& start, const std::vector<LevelRouteStep>& route,
                         const Vec3& egg, float secondsPerStep) const;

    // Height of the first surface below (x, y, z) within `reach`, or
    // -1e30 when there is none.
    float GroundBelow(float x, float y, float z, float reach) const;

    static constexpr float Radius = 10.0f;
    static constexpr float WalkSpeed = 200.0f;
    static constexpr float JumpSpeed = 220.0f;
    static constexpr float Gravity = 100.0f;
    static constexpr float FrameSeconds = 1.0f / 60.0f;
    static constexpr float EggTouch = 15.0f;
    static constexpr float Friction = 5.0f;

private:
    struct State;
    struct Keys;
    static Keys Steer(State& s, const LevelRouteStep& step);
    void Advance(State& s, const Keys& keys, RouteWalkResult& result) const;
    // Frames until the step's point is reached (true) or the walk ends.
    bool WalkStep(State& s, const LevelRouteStep& step, const Vec3& egg, float secondsPerStep,
                  RouteWalkResult& result) const;
    void Collide(State& s) const;
    // Pushes the chicken out of one triangle; false when they do not touch.
    static bool Touch(State& s, const Vec3& a, const Vec3& b, const Vec3& c);
    void Cells(float minX, float minZ, float maxX, float maxZ, std::vector<uint32_t>& out) const;

    std::vector<Vec3> corners;
    // A uniform grid over x and z: each cell lists the triangles whose
    // bounds reach into it.
    float originX = 0.0f, originZ = 0.0f;
    int columns = 0, rows = 0;
    std::vector<std::vector<uint32_t>> grid;
};

} // namespace assetgen
