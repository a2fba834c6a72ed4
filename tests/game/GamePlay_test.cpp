// Playing the game through its keys, in one sitting: a jump and the jumps
// refused while rising, walking and turning, E and Escape, the egg, the sea,
// the text of a lost game and Space building a fresh one.
#include "GameHost.h"

#include "support/DrawCallCounter.h"
#include "support/TestFiles.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
const float Pi = 3.14159265f;
// The angle of one turn event at 60 frames a second: q = (0, 1/60, 0, 1).
const float TurnStep = 2.0f * std::atan(1.0f / 60.0f);
// Open sky far above the level: nothing to touch for hundreds of units.
const D3DXVECTOR3 HighUp(0.0f, 3000.0f, 0.0f);
const D3DXVECTOR3 Deep(0.0f, -200.0f, 0.0f);

float Horizontal(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Subsets that hold faces: one draw call each.
long DrawnSubsets(tavMeshModel* model)
{
    DWORD entries = 0;
    if (!model || !model->GetMesh()) return 0;
    model->GetMesh()->GetAttributeTable(nullptr, &entries);
    std::vector<D3DXATTRIBUTERANGE> table(entries);
    if (entries) model->GetMesh()->GetAttributeTable(table.data(), &entries);
    long drawn = 0;
    for (const D3DXATTRIBUTERANGE& range : table)
        drawn += range.FaceCount > 0 && range.AttribId < model->GetMaterialCount();
    return drawn;
}

bool IsRed(uint32_t p)
{
    return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80;
}

// A scene's address as the log writes it.
std::string Address(const void* scene)
{
    return std::to_string(reinterpret_cast<intptr_t>(scene));
}
} // namespace

class GamePlay : public GameTest
{
protected:
    const GameObjectState& Player() const { return Scene()->GetPlayer(); }
    // Stages a touch: the egg put `distance` to the +x side of the chicken
    // hanging still in open sky, then one frame, its draws counted.
    void TouchEggAt(float distance, DrawCallCounter& draws)
    {
        Place(HighUp);
        Frame();
        const D3DXVECTOR3 at = Player().position;
        Scene()->GetEgg().position = D3DXVECTOR3(at.x + distance, at.y, at.z);
        Place(at);
        draws.Reset();
        Frame();
    }
    // Walks with `key` held for `frames` polls, then lets go (the release
    // moves once more) and lets `after` passes go by.
    void Walk(uint8_t key, int frames, int after = 2)
    {
        Hold(key);
        Frames(frames);
        LetGo(key);
        Frames(after);
    }
    // Idle clucks started since the current game loaded.
    int Clucks() const
    {
        int n = 0;
        for (int i = 0; i < GameScene::IdleSounds; ++i)
            n += StartedSinceLoad(Scene()->GetIdleSound(i));
        return n;
    }
    // Where "Game Over! Press Space!" goes: (400, 800) of the 1280 x 1024
    // layout, y upward, the glyphs rising from 25 points below.
    int TextCount(const TestImage& image) const
    {
        const int left = int(400.0f / 1280.0f * float(image.width));
        const int baseline = int(image.height) - int(800.0f / 1024.0f * float(image.height)) + 25;
        return image.Count(left, baseline - 40, left + 500, baseline + 5, IsRed);
    }
    // Space pressed after a loss: a fresh game, its chicken the world's
    // only body, and the log saying the old scene went.
    void SpaceStartsAFreshGame()
    {
        GameScene* old = Scene();
        const std::string oldAddress = Address(old);
        Hold(DIK_SPACE);
        Frame();
        LetGo(DIK_SPACE);
        EXPECT_FALSE(engine->IsSceneReady()) << "Space queued no new game";
        ASSERT_TRUE(WaitForNewScene(old));
        GameScene* fresh = Scene();
        EXPECT_TRUE(fresh->IsAlive());
        EXPECT_EQ(fresh->GetPlayer().body, 0);
        ASSERT_NE(fresh->GetPhysics().GetWorld(), nullptr);
        EXPECT_EQ(fresh->GetPhysics().GetBodyCount(), 1u);
        float p[3];
        fresh->GetPhysics().GetBody(0)->GetPosition(p);
        EXPECT_GT(p[1], 40.0f);
        std::string missing;
        EXPECT_TRUE(ContainsInOrder(
            Log(), {"Destroyed scene " + oldAddress, "Loaded scene " + Address(fresh)}, &missing))
            << "log lacks " << missing;
        ASSERT_TRUE(Settle()) << "the chicken of the fresh game never came to rest";
    }
};

