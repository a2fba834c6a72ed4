// The game's rules: the first half of every frame, and the keys.
#include "GameScene.h"

namespace
{
// Vertical speeds (units per second) between which a jump is allowed: the
// chicken stands, or has just begun to fall off an edge.
const float JumpLowest = -11.0f;
const float JumpHighest = 1.0f;
const float JumpImpulse[3] = {0.0f, 1100.0f, 0.0f};
// Rising faster than this, the legs stop walking.
const float RisingWalkLimit = 10.0f;
// Where the eye rides: (0, 20, -300) moved by (0, 50, 30) before the
// chicken's turn, so 70 above and 270 behind it.
const D3DXVECTOR3 EyeOffset(0.0f, 20.0f, -300.0f);
const D3DXVECTOR3 EyeLift(0.0f, 50.0f, 30.0f);
const D3DXVECTOR3 LookAtLift(0.0f, 50.0f, 0.0f);
} // namespace

HRESULT GameScene::Render()
{
    const uint32_t now = engine->GetMilliseconds();
    const float seconds = float(engine->GetFrameTime());
    // 1.-2.
    caustics.Update(now);
    physics.Step(seconds, 0);
    // 3.
    PlayIdleSound(now);
    // 4.
    KeepUpright();
    // 5.
    if (alive) FollowChicken();
    // 6.
    return DrawFrame(seconds);
}

void GameScene::PlayIdleSound(uint32_t now)
{
    // The clock runs on after a loss; only the clucks stop.
    if (now <= nextIdleTime) return;
    nextIdleTime = now + uint32_t(engine->RandomInt(300, 750));
    if (alive) engine->PlaySound(sndIdle[engine->RandomInt(2, 6) - 2], false);
}

void GameScene::KeepUpright()
{
    // Contacts may tip the ball over; the chicken keeps only its heading.
    if (tavRigidBody* body = physics.GetBody(uint32_t(player.body)))
    {
        const float upright[4] = {0.0f, player.orientation.y, 0.0f, player.orientation.w};
        body->SetOrientation(upright);
    }
    player.orientation.x = player.orientation.z = 0.0f;
}

void GameScene::EyeBehind(const D3DXVECTOR3& position, const D3DXQUATERNION& orientation,
                          D3DXVECTOR3& eye) const
{
    D3DXMATRIX lift, rotation, placement;
    D3DXMatrixTranslation(&lift, EyeLift.x, EyeLift.y, EyeLift.z);
    D3DXMatrixRotationQuaternion(&rotation, &orientation);
    D3DXMatrixTranslation(&placement, position.x, position.y, position.z);
    D3DXMatrixMultiply(&lift, &lift, &rotation);
    D3DXMatrixMultiply(&lift, &lift, &placement);
    D3DXVec3TransformCoord(&eye, &EyeOffset, &lift);
}

void GameScene::FollowChicken()
{
    tavRigidBody* body = physics.GetBody(uint32_t(player.body));
    if (!body) return;
    // 1.-3. The body leads; the keys alone move the chicken sideways.
    body->GetPosition(&player.position.x);
    body->GetOrientation(&player.orientation.x);
    body->GetLinearVelocity(&player.velocity.x);
    const float fall[3] = {0.0f, player.velocity.y, 0.0f};
    body->SetLinearVelocity(fall);
    D3DXQuaternionNormalize(&player.orientation, &player.orientation);
    // 4.
    D3DXVECTOR3 eye;
    EyeBehind(player.position, player.orientation, eye);
    // 5. The egg first: touching it while falling into the sea still pops.
    const D3DXVECTOR3 toEgg = player.position - egg.position;
    if (D3DXVec3Length(&toEgg) < EggTouch)
    {
        engine->PlaySound(sndPop, false);
        alive = false;
        Burst();
        return;
    }
    // 6. Drowned: the eye stays just above the water, looking at the body.
    if (eye.y < 0.0f)
    {
        alive = false;
        eye.y += 10.0f;
        engine->SetPosition(eye);
        engine->SetTarget(player.position);
        engine->PlaySound(sndSplash, false);
        return;
    }
    // 7.
    engine->SetPosition(eye);
    engine->SetTarget(player.position + LookAtLift);
}

