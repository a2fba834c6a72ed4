#include "RouteWalker.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
const float CellSize = 250.0f;
const float Pi = 3.14159265f;

// Closest point of triangle (a, b, c) to p (Ericson, Real-Time Collision
// Detection, 5.1.5).
Vec3 ClosestOnTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 ab = b - a, ac = c - a, ap = p - a;
    const float d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0.0f && d2 <= 0.0f) return a;
    const Vec3 bp = p - b;
    const float d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0.0f && d4 <= d3) return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) return a + ab * (d1 / (d1 - d3));
    const Vec3 cp = p - c;
    const float d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0.0f && d5 <= d6) return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) return a + ac * (d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.0f && (d4 - d3) >= 0.0f && (d5 - d6) >= 0.0f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denom = 1.0f / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

float Wrap(float angle)
{
    while (angle > Pi)
        angle -= 2.0f * Pi;
    while (angle < -Pi)
        angle += 2.0f * Pi;
    return angle;
}
} // namespace

struct RouteWalker::State
{
    Vec3 position;
    Vec3 velocity;
    float yaw = 0.0f; // facing (sin yaw, 0, cos yaw): 0 is +z, as at the start
    bool grounded = false;
    bool aimed = false;  // this route step's target was faced squarely
    bool jumped = false; // this route step's jump is done (or it has none)
};

struct RouteWalker::Keys
{
    float turn = 0.0f; // radians this frame
    bool walk = false;
    bool jump = false;
};

RouteWalker::RouteWalker(const std::vector<Vec3>& triangleCorners) : corners(triangleCorners)
{
    if (corners.empty()) return;
    float minX = corners[0].x, maxX = minX, minZ = corners[0].z, maxZ = minZ;
    for (const Vec3& p : corners)
    {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z);
        maxZ = std::max(maxZ, p.z);
    }
    originX = minX - CellSize;
    originZ = minZ - CellSize;
    columns = int((maxX - originX) / CellSize) + 2;
    rows = int((maxZ - originZ) / CellSize) + 2;
    grid.resize(size_t(columns) * size_t(rows));
    for (uint32_t t = 0; t + 2 < corners.size(); t += 3)
    {
        const Vec3 &a = corners[t], &b = corners[t + 1], &c = corners[t + 2];
        std::vector<uint32_t> cells;
        Cells(std::min({a.x, b.x, c.x}), std::min({a.z, b.z, c.z}), std::max({a.x, b.x, c.x}),
              std::max({a.z, b.z, c.z}), cells);
        for (uint32_t cell : cells)
            grid[cell].push_back(t);
    }
}

void RouteWalker::Cells(float minX, float minZ, float maxX, float maxZ,
                        std::vector<uint32_t>& out) const
{
    const int x0 = std::clamp(int((minX - originX) / CellSize), 0, columns - 1);
    const int x1 = std::clamp(int((maxX - originX) / CellSize), 0, columns - 1);
    const int z0 = std::clamp(int((minZ - originZ) / CellSize), 0, rows - 1);
    const int z1 = std::clamp(int((maxZ - originZ) / CellSize), 0, rows - 1);
    for (int z = z0; z <= z1; ++z)
        for (int x = x0; x <= x1; ++x)
            out.push_back(uint32_t(z * columns + x));
}

void RouteWalker::Collide(State& s) const
{
    s.grounded = false;
    std::vector<uint32_t> cells;
    for (int pass = 0; pass < 4; ++pass)
    {
        cells.clear();
        Cells(s.position.x - Radius, s.position.z - Radius, s.position.x + Radius,
              s.position.z + Radius, cells);
        bool moved = false;
        for (uint32_t cell : cells)
            for (uint32_t t : grid[cell])
                moved = Touch(s, corners[t], corners[t + 1], corners[t + 2]) || moved;
        if (!moved) break;
    }
}

bool RouteWalker::Touch(State& s, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 d = s.position - ClosestOnTriangle(s.position, a, b, c);
    const float distance = Length(d);
    if (distance >= Radius || distance < 1e-6f) return false;
    const Vec3 n = d * (1.0f / distance);
    const float depth = Radius - distance;
    s.position += n * depth;
    // The contact's push: the speed into the surface plus the overlap it had
    // to undo this frame (a walk step into a wall is a hard push).
    const float into = Dot(s.velocity, n);
    const float push = std::max(0.0f, -into) + depth / FrameSeconds;
    if (into < 0.0f) s.velocity = s.velocity - n * (into * 1.1f); // restitution 0.1
    // Friction takes up to five times the push from the motion along the
    // surface: the ground holds the chicken still, and a wall it walks into
    // holds it from sliding up or down.
    const Vec3 along = s.velocity - n * Dot(s.velocity, n);
    const float slide = Length(along);
    if (slide > 0.0f) s.velocity = s.velocity - along * (std::min(slide, Friction * push) / slide);
    if (n.y > 0.5f) s.grounded = true;
    return true;
}

