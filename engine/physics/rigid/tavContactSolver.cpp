#include "tavContactSolver.h"

namespace
{
tavVec3 VelocityAt(const tavSolverBody& b, const tavVec3& r) { return b.v + Cross(b.w, r); }

tavVec3 PushVelocityAt(const tavSolverBody& b, const tavVec3& r)
{
    return b.pushV + Cross(b.pushW, r);
}

void Apply(tavSolverBody& a, tavSolverBody& b, const tavVec3& impulse, const tavVec3& ra,
           const tavVec3& rb)
{
    a.v -= impulse * a.inverseMass;
    a.w -= a.inverseInertia * Cross(ra, impulse);
    b.v += impulse * b.inverseMass;
    b.w += b.inverseInertia * Cross(rb, impulse);
}

float EffectiveMass(const tavSolverBody& a, const tavSolverBody& b, const tavVec3& ra,
                    const tavVec3& rb, const tavVec3& direction)
{
    const tavVec3 ca = Cross(ra, direction), cb = Cross(rb, direction);
    const float k = a.inverseMass + b.inverseMass + Dot(ca, a.inverseInertia * ca) +
                    Dot(cb, b.inverseInertia * cb);
    return k > 1e-20f ? 1.0f / k : 0.0f;
}
} // namespace

tavContactSolver::tavContactSolver(std::vector<tavManifold>& m, std::vector<tavSolverBody>& b)
    : manifolds(m), bodies(b)
{
}

void tavContactSolver::Prepare()
{
    order.clear();
    for (uint32_t i = 0; i < manifolds.size(); ++i)
        if (manifolds[i].b != 0)
            order.push_back(i);
    for (uint32_t i = 0; i < manifolds.size(); ++i)
        if (manifolds[i].b == 0)
            order.push_back(i);

    for (tavManifold& m : manifolds)
    {
        const tavSolverBody& a = bodies[m.a];
        const tavSolverBody& b = bodies[m.b];
        Basis(m.normal, m.tangent[0], m.tangent[1]);
        for (int i = 0; i < m.count; ++i)
        {
            tavContactPoint& p = m.points[i];
            p.angularA = Cross(p.anchorA, m.normal);
            p.angularB = Cross(p.anchorB, m.normal);
            p.normalMass = EffectiveMass(a, b, p.anchorA, p.anchorB, m.normal);
            p.tangentMass[0] = EffectiveMass(a, b, p.anchorA, p.anchorB, m.tangent[0]);
            p.tangentMass[1] = EffectiveMass(a, b, p.anchorA, p.anchorB, m.tangent[1]);
            p.relativeVelocity =
                Dot(m.normal, VelocityAt(b, p.anchorB) - VelocityAt(a, p.anchorA));
            p.maxNormalImpulse = 0;
            p.pushImpulse = 0;
        }
        if (m.rolling > 0)
            m.rollingMass = (a.inverseInertia + b.inverseInertia).Inverse();
    }
}

void tavContactSolver::WarmStart()
{
    for (tavManifold& m : manifolds)
    {
        tavSolverBody& a = bodies[m.a];
        tavSolverBody& b = bodies[m.b];
        for (int i = 0; i < m.count; ++i)
        {
            const tavContactPoint& p = m.points[i];
            const tavVec3 impulse = m.normal * p.normalImpulse + m.tangent[0] * p.tangentImpulse[0] +
                                    m.tangent[1] * p.tangentImpulse[1];
            Apply(a, b, impulse, p.anchorA, p.anchorB);
        }
        a.w -= a.inverseInertia * m.rollingImpulse;
        b.w += b.inverseInertia * m.rollingImpulse;
    }
}

float tavContactSolver::Separation(const tavManifold& m, const tavContactPoint& p) const
{
    const tavSolverBody& a = bodies[m.a];
    const tavSolverBody& b = bodies[m.b];
    tavVec3 moved = b.displacement - a.displacement;
    if (!b.round)
        moved += b.turn * p.anchorB - p.anchorB;
    if (!a.round)
        moved -= a.turn * p.anchorA - p.anchorA;
    return p.separation + Dot(m.normal, moved);
}

void tavContactSolver::SolveNormal(tavManifold& m, float inverseStep)
{
    tavSolverBody& a = bodies[m.a];
    tavSolverBody& b = bodies[m.b];
    for (int i = 0; i < m.count; ++i)
    {
        tavContactPoint& p = m.points[i];
        const float s = Separation(m, p);
        // A gap may close, but not beyond touching, within this sub-step.
        const float bias = s > 0 ? s * inverseStep : 0.0f;
        const float vn = Dot(m.normal, b.v - a.v) + Dot(p.angularB, b.w) - Dot(p.angularA, a.w);
        const float total = std::fmax(p.normalImpulse - p.normalMass * (vn + bias), 0.0f);
        const float delta = total - p.normalImpulse;
        p.normalImpulse = total;
        p.maxNormalImpulse = std::fmax(p.maxNormalImpulse, total);
        a.v -= m.normal * (delta * a.inverseMass);
        a.w -= a.inverseInertia * (p.angularA * delta);
        b.v += m.normal * (delta * b.inverseMass);
        b.w += b.inverseInertia * (p.angularB * delta);
    }
}