void GameScene::Burst()
{
    for (int i = 0; i < BloodDrops; ++i)
    {
        // Braced lists: the random numbers are drawn x, y, z in order.
        const float at[3] = {player.position.x + engine->RandomFloat(-2.0f, 2.0f),
                             player.position.y + engine->RandomFloat(0.0f, 10.0f),
                             player.position.z + engine->RandomFloat(-2.0f, 2.0f)};
        const int32_t drop = physics.AddSphere(at, 20.0f, 1.0f, 0.0001f, 0.0f, true);
        tavRigidBody* body = physics.GetBody(uint32_t(drop));
        if (!body) continue;
        const float impulse[3] = {engine->RandomFloat(-50.0f, 50.0f),
                                  engine->RandomFloat(20.0f, 200.0f),
                                  engine->RandomFloat(-50.0f, 50.0f)};
        body->ApplyImpulse(impulse);
        const float spin[3] = {engine->RandomFloat(-150.0f, 150.0f),
                               engine->RandomFloat(-150.0f, 150.0f),
                               engine->RandomFloat(-150.0f, 150.0f)};
        body->SetAngularVelocity(spin);
    }
}

void GameScene::OnKey(uint32_t action, int32_t state)
{
    switch (action)
    {
    case ActionForward:
        Walk(WalkSpeed, state);
        break;
    case ActionBackward:
        Walk(-WalkSpeed, state);
        break;
    case ActionTurnLeft:
        Turn(-1.0f);
        break;
    case ActionTurnRight:
        Turn(1.0f);
        break;
    case ActionJump:
        Jump(state);
        break;
    case ActionQuit:
        engine->Quit();
        break;
    default: // E and anything unknown
        break;
    }
}

void GameScene::Walk(float speed, int32_t state)
{
    // Every event moves, the release included; movement works on whatever
    // body the chicken handle names, lost game or not.
    tavRigidBody* body = physics.GetBody(uint32_t(player.body));
    if (!body) return;
    const float seconds = float(engine->GetFrameTime());
    D3DXQUATERNION facing;
    body->GetOrientation(&facing.x);
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &facing);
    const D3DXVECTOR3 ahead(0.0f, 0.0f, speed);
    D3DXVECTOR3 step;
    D3DXVec3TransformCoord(&step, &ahead, &rotation);
    body->GetPosition(&player.position.x);
    player.position += step * seconds;
    body->SetPosition(&player.position.x);

    if (!chicken) return;
    float velocity[3];
    body->GetLinearVelocity(velocity);
    if (state == TAV_RELEASED || velocity[1] > RisingWalkLimit)
        chicken->walk.SetValue(0.0f);
    else
        chicken->walk.Update(seconds);
}

void GameScene::Turn(float sign)
{
    D3DXQUATERNION step(0.0f, sign * float(engine->GetFrameTime()), 0.0f, 1.0f);
    D3DXQuaternionNormalize(&step, &step);
    D3DXQuaternionMultiply(&player.orientation, &player.orientation, &step);
    if (tavRigidBody* body = physics.GetBody(uint32_t(player.body)))
    {
        const float upright[4] = {0.0f, player.orientation.y, 0.0f, player.orientation.w};
        body->SetOrientation(upright);
    }
    player.orientation.x = player.orientation.z = 0.0f;
}

void GameScene::Jump(int32_t state)
{
    if (!alive)
    {
        Restart();
        return;
    }
    tavRigidBody* body = physics.GetBody(uint32_t(player.body));
    if (!body) return;
    float velocity[3];
    body->GetLinearVelocity(velocity);
    if (velocity[1] <= JumpLowest || velocity[1] >= JumpHighest) return;
    const float still[3] = {0.0f, 0.0f, 0.0f};
    body->SetLinearVelocity(still);
    body->ApplyImpulse(JumpImpulse);
    // The release that follows each press tries again, silently.
    if (state == TAV_PRESSED) engine->PlaySound(sndJumped, false);
}

void GameScene::Restart()
{
    // Queued once: from here the engine draws the loading screen and
    // switches at the end of this loop pass.
    if (!engine->IsSceneReady()) return;
    GameScene* next = tavNewScene<GameScene>(engine);
    if (next)
        engine->SetNextScene(next);
    else
        engine->Write("<font color=\"red\">No memory for a new game.</font>");
}
