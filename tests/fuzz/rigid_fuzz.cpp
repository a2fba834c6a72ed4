// The rigid-body world fed fuzzed static triangles, bodies of every shape,
// masses, positions and velocities, stepped many times. Non-finite or
// absurd values must be refused or survived; when every value given was
// finite and of a sane size, every transform must stay finite.
#include "physics/tavPhysics.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace
{
// Values either from a sane range or raw (NaN, infinities, 1e38 ...).
class Values
{
public:
    explicit Values(FuzzedDataProvider& in) : in(in), raw(in.ConsumeBool()) {}
    float Get(float lo, float hi)
    {
        return raw ? in.ConsumeFloatingPoint<float>() : in.ConsumeFloatingPointInRange(lo, hi);
    }
    void Vec(float* v, float lo, float hi)
    {
        for (int i = 0; i < 3; ++i) v[i] = Get(lo, hi);
    }
    FuzzedDataProvider& in;
    const bool raw;
};

void AddLevel(tavPhysics& physics, Values& values)
{
    FuzzedDataProvider& in = values.in;
    std::vector<float> vertices(3 * in.ConsumeIntegralInRange<size_t>(0, 48));
    for (float& v : vertices) v = values.Get(-500.0f, 500.0f);
    std::vector<uint16_t> indices(3 * in.ConsumeIntegralInRange<size_t>(0, 48));
    for (uint16_t& i : indices) i = in.ConsumeIntegralInRange<uint16_t>(0, 50);
    tavTriangleMesh record;
    if (tavPhysics::ConvertMesh(vertices.data(), 12, uint32_t(vertices.size() / 3), indices.data(),
                                false, uint32_t(indices.size() / 3), &record))
        physics.AddStaticMesh(&record);
    record.Release();
}

void AddBodies(tavPhysics& physics, Values& values)
{
    FuzzedDataProvider& in = values.in;
    for (int n = in.ConsumeIntegralInRange<int>(0, 10); n > 0; --n)
    {
        float p[3], q[4] = {values.Get(-1, 1), values.Get(-1, 1), values.Get(-1, 1), 1.0f};
        values.Vec(p, -600.0f, 600.0f);
        const float a = values.Get(0.1f, 200.0f), b = values.Get(0.1f, 200.0f),
                    c = values.Get(0.1f, 200.0f), mass = values.Get(0.01f, 1000.0f),
                    angular = values.Get(0.0f, 1.0f), linear = values.Get(0.0f, 1.0f);
        const bool kind = in.ConsumeBool();
        switch (in.ConsumeIntegralInRange<int>(0, 5))
        {
        case 0: physics.AddSphere(p, a, mass, angular, linear, kind); break;
        case 1: physics.AddBox(p, a, b, c, mass, angular, linear, kind); break;
        case 2: physics.AddCylinder(p, a, b, mass, angular, linear, kind); break;
        case 3: physics.AddFixedSphere(p, a); break;
        case 4: physics.AddFixedBox(p, a, b, c, q); break;
        default: physics.AddFixedCylinder(p, a, b, q); break;
        }
    }
}

void Push(tavPhysics& physics, Values& values)
{
    const uint32_t count = physics.GetBodyCount();
    if (!count) return;
    tavRigidBody* body = physics.GetBody(values.in.ConsumeIntegralInRange<uint32_t>(0, count));
    if (!body) return;
    float v[3];
    values.Vec(v, -2000.0f, 2000.0f);
    body->SetLinearVelocity(v);
    values.Vec(v, -50.0f, 50.0f);
    body->SetAngularVelocity(v);
}

void CheckFinite(const tavPhysics& physics)
{
    for (uint32_t h = 0; h < physics.GetBodyCount(); ++h)
    {
        float m[16];
        physics.GetTransform(h, m, true);
        for (float f : m)
            if (!std::isfinite(f)) abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Values values(in);
    tavPhysics physics;
    float gravity[3];
    values.Vec(gravity, -200.0f, 200.0f);
    if (!physics.Create(in.ConsumeIntegralInRange<uint32_t>(0, 4),
                        in.ConsumeIntegralInRange<uint32_t>(0, 8),
                        in.ConsumeIntegralInRange<uint32_t>(0, 4), gravity))
        return 0;
    AddLevel(physics, values);
    AddBodies(physics, values);
    for (int step = 0; step < 60; ++step)
    {
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0) Push(physics, values);
        physics.Step(values.raw ? in.ConsumeFloatingPoint<float>() : 1.0f / 60.0f, 0);
        if (!values.raw) CheckFinite(physics);
    }
    return 0;
}