void tavContactSolver::SolveFriction(tavManifold& m)
{
    tavSolverBody& a = bodies[m.a];
    tavSolverBody& b = bodies[m.b];
    for (int i = 0; i < m.count; ++i)
    {
        tavContactPoint& p = m.points[i];
        const tavVec3 dv = VelocityAt(b, p.anchorB) - VelocityAt(a, p.anchorA);
        float t0 = p.tangentImpulse[0] - p.tangentMass[0] * Dot(dv, m.tangent[0]);
        float t1 = p.tangentImpulse[1] - p.tangentMass[1] * Dot(dv, m.tangent[1]);
        const float limit = m.friction * p.normalImpulse;
        const float len2 = t0 * t0 + t1 * t1;
        if (len2 > limit * limit)
        {
            const float scale = limit / std::sqrt(len2);
            t0 *= scale;
            t1 *= scale;
        }
        const tavVec3 impulse = m.tangent[0] * (t0 - p.tangentImpulse[0]) +
                                m.tangent[1] * (t1 - p.tangentImpulse[1]);
        p.tangentImpulse[0] = t0;
        p.tangentImpulse[1] = t1;
        Apply(a, b, impulse, p.anchorA, p.anchorB);
    }
}

void tavContactSolver::SolveRolling(tavManifold& m)
{
    if (m.rolling <= 0)
        return;
    tavSolverBody& a = bodies[m.a];
    tavSolverBody& b = bodies[m.b];
    float pressed = 0;
    for (int i = 0; i < m.count; ++i)
        pressed += m.points[i].normalImpulse;
    const float limit = m.rolling * pressed;
    tavVec3 total = m.rollingImpulse - m.rollingMass * (b.w - a.w);
    const float len2 = LengthSquared(total);
    if (len2 > limit * limit)
        total *= limit / std::sqrt(len2);
    const tavVec3 delta = total - m.rollingImpulse;
    m.rollingImpulse = total;
    a.w -= a.inverseInertia * delta;
    b.w += b.inverseInertia * delta;
}

void tavContactSolver::SolveVelocities(float inverseStep)
{
    for (uint32_t i : order)
    {
        tavManifold& m = manifolds[i];
        SolveNormal(m, inverseStep);
        SolveFriction(m);
        SolveRolling(m);
    }
}

void tavContactSolver::SolvePush(float inverseStep)
{
    for (uint32_t i : order)
    {
        tavManifold& m = manifolds[i];
        tavSolverBody& a = bodies[m.a];
        tavSolverBody& b = bodies[m.b];
        for (int k = 0; k < m.count; ++k)
        {
            tavContactPoint& p = m.points[k];
            const float s = Separation(m, p);
            if (s >= -Slop)
                continue;
            const float target = std::fmin(PushRate * (-s - Slop) * inverseStep, MaxPushSpeed);
            const float vn =
                Dot(m.normal, PushVelocityAt(b, p.anchorB) - PushVelocityAt(a, p.anchorA));
            const float delta = std::fmax(p.normalMass * (target - vn), 0.0f);
            p.pushImpulse += delta;
            a.pushV -= m.normal * (delta * a.inverseMass);
            a.pushW -= a.inverseInertia * (p.angularA * delta);
            b.pushV += m.normal * (delta * b.inverseMass);
            b.pushW += b.inverseInertia * (p.angularB * delta);
        }
    }
}

void tavContactSolver::ApplyRestitution()
{
    for (uint32_t i : order)
    {
        tavManifold& m = manifolds[i];
        if (m.restitution <= 0)
            continue;
        tavSolverBody& a = bodies[m.a];
        tavSolverBody& b = bodies[m.b];
        for (int k = 0; k < m.count; ++k)
        {
            tavContactPoint& p = m.points[k];
            if (p.relativeVelocity > -BounceThreshold || p.maxNormalImpulse <= 0)
                continue;
            const float vn = Dot(m.normal, b.v - a.v) + Dot(p.angularB, b.w) - Dot(p.angularA, a.w);
            const float total = std::fmax(
                p.normalImpulse - p.normalMass * (vn + m.restitution * p.relativeVelocity), 0.0f);
            const float delta = total - p.normalImpulse;
            p.normalImpulse = total;
            a.v -= m.normal * (delta * a.inverseMass);
            a.w -= a.inverseInertia * (p.angularA * delta);
            b.v += m.normal * (delta * b.inverseMass);
            b.w += b.inverseInertia * (p.angularB * delta);
        }
    }
}