TEST_F(GamePlay, JumpWalkTurnBurstDrownRestartAndQuitInOneSitting)
{
    ClipPicture(); // only Picture() draws the whole screen
    ASSERT_TRUE(Settle()) << "the chicken never came to rest on the start floor";
    const D3DXVECTOR3 home = Player().position;
    const int redBefore = TextCount(Picture());
    EXPECT_LT(redBefore, 20);

    // Space: a jump with its sound, refused while rising.
    Frames(60); // past the binding's first repeat delay
    Hold(DIK_SPACE);
    Frame();
    EXPECT_TRUE(StartedInLastPass(Scene()->GetJumpedSound()));
    Frame(); // the body has taken the impulse: 1100 / mass 5
    EXPECT_GT(Speed(1), 200.0f);
    EXPECT_LT(Speed(1), 220.0f);
    const float rising = Speed(1);
    // Held: the released state follows on the next poll and tries silently;
    // the chicken is rising, so it is refused (the speed is not reset).
    Frame();
    EXPECT_LT(Speed(1), rising);
    EXPECT_FALSE(StartedInLastPass(Scene()->GetJumpedSound()));
    // The held key's repeat a second later, still rising fast: refused.
    Frames(58);
    ASSERT_GT(Speed(1), 1.0f);
    float before = Speed(1);
    Frames(2);
    EXPECT_LT(Speed(1), before);
    // Still held, the third press comes a second after that repeat's
    // release, about 2.05 s in, near the top (rising at about 15): refused
    // too, so the speed goes on falling.
    ASSERT_TRUE(FramesUntil([&] { return Speed(1) < 30.0f; }, 120)); // about 1.9 s in
    before = Speed(1);
    Frames(30);
    EXPECT_LT(Speed(1), before) << "a press while rising jumped again";
    EXPECT_EQ(StartedSinceLoad(Scene()->GetJumpedSound()), 1);
    LetGo(DIK_SPACE);
    // A released state on the ground still jumps, without the sound.
    ASSERT_TRUE(Settle(900));
    Scene()->OnKey(GameScene::ActionJump, TAV_RELEASED);
    Frame();
    EXPECT_GT(Speed(1), 200.0f);
    EXPECT_FALSE(StartedInLastPass(Scene()->GetJumpedSound()));
    ASSERT_TRUE(Settle(900));

    // W and S walk 200 units a second; the legs move and stop with the key.
    const D3DXVECTOR3 start = Player().position;
    Hold(DIK_W);
    Frames(60); // one second: the pressed event and 59 held ones
    EXPECT_NEAR(Player().position.z - start.z, 200.0f, 0.5f);
    EXPECT_NE(Scene()->GetChicken()->walk.Value(), 0.0f) << "the legs did not move";
    LetGo(DIK_W);
    Frames(3); // the release moves one more frame's step, then nothing
    EXPECT_NEAR(Player().position.z - start.z, 200.0f + 200.0f / 60, 0.5f);
    EXPECT_NEAR(Player().position.x, start.x, 0.01f);
    EXPECT_EQ(Scene()->GetChicken()->walk.Value(), 0.0f) << "the release resets the walk";
    Walk(DIK_S, 30);
    EXPECT_NEAR(Player().position.z - start.z, 200.0f - 100.0f, 0.5f);

    // E does nothing.
    const D3DXVECTOR3 at = Player().position;
    const D3DXQUATERNION facing = Player().orientation;
    Tap(DIK_E);
    Frames(2);
    EXPECT_TRUE(Scene()->IsAlive());
    EXPECT_NEAR(Horizontal(Player().position, at), 0.0f, 1e-3f);
    EXPECT_EQ(Player().orientation, facing);
    EXPECT_FALSE(engine->IsQuitting());

    // D turns right and A left, one step a poll; walking follows the turn.
    Place(home);
    ASSERT_TRUE(Settle());
    Walk(DIK_D, 30); // the release turns once more
    EXPECT_NEAR(Heading(), 31 * TurnStep, 1e-3f);
    const D3DXVECTOR3 turned = Player().position;
    Walk(DIK_W, 30);
    EXPECT_NEAR(std::atan2(Player().position.x - turned.x, Player().position.z - turned.z),
                31 * TurnStep, 0.01f);
    // The body stays upright whatever the turns.
    EXPECT_EQ(Player().orientation.x, 0.0f);
    EXPECT_EQ(Player().orientation.z, 0.0f);
    Walk(DIK_A, 61);
    EXPECT_NEAR(Heading(), -31 * TurnStep, 1e-3f);
    EXPECT_LT(Heading(), 0.0f);
    EXPECT_GT(Heading(), -Pi / 2);

    // The egg bursts the chicken only closer than fifteen.
    {
        DrawCallCounter draws(engine->GetDevice());
        ASSERT_TRUE(draws.IsHooked());
        TouchEggAt(15.0f, draws);
        const long aliveDraws = draws.Count();
        EXPECT_TRUE(Scene()->IsAlive()) << "burst at exactly fifteen";
        EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 1u);
        EXPECT_FALSE(StartedInLastPass(Scene()->GetPopSound()));

        TouchEggAt(14.99f, draws); // alive when its rules start: the burst comes before the drawing
        const long lostDraws = draws.Count();
        ASSERT_FALSE(Scene()->IsAlive());
        EXPECT_TRUE(StartedInLastPass(Scene()->GetPopSound()));
        EXPECT_FALSE(StartedInLastPass(Scene()->GetSplashSound()));
        // The lost frame drew no egg and no chicken, but fifty drops and the
        // line of text (one batch of glyphs).
        const long egg = DrawnSubsets(Scene()->GetEggMesh());
        const long chicken = DrawnSubsets(Scene()->GetChicken());
        const long drop = DrawnSubsets(Scene()->GetBloodMesh());
        ASSERT_EQ(chicken, 9);
        EXPECT_EQ(lostDraws, aliveDraws - egg - chicken + 50 * drop + 1);
    }
    // Handles 1 to 50, drops of mass 1 around the chicken; they fly up, then fall.
    const D3DXVECTOR3 burstAt = Player().position;
    tavPhysics& physics = Scene()->GetPhysics();
    ASSERT_EQ(physics.GetBodyCount(), 51u);
    EXPECT_EQ(physics.GetBody(0)->GetKind(), 0);
    float p[3];
    for (uint32_t h = 1; h <= 50; ++h)
    {
        ASSERT_NE(physics.GetBody(h), nullptr);
        EXPECT_EQ(physics.GetBody(h)->GetKind(), 1);
        EXPECT_FLOAT_EQ(physics.GetBody(h)->GetMass(), 1.0f);
        physics.GetBody(h)->GetPosition(p);
        EXPECT_LT(Horizontal(D3DXVECTOR3(p[0], p[1], p[2]), burstAt), 10.0f);
    }
    auto meanHeight = [&]
    {
        float sum = 0;
        for (uint32_t h = 1; h <= 50; ++h)
        {
            physics.GetBody(h)->GetPosition(p);
            sum += p[1];
        }
        return sum / 50;
    };
    const float burst = meanHeight();
    Frames(30);
    const float up = meanHeight();
    EXPECT_GT(up, burst + 20.0f);
    Frames(150);
    EXPECT_LT(meanHeight(), up - 100.0f);

    // Space builds a fresh game, whose keys are bound: W walks.
    SpaceStartsAFreshGame();
    const float z = Player().position.z;
    Walk(DIK_W, 30, 1);
    EXPECT_NEAR(Player().position.z - z, 31 * 200.0f / 60, 0.5f);

    // Backwards off the island into the sea: a splash, no blood, the text.
    Hold(DIK_S);
    ASSERT_TRUE(FramesUntil([&] { return !Scene()->IsAlive(); }, 1200));
    LetGo(DIK_S);
    EXPECT_TRUE(StartedInLastPass(Scene()->GetSplashSound()));
    EXPECT_FALSE(StartedInLastPass(Scene()->GetPopSound()));
    // The eye had gone under: the camera stays 10 above where it was,
    // looking at the body.
    const D3DXVECTOR3 body = Player().position;
    EXPECT_LT(body.y + 70.0f, 0.0f);
    D3DXVECTOR3 eye, target;
    engine->GetPosition(eye);
    engine->GetTarget(target);
    EXPECT_LT(eye.y, 10.0f);
    EXPECT_GE(eye.y, 0.0f);
    // (the held S moved the body once more after the frame)
    const D3DXVECTOR3 apart = target - body;
    EXPECT_LT(D3DXVec3Length(&apart), 200.0f / 60 + 0.01f);
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 1u) << "no blood in the sea";
    const TestImage lost = Picture();
    EXPECT_GT(TextCount(lost), 200) << "no red text where \"Game Over! Press Space!\" goes";
    EXPECT_GT(TextCount(lost), redBefore + 150);
    // The clucks stop, their timer runs on.
    const int clucksBefore = Clucks();
    EXPECT_GT(clucksBefore, 0) << "no idle cluck while the chicken lived";
    std::vector<uint32_t> timers;
    for (int i = 0; i < 180; ++i)
    {
        Frame();
        if (timers.empty() || timers.back() != Scene()->GetNextIdleTime())
            timers.push_back(Scene()->GetNextIdleTime());
    }
    EXPECT_GE(timers.size(), 3u);
    EXPECT_EQ(Clucks(), clucksBefore);

    // The egg under the sea and the chicken at it: in the same frame the
    // eye is under water and the egg within reach. The egg wins.
    SpaceStartsAFreshGame();
    Scene()->GetEgg().position = Deep;
    Place(Deep);
    Frame();
    ASSERT_FALSE(Scene()->IsAlive());
    EXPECT_TRUE(StartedInLastPass(Scene()->GetPopSound()));
    EXPECT_FALSE(StartedInLastPass(Scene()->GetSplashSound()));
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 51u);
    Frames(30);
    EXPECT_EQ(StartedSinceLoad(Scene()->GetSplashSound()), 0);

    // Escape quits.
    Hold(DIK_ESCAPE);
    EXPECT_FALSE(Frame() && Frame());
    EXPECT_TRUE(engine->IsQuitting());
}