float RouteWalker::GroundBelow(float x, float y, float z, float reach) const
{
    float best = -1e30f;
    std::vector<uint32_t> cells;
    Cells(x, z, x, z, cells);
    for (uint32_t cell : cells)
        for (uint32_t t : grid[cell])
        {
            // Vertical ray against the triangle.
            const Vec3 &a = corners[t], &b = corners[t + 1], &c = corners[t + 2];
            const float det = (b.z - c.z) * (a.x - c.x) + (c.x - b.x) * (a.z - c.z);
            if (std::fabs(det) < 1e-6f) continue;
            const float l1 = ((b.z - c.z) * (x - c.x) + (c.x - b.x) * (z - c.z)) / det;
            const float l2 = ((c.z - a.z) * (x - c.x) + (a.x - c.x) * (z - c.z)) / det;
            const float l3 = 1.0f - l1 - l2;
            if (l1 < 0.0f || l2 < 0.0f || l3 < 0.0f) continue;
            const float h = a.y * l1 + b.y * l2 + c.y * l3;
            if (h <= y && h >= y - reach) best = std::max(best, h);
        }
    return best;
}

// The keys of one frame for `step`: turn towards its point; walk when
// facing it; a jump waits until the chicken faces its target squarely.
RouteWalker::Keys RouteWalker::Steer(State& s, const LevelRouteStep& step)
{
    static const float TurnStep = 2.0f * std::atan(FrameSeconds); // the game's A/D step
    const float dx = step.x - s.position.x, dz = step.z - s.position.z;
    const float error = Wrap(std::atan2(dx, dz) - s.yaw);
    Keys keys;
    keys.turn = std::clamp(error, -TurnStep, TurnStep);
    s.aimed = s.aimed || std::fabs(error) < 0.03f;
    keys.jump = !s.jumped && s.aimed;
    keys.walk = std::hypot(dx, dz) >= 10.0f && std::fabs(error) < 0.3f && (s.jumped || s.aimed);
    return keys;
}

// One frame: the keys as the game's key handler applies them, then the
// physics step.
void RouteWalker::Advance(State& s, const Keys& keys, RouteWalkResult& result) const
{
    const Vec3 before = s.position;
    s.yaw = Wrap(s.yaw + keys.turn);
    if (keys.jump && s.velocity.y > -11.0f && s.velocity.y < 1.0f)
    {
        s.velocity = Vec3(0.0f, JumpSpeed, 0.0f);
        s.jumped = true;
        ++result.jumps;
    }
    if (keys.walk)
        s.position += Vec3(std::sin(s.yaw), 0.0f, std::cos(s.yaw)) * (WalkSpeed * FrameSeconds);
    // The game keeps only the vertical velocity.
    s.velocity.x = s.velocity.z = 0.0f;
    s.velocity.y -= Gravity * FrameSeconds;
    s.position += s.velocity * FrameSeconds;
    Collide(s);
    result.largestMove = std::max(result.largestMove, Length(s.position - before));
    result.seconds += FrameSeconds;
}

bool RouteWalker::WalkStep(State& s, const LevelRouteStep& step, const Vec3& egg,
                           float secondsPerStep, RouteWalkResult& result) const
{
    s.jumped = step.kind != LevelRouteStep::Jump;
    s.aimed = false;
    const std::string which = std::to_string(result.stepsDone + 1);
    for (float spent = 0.0f;; spent += FrameSeconds)
    {
        const float distance = std::hypot(step.x - s.position.x, step.z - s.position.z);
        if (s.jumped && distance < 10.0f && s.grounded) return true;
        if (spent > secondsPerStep)
        {
            result.failure = "gave up on route step " + which;
            return false;
        }
        Advance(s, Steer(s, step), result);
        if (Length(s.position - egg) < EggTouch)
        {
            result.reachedEgg = true;
            return false;
        }
        if (s.position.y + 70.0f < 0.0f) // the camera, 70 above, is under the sea
        {
            result.drowned = true;
            result.failure = "drowned on route step " + which;
            return false;
        }
    }
}

RouteWalkResult RouteWalker::Walk(const Vec3& start, const std::vector<LevelRouteStep>& route,
                                  const Vec3& egg, float secondsPerStep) const
{
    RouteWalkResult result;
    State s;
    s.position = start;
    bool going = true;
    for (size_t i = 0; i < route.size() && going; ++i)
    {
        going = WalkStep(s, route[i], egg, secondsPerStep, result);
        if (going || result.reachedEgg) ++result.stepsDone;
    }
    if (result.reachedEgg)
        result.stepsDone = route.size();
    else if (going)
        result.failure = "route ended away from the egg";
    result.position = s.position;
    return result;
}

} // namespace assetgen
