// The yardstick: the same scene in Bullet, set up as closely as the two
// engines allow (same shapes, masses, gravity, friction and restitution
// after Bullet's product rule, rolling resistance, one step of the frame's
// length with its default ten solver iterations, the chicken never asleep,
// continuous collision for fast drops).

#include "tavBenchScene.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
class BulletWorld : public tavBenchWorld
{
public:
    explicit BulletWorld(const tavBenchScene& scene)
        : dispatcher(&configuration),
          world(&dispatcher, &broadphase, &solver, &configuration),
          ball(10.0f)
    {
        world.setGravity(btVector3(0, -100, 0));
        mesh.reset(new btTriangleIndexVertexArray(
            (int)scene.indices.size() / 3, const_cast<int*>(scene.indices.data()), 3 * sizeof(int),
            (int)scene.vertices.size() / 3, const_cast<float*>(scene.vertices.data()),
            3 * sizeof(float)));
        levelShape.reset(new btBvhTriangleMeshShape(mesh.get(), true));
        // Bullet multiplies the two frictions and restitutions; ours takes
        // their mean: sqrt(5) and sqrt(0.1) on both sides give 5 and 0.1.
        const float friction = std::sqrt(5.0f), restitution = std::sqrt(0.1f);
        level.reset(new btRigidBody(0, nullptr, levelShape.get()));
        level->setFriction(friction);
        level->setRestitution(restitution);
        world.addRigidBody(level.get());

        Add(scene.chicken, 5.0f, 0.0f);
        bodies[0]->setActivationState(DISABLE_DEACTIVATION);
        for (const tavBenchScene::Drop& d : scene.drops)
        {
            btRigidBody* b = Add(d.position, 1.0f, 0.0001f);
            b->applyCentralImpulse(btVector3(d.impulse.x, d.impulse.y, d.impulse.z));
            b->setAngularVelocity(btVector3(d.spin.x, d.spin.y, d.spin.z));
        }
        (void)friction;
        (void)restitution;
    }
    ~BulletWorld() override
    {
        for (auto& b : bodies)
            world.removeRigidBody(b.get());
        world.removeRigidBody(level.get());
    }
    void Frame() override
    {
        btTransform t = bodies[0]->getWorldTransform();
        const btQuaternion q = t.getRotation();
        t.setRotation(btQuaternion(0, q.y(), 0, q.w()).normalized());
        bodies[0]->setWorldTransform(t);
        world.stepSimulation(tavBenchScene::Frame, 0);
    }
    tavVec3 Position(int i) const override
    {
        const btVector3& p = bodies[(size_t)i]->getWorldTransform().getOrigin();
        return tavVec3(p.x(), p.y(), p.z());
    }

private:
    btRigidBody* Add(const tavVec3& at, float mass, float angularDamping)
    {
        btVector3 inertia;
        ball.calculateLocalInertia(mass, inertia);
        btTransform t;
        t.setIdentity();
        t.setOrigin(btVector3(at.x, at.y, at.z));
        btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, &ball, inertia);
        info.m_startWorldTransform = t;
        info.m_friction = std::sqrt(5.0f);
        info.m_restitution = std::sqrt(0.1f);
        // Ours resists rolling with a fifth of the friction times the radius
        // (1.0 x 10); Bullet's combined rolling friction is rolling x the
        // other's friction.
        info.m_rollingFriction = 10.0f / std::sqrt(5.0f);
        info.m_spinningFriction = 10.0f / std::sqrt(5.0f);
        info.m_angularDamping = angularDamping;
        bodies.emplace_back(new btRigidBody(info));
        btRigidBody* b = bodies.back().get();
        b->setCcdMotionThreshold(10.0f);
        b->setCcdSweptSphereRadius(9.0f);
        world.addRigidBody(b);
        return b;
    }

    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher;
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world;
    btSphereShape ball;
    std::unique_ptr<btTriangleIndexVertexArray> mesh;
    std::unique_ptr<btBvhTriangleMeshShape> levelShape;
    std::unique_ptr<btRigidBody> level;
    std::vector<std::unique_ptr<btRigidBody>> bodies;
};
} // namespace

tavBenchWorld* MakeBulletWorld(const tavBenchScene& scene) { return new BulletWorld(scene); }
