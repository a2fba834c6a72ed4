#include "tavBenchScene.h"

#include "physics/tavPhysics.h"

#include <random>

tavBenchScene::tavBenchScene(int count)
{
    tavTestMesh level;
    level.AddLevel();
    const tavTriangleMesh record = level.Record();
    for (int32_t i = 0; i < record.vertexCount; ++i)
        vertices.insert(vertices.end(),
                        {record.vertices[i].x, record.vertices[i].y, record.vertices[i].z});
    for (int32_t t = 0; t < record.triangleCount; ++t)
        for (int k = 0; k < 3; ++k)
            indices.push_back((int32_t)record.triangles[t].index[k]);
    tavTriangleMesh owned = record;
    owned.Release();

    chicken = tavTestMesh::PlatformTop(7, 8) + tavVec3(0, 10, 0);
    std::mt19937 random(2024);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
    for (int i = 0; i < count; ++i)
    {
        const int burst = i / 50;
        const tavVec3 at = burst == 0 ? chicken
                                      : tavTestMesh::PlatformTop(burst % 9, (burst * 4) % 9) +
                                            tavVec3(0, 10, 0);
        Drop d;
        d.position = at + tavVec3(uniform(-2, 2), uniform(0, 10), uniform(-2, 2));
        d.impulse = tavVec3(uniform(-50, 50), uniform(20, 200), uniform(-50, 50));
        d.spin = tavVec3(uniform(-150, 150), uniform(-150, 150), uniform(-150, 150));
        drops.push_back(d);
    }
}

namespace
{
class OurWorld : public tavBenchWorld
{
public:
    explicit OurWorld(const tavBenchScene& scene)
    {
        const float gravity[3] = {0, -100, 0};
        physics.Create(0, 1, (uint32_t)scene.drops.size(), gravity);
        physics.GetWorld()->SetMaterial(0, 5.0f, 0.1f, 0);
        tavTriangleMesh record;
        tavPhysics::ConvertMesh(scene.vertices.data(), 12, (uint32_t)scene.vertices.size() / 3,
                                scene.indices.data(), true, (uint32_t)scene.indices.size() / 3,
                                &record);
        physics.AddStaticMesh(&record);
        record.Release();
        const float at[3] = {scene.chicken.x, scene.chicken.y, scene.chicken.z};
        physics.AddSphere(at, 20, 5, 0, 0, false);
        for (const tavBenchScene::Drop& d : scene.drops)
        {
            const float p[3] = {d.position.x, d.position.y, d.position.z};
            tavRigidBody* b = physics.GetBody((uint32_t)physics.AddSphere(p, 20, 1, 0.0001f, 0, true));
            const float impulse[3] = {d.impulse.x, d.impulse.y, d.impulse.z};
            const float spin[3] = {d.spin.x, d.spin.y, d.spin.z};
            b->ApplyImpulse(impulse);
            b->SetAngularVelocity(spin);
        }
    }
    void Frame() override
    {
        tavRigidBody* chicken = physics.GetBody(0);
        float q[4];
        chicken->GetOrientation(q);
        const float upright[4] = {0, q[1], 0, q[3]};
        chicken->SetOrientation(upright);
        physics.Step(tavBenchScene::Frame, 0);
    }
    tavVec3 Position(int i) const override
    {
        float p[3];
        physics.GetBody((uint32_t)i)->GetPosition(p);
        return tavVec3::From(p);
    }

private:
    tavPhysics physics;
};
} // namespace

tavBenchWorld* MakeOurWorld(const tavBenchScene& scene) { return new OurWorld(scene); }
