// Advance: one step of the world, from the bodies' motion to sleep.

#include "tavCollide.h"
#include "tavContactSolver.h"
#include "tavRigidLocal.h"
#include "tavRigidWorld.h"

#include <algorithm>
#include <cfloat>

namespace
{
// Contacts are kept this far beyond what the step's motion can close.
const float SpeculativeSlop = 1.0f;
const float MaxSpeed = 20000.0f; // world units per second
const float MaxSpin = 500.0f;    // radians per second
// A body slower than this for TimeToSleep seconds may sleep.
const float SleepSpeed = 2.0f;
const float SleepSpin = 0.5f;
const float TimeToSleep = 0.5f;
// A slow body whose velocity drifts by more than this fraction of the limits
// since its quiet spell began is not at rest (it is still tipping up towards
// a balance point, or falling back from one): the spell starts again.
const float QuietDrift = 0.1f;
// Rolling and spinning resistance of a one-point contact, per unit of friction.
const float RollingPerFriction = 0.2f;
const uint32_t OtherBody = 0u << 30, OtherFixed = 1u << 30, OtherMesh = 2u << 30;
const uint32_t Static = UINT32_MAX;

bool IsRound(const tavRigidShape& s) { return s.GetType() != tavRigidShape::Box &&
                                              s.GetType() != tavRigidShape::Cylinder; }

// Half extents of the world box around a shape.
tavVec3 WorldExtents(const tavRigidShape& s, const tavMat3& r)
{
    const tavVec3 e = s.LocalExtents();
    if (s.GetType() == tavRigidShape::Sphere)
        return e;
    tavVec3 out;
    for (int i = 0; i < 3; ++i)
        out[i] = std::fabs(r.c[0][i]) * e.x + std::fabs(r.c[1][i]) * e.y +
                 std::fabs(r.c[2][i]) * e.z;
    return out;
}

// How far a body can move within the step, spin included.
float Reach(const tavRigidShape& s, const tavVec3& v, const tavVec3& w, const tavVec3& g,
            float seconds)
{
    const float spin = IsRound(s) ? 0.0f : Length(w) * s.BoundingRadius();
    return (Length(v) + Length(g) * seconds + spin) * seconds;
}

uint32_t Find(std::vector<uint32_t>& parent, uint32_t i)
{
    while (parent[i] != i)
    {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return i;
}
} // namespace

bool tavRigidWorld::Advance(float seconds, int32_t stepCount, uint32_t flags)
{
    (void)flags;
    if (!(std::isfinite(seconds) && seconds > 0))
    {
        Report("Advance: ignored a step of %g seconds (it must be positive and finite).\n",
               seconds);
        return false;
    }
    const int32_t subSteps = std::min(std::max(stepCount, 1), 64);
    // 1. The bodies that move this step.
    CollectAwake();
    // 2. Pairs of bodies whose swept bounds overlap.
    FindPairs(seconds);
    // 3. Contacts, waking the sleepers that awake bodies reach.
    FindContacts(seconds);
    // 4. Sub-steps of the solver, then the new poses and velocities.
    Solve(seconds, subSteps);
    // 5. Bodies at rest fall asleep together with what they touch.
    UpdateSleep(seconds);
    time += seconds;
    return true;
}

void tavRigidWorld::CollectAwake()
{
    tavRigidWorldLocal& L = *local;
    const size_t n = bodies.size();
    L.awake.clear();
    L.inStep.assign(n, 0);
    L.pushReach.assign(n, 0.0f);
    L.bounds.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        if (!bodies[i]->sleeping)
        {
            L.awake.push_back(i);
            L.inStep[i] = 1;
        }
}

void tavRigidWorld::FindPairs(float seconds)
{
    tavRigidWorldLocal& L = *local;
    const uint32_t n = (uint32_t)bodies.size();
    for (uint32_t i = 0; i < n; ++i)
    {
        const tavRigidBody& b = *bodies[i];
        tavBounds& box = L.bounds[i];
        if (b.shape.GetType() == tavRigidShape::None)
        {
            box.min = box.max = tavVec3(FLT_MAX, FLT_MAX, FLT_MAX);
            continue;
        }
        const tavVec3 e = WorldExtents(b.shape, b.rotation);
        tavVec3 lo = b.position - e, hi = b.position + e;
        if (!b.sleeping)
        {
            const tavVec3 sweep = b.linearVelocity * seconds + gravity * (0.5f * seconds * seconds);
            const float spin = IsRound(b.shape) ? 0.0f
                                                : std::fmin(Length(b.angularVelocity) * seconds, 1.0f) *
                                                      b.shape.BoundingRadius();
            const tavVec3 pad(spin + SpeculativeSlop, spin + SpeculativeSlop,
                              spin + SpeculativeSlop);
            lo = lo + Min(sweep, tavVec3()) - pad;
            hi = hi + Max(sweep, tavVec3()) + pad;
        }
        box.min = lo;
        box.max = hi;
    }

    // Sweep along x over an order kept from the last step (insertion sort
    // is nearly free when little moved).
    if (L.sweepOrder.size() != n)
    {
        L.sweepOrder.resize(n);
        for (uint32_t i = 0; i < n; ++i)
            L.sweepOrder[i] = i;
    }
    auto before = [&](uint32_t a, uint32_t b)
    { return L.bounds[a].min.x < L.bounds[b].min.x ||
             (L.bounds[a].min.x == L.bounds[b].min.x && a < b); };
    for (uint32_t i = 1; i < n; ++i)
    {
        const uint32_t v = L.sweepOrder[i];
        uint32_t j = i;
        while (j > 0 && before(v, L.sweepOrder[j - 1]))
        {
            L.sweepOrder[j] = L.sweepOrder[j - 1];
            --j;
        }
        L.sweepOrder[j] = v;
    }
    L.pairs.clear();
    for (uint32_t i = 0; i < n; ++i)
    {
        const uint32_t a = L.sweepOrder[i];
        const tavBounds& ba = L.bounds[a];
        if (ba.min.x == FLT_MAX)
            break;
        for (uint32_t k = i + 1; k < n; ++k)
        {
            const uint32_t b = L.sweepOrder[k];
            const tavBounds& bb = L.bounds[b];
            if (bb.min.x > ba.max.x)
                break;
            if ((bodies[a]->sleeping && bodies[b]->sleeping) || bb.min.y > ba.max.y ||
                bb.max.y < ba.min.y || bb.min.z > ba.max.z || bb.max.z < ba.min.z)
                continue;
            L.pairs.push_back({std::min(a, b), std::max(a, b)});
        }
    }
    std::sort(L.pairs.begin(), L.pairs.end(), [](const tavBodyPair& x, const tavBodyPair& y)
              { return x.a != y.a ? x.a < y.a : x.b < y.b; });

    pairCount = (uint32_t)L.pairs.size();
    const bool full = L.pairs.size() > (size_t)capacity[4];
    if (full)
    {
        L.pairs.resize((size_t)capacity[4]);
        if (!pairsFull)
            Report("Overlap Pair buffer full. Increase buffer size.\n");
    }
    pairsFull = full;
}

namespace
{
struct ManifoldBuilder
{
    void Fill(tavManifold& m, const tavContactSet& set, const tavVec3& posA, const tavVec3& posB,
              float friction, float restitution, float roundRadius)
    {
        m.normal = set.normal;
        m.count = set.count;
        m.friction = friction;
        m.restitution = restitution;
        m.rolling = set.count == 1 && roundRadius > 0 ? RollingPerFriction * friction * roundRadius
                                                      : 0.0f;
        m.rollingImpulse = tavVec3();
        for (int i = 0; i < set.count; ++i)
        {
            tavContactPoint& p = m.points[i];
            p = tavContactPoint();
            p.anchorA = set.point[i] - posA;
            p.anchorB = set.point[i] - posB;
            p.separation = set.separation[i];
        }
    }
};

bool Collide(const tavRigidShape& sa, const tavVec3& pa, const tavMat3& ra,
             const tavRigidShape& sb, const tavVec3& pb, const tavMat3& rb, float maxSeparation,
             tavContactSet& set)
{
    if (sa.GetType() == tavRigidShape::Sphere && sb.GetType() == tavRigidShape::Sphere)
        return CollideSpheres(pa, sa.GetRadius(), pb, sb.GetRadius(), maxSeparation, set);
    return CollideConvex(tavConvex::Of(sa, pa, ra), tavConvex::Of(sb, pb, rb), maxSeparation, set);
}

float RoundRadius(const tavRigidShape& a, const tavRigidShape* b)
{
    float r = a.GetType() == tavRigidShape::Sphere ? a.GetRadius() : 0.0f;
    if (b && b->GetType() == tavRigidShape::Sphere)
        r = r > 0 ? std::fmin(r, b->GetRadius()) : b->GetRadius();
    return r;
}
} // namespace

void tavRigidWorld::FindContacts(float seconds)
{
    tavRigidWorldLocal& L = *local;
    L.manifolds.clear();
    ManifoldBuilder builder;
    tavContactSet set;
    for (const tavBodyPair& pair : L.pairs)
    {
        tavRigidBody& a = *bodies[pair.a];
        tavRigidBody& b = *bodies[pair.b];
        const float reach = Reach(a.shape, a.linearVelocity, a.angularVelocity, gravity, seconds) +
                            Reach(b.shape, b.linearVelocity, b.angularVelocity, gravity, seconds);
        if (!Collide(a.shape, a.position, a.rotation, b.shape, b.position, b.rotation,
                     reach + SpeculativeSlop, set))
            continue;
        const tavRigidMaterial& ma = L.materials[a.material];
        const tavRigidMaterial& mb = L.materials[b.material];
        tavManifold m;
        m.key = {pair.a, OtherBody | pair.b, 0};
        m.a = pair.a;
        m.b = pair.b;
        builder.Fill(m, set, a.position, b.position, 0.5f * (ma.friction + mb.friction),
                     0.5f * (ma.restitution + mb.restitution), RoundRadius(a.shape, &b.shape));
        L.manifolds.push_back(m);
        // Overlapping bodies push each other apart: the ground under them must
        // be found as far down as they can be pushed.
        float deepest = 0;
        for (int i = 0; i < set.count; ++i)
            deepest = std::fmax(deepest, -set.separation[i]);
        const float push = std::fmin(deepest, tavContactSolver::MaxPushSpeed * seconds);
        for (uint32_t k : {pair.a, pair.b})
            L.pushReach[k] = std::fmax(L.pushReach[k], push);
        for (tavRigidBody* touched : {&a, &b})
            if (touched->sleeping)
            {
                touched->Wake();
                L.awake.push_back(touched->index);
                L.inStep[touched->index] = 1;
            }
    }
    for (size_t i = 0; i < L.awake.size(); ++i)
        FindBodyContacts(L.awake[i], seconds);
    std::sort(L.manifolds.begin(), L.manifolds.end(),
              [](const tavManifold& x, const tavManifold& y) { return x.key < y.key; });
}

void tavRigidWorld::FindBodyContacts(uint32_t index, float seconds)
{
    tavRigidWorldLocal& L = *local;
    const tavRigidBody& body = *bodies[index];
    if (body.shape.GetType() == tavRigidShape::None)
        return;
    ManifoldBuilder builder;
    const float maxSeparation =
        Reach(body.shape, body.linearVelocity, body.angularVelocity, gravity, seconds) +
        L.pushReach[index] + SpeculativeSlop;
    const tavRigidMaterial& mine = L.materials[body.material];
    tavContactSet set;
    tavManifold m;
    m.a = index;
    m.b = Static;

    for (uint32_t f = 0; f < fixedBodies.size(); ++f)
    {
        const tavFixedBody& fixed = *fixedBodies[f];
        if (fixed.shape.GetType() == tavRigidShape::None ||
            !Collide(body.shape, body.position, body.rotation, fixed.shape, fixed.position,
                     fixed.rotation, maxSeparation, set))
            continue;
        const tavRigidMaterial& theirs = L.materials[fixed.material];
        m.key = {index, OtherFixed | f, 0};
        builder.Fill(m, set, body.position, fixed.position,
                     0.5f * (mine.friction + theirs.friction),
                     0.5f * (mine.restitution + theirs.restitution),
                     RoundRadius(body.shape, &fixed.shape));
        L.manifolds.push_back(m);
    }

    const tavVec3 reach(L.pushReach[index], L.pushReach[index], L.pushReach[index]);
    const tavBounds box = {L.bounds[index].min - reach, L.bounds[index].max + reach};
    const bool sphere = body.shape.GetType() == tavRigidShape::Sphere;
    const tavConvex convex = tavConvex::Of(body.shape, body.position, body.rotation);
    for (uint32_t mesh = 0; mesh < L.meshes.size(); ++mesh)
    {
        const tavMeshCollider& collider = *L.meshes[mesh];
        L.triangles.clear();
        collider.Query(box.min, box.max, L.triangles);
        for (uint32_t t : L.triangles)
        {
            const tavMeshCollider::Triangle& tri = collider.GetTriangle(t);
            const bool hit = sphere ? CollideSphereTriangle(body.position, body.shape.GetRadius(),
                                                            tri, maxSeparation, set)
                                    : CollideConvex(convex, tavConvex::Of(tri), maxSeparation, set);
            if (!hit)
                continue;
            const tavRigidMaterial& theirs = L.materials[tri.material];
            m.key = {index, OtherMesh | mesh, tri.index};
            builder.Fill(m, set, body.position, tavVec3(), 0.5f * (mine.friction + theirs.friction),
                         0.5f * (mine.restitution + theirs.restitution),
                         RoundRadius(body.shape, nullptr));
            L.manifolds.push_back(m);
        }
    }
}

void tavRigidWorld::Solve(float seconds, int32_t subSteps)
{
    tavRigidWorldLocal& L = *local;
    const float h = seconds / (float)subSteps;
    const float inverseStep = 1.0f / h;

    // Solver bodies: 0 is the immovable world, then the awake bodies.
    L.solverBodies.resize(1 + L.awake.size());
    L.solverOf.assign(bodies.size(), 0);
    tavSolverBody& ground = L.solverBodies[0];
    ground = tavSolverBody();
    ground.turn = ground.startRotation = tavMat3::Identity();
    ground.inverseInertia = tavMat3();
    ground.inverseMass = 0;
    ground.round = true;
    ground.body = Static;
    for (uint32_t k = 0; k < L.awake.size(); ++k)
    {
        const tavRigidBody& b = *bodies[L.awake[k]];
        tavSolverBody& s = L.solverBodies[k + 1];
        s = tavSolverBody();
        s.v = b.linearVelocity;
        s.w = b.angularVelocity;
        s.turn = tavMat3::Identity();
        s.startRotation = b.rotation;
        s.orientation = b.orientation;
        s.inverseInertia = RotateTensor(b.rotation, b.inverseInertia);
        s.inverseMass = b.inverseMass;
        s.body = L.awake[k];
        s.round = IsRound(b.shape);
        L.solverOf[L.awake[k]] = k + 1;
    }

    // Warm start from the forces of the last step, matched point by point.
    size_t c = 0;
    for (tavManifold& m : L.manifolds)
    {
        m.a = L.solverOf[m.a];
        m.b = m.b == Static ? 0 : L.solverOf[m.b];
        while (c < L.cache.size() && L.cache[c].key < m.key)
            ++c;
        if (c == L.cache.size() || !(L.cache[c].key == m.key))
            continue;
        const tavCachedContact& old = L.cache[c];
        m.rollingImpulse = old.rollingTorque * h;
        for (int i = 0; i < m.count; ++i)
        {
            int best = -1;
            float nearest = 0.25f; // squared world units
            for (int j = 0; j < old.count; ++j)
            {
                const float d2 = LengthSquared(old.anchor[j] - m.points[i].anchorA);
                if (d2 < nearest)
                {
                    nearest = d2;
                    best = j;
                }
            }
            if (best < 0)
                continue;
            m.points[i].normalImpulse = old.normalForce[best] * h;
            m.points[i].tangentImpulse[0] = old.tangentForce[best][0] * h;
            m.points[i].tangentImpulse[1] = old.tangentForce[best][1] * h;
        }
    }

    tavContactSolver solver(L.manifolds, L.solverBodies);
    solver.Prepare();
    for (int32_t step = 0; step < subSteps; ++step)
    {
        for (size_t k = 1; k < L.solverBodies.size(); ++k)
            L.solverBodies[k].v += gravity * h;
        solver.WarmStart();
        solver.SolveVelocities(inverseStep);
        solver.SolvePush(inverseStep);
        for (size_t k = 1; k < L.solverBodies.size(); ++k)
        {
            tavSolverBody& s = L.solverBodies[k];
            s.displacement += (s.v + s.pushV) * h;
            s.orientation = s.orientation.Integrated(s.w + s.pushW, h);
            if (!s.round)
                s.turn = s.orientation.Matrix() * s.startRotation.Transposed();
            s.pushV = s.pushW = tavVec3();
        }
    }
    solver.ApplyRestitution();

    // New poses and velocities; damping once per step.
    for (size_t k = 1; k < L.solverBodies.size(); ++k)
    {
        const tavSolverBody& s = L.solverBodies[k];
        tavRigidBody& b = *bodies[s.body];
        b.position += s.displacement;
        b.orientation = s.orientation;
        b.rotation = s.orientation.Matrix();
        tavVec3 v = s.v * (1.0f - b.linearDamping);
        tavVec3 w = s.w * (1.0f - b.angularDamping);
        if (!IsFinite(v) || !IsFinite(w) || !IsFinite(b.position))
        {
            Report("Rigid body %u: motion stopped (it was no longer finite).\n", b.index);
            v = w = tavVec3();
            if (!IsFinite(b.position))
                b.position = b.position - s.displacement;
        }
        const float speed = Length(v), spin = Length(w);
        b.linearVelocity = speed > MaxSpeed ? v * (MaxSpeed / speed) : v;
        b.angularVelocity = spin > MaxSpin ? w * (MaxSpin / spin) : w;
    }

    // Forces for the next step's warm start.
    L.cache.resize(L.manifolds.size());
    for (size_t i = 0; i < L.manifolds.size(); ++i)
    {
        const tavManifold& m = L.manifolds[i];
        tavCachedContact& c2 = L.cache[i];
        c2.key = m.key;
        c2.count = m.count;
        c2.rollingTorque = m.rollingImpulse * inverseStep;
        for (int k = 0; k < m.count; ++k)
        {
            c2.anchor[k] = m.points[k].anchorA;
            c2.normalForce[k] = m.points[k].normalImpulse * inverseStep;
            c2.tangentForce[k][0] = m.points[k].tangentImpulse[0] * inverseStep;
            c2.tangentForce[k][1] = m.points[k].tangentImpulse[1] * inverseStep;
        }
    }
}

void tavRigidWorld::UpdateSleep(float seconds)
{
    tavRigidWorldLocal& L = *local;
    for (uint32_t i : L.awake)
    {
        tavRigidBody& b = *bodies[i];
        const float speed = Length(b.linearVelocity), spin = Length(b.angularVelocity);
        if (b.kind == 0 || speed >= SleepSpeed || spin >= SleepSpin)
        {
            b.sleepTime = 0;
            continue;
        }
        if (b.sleepTime == 0 ||
            Length(b.linearVelocity - b.quietVelocity) > QuietDrift * SleepSpeed ||
            Length(b.angularVelocity - b.quietSpin) > QuietDrift * SleepSpin)
        {
            b.sleepTime = 0;
            b.quietVelocity = b.linearVelocity;
            b.quietSpin = b.angularVelocity;
        }
        b.sleepTime += seconds;
    }
    // Bodies that touch sleep together: an island sleeps when all of it is still.
    std::vector<uint32_t>& parent = L.islands;
    parent.resize(bodies.size());
    for (uint32_t i : L.awake)
        parent[i] = i;
    for (const tavManifold& m : L.manifolds)
        if (m.b != 0)
        {
            const uint32_t a = Find(parent, L.solverBodies[m.a].body);
            const uint32_t b = Find(parent, L.solverBodies[m.b].body);
            if (a != b)
                parent[std::max(a, b)] = std::min(a, b);
        }
    std::vector<float> least(bodies.size(), FLT_MAX);
    for (uint32_t i : L.awake)
    {
        const uint32_t root = Find(parent, i);
        least[root] = std::fmin(least[root], bodies[i]->sleepTime);
    }
    for (uint32_t i : L.awake)
        if (least[Find(parent, i)] >= TimeToSleep)
        {
            tavRigidBody& b = *bodies[i];
            b.sleeping = true;
            b.linearVelocity = b.angularVelocity = tavVec3();
        }
}
