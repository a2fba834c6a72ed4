#pragma once
// The contact solver of one step: sequential impulses over the contact
// manifolds, run once per sub-step. Normal impulses keep bodies from closing
// a gap faster than it can close within the sub-step (so speculative
// contacts only act on a real approach), friction and rolling resistance
// are bounded by the normal impulse, and overlap is removed by a separate
// "push" velocity that moves bodies apart without giving them speed.

#include "tavRigidLocal.h"

#include <vector>

class tavContactSolver
{
public:
    // Overlap left alone, so resting contacts do not flicker (world units).
    static constexpr float Slop = 0.05f;
    // Share of the overlap removed per sub-step, and the fastest push.
    static constexpr float PushRate = 0.2f;
    static constexpr float MaxPushSpeed = 400.0f;
    // Approach speed below which a contact does not bounce.
    static constexpr float BounceThreshold = 5.0f;

    tavContactSolver(std::vector<tavManifold>& manifolds, std::vector<tavSolverBody>& bodies);

    // Masses, tangents and approach speeds; contacts between two bodies are
    // solved before those against the world, so the ground has the last word.
    void Prepare();
    // Applies the impulses carried over (from the last sub-step or step).
    void WarmStart();
    void SolveVelocities(float inverseStep);
    void SolvePush(float inverseStep);
    // After the last sub-step: contacts that were hit bounce back at their
    // restitution times the approach speed.
    void ApplyRestitution();

private:
    float Separation(const tavManifold& m, const tavContactPoint& p) const;
    void SolveNormal(tavManifold& m, float inverseStep);
    void SolveFriction(tavManifold& m);
    void SolveRolling(tavManifold& m);

    std::vector<tavManifold>& manifolds;
    std::vector<tavSolverBody>& bodies;
    std::vector<uint32_t> order;
};
