// Playing the game through its keys: walking, turning, jumping, the egg,
// the sea, and what E and Escape do.
#include "GameHost.h"

#include "support/DrawCallCounter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
const float Pi = 3.14159265f;
// The angle of one turn event at 60 frames a second: q = (0, 1/60, 0, 1).
const float TurnStep = 2.0f * std::atan(1.0f / 60.0f);

// Open sky far above the level: nothing to touch for hundreds of units.
const D3DXVECTOR3 HighUp(0.0f, 3000.0f, 0.0f);

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
} // namespace

class GamePlay : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(Settle()) << "the chicken never came to rest on the start floor";
    }
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
};

TEST_F(GamePlay, WAndSWalkTwoHundredUnitsASecondEDoesNothingAndEscapeQuits)
{
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

    // S walks back the same way.
    Hold(DIK_S);
    Frames(30);
    LetGo(DIK_S);
    Frames(2);
    EXPECT_NEAR(Player().position.z - start.z, 200.0f - 100.0f, 0.5f);

    const D3DXVECTOR3 at = Player().position;
    const D3DXQUATERNION facing = Player().orientation;
    Tap(DIK_E);
    Frames(2);
    EXPECT_TRUE(Scene()->IsAlive());
    EXPECT_NEAR(Horizontal(Player().position, at), 0.0f, 1e-3f);
    EXPECT_EQ(Player().orientation, facing);
    EXPECT_FALSE(engine->IsQuitting());
    Hold(DIK_ESCAPE);
    EXPECT_FALSE(Frame() && Frame());
    EXPECT_TRUE(engine->IsQuitting());
}

TEST_F(GamePlay, DTurnsRightAndATurnsLeftOneStepPerPoll)
{
    Hold(DIK_D);
    Frames(30);
    LetGo(DIK_D);
    Frames(2); // the release turns once more
    EXPECT_NEAR(Heading(), 31 * TurnStep, 1e-3f);
    // Walking now goes to the right of where the chicken started facing.
    const D3DXVECTOR3 start = Player().position;
    Hold(DIK_W);
    Frames(30);
    LetGo(DIK_W);
    Frames(2);
    const float heading = std::atan2(Player().position.x - start.x, Player().position.z - start.z);
    EXPECT_NEAR(heading, 31 * TurnStep, 0.01f);
    // The body stays upright whatever the turns.
    EXPECT_EQ(Player().orientation.x, 0.0f);
    EXPECT_EQ(Player().orientation.z, 0.0f);

    Hold(DIK_A);
    Frames(61);
    LetGo(DIK_A);
    Frames(2);
    EXPECT_NEAR(Heading(), -31 * TurnStep, 1e-3f);
    EXPECT_LT(Heading(), 0.0f);
    EXPECT_GT(Heading(), -Pi / 2);
}

TEST_F(GamePlay, SpaceJumpsFromTheGroundWithOneSoundAndIsRefusedWhileRising)
{
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
    // The next press comes a second later, still rising: refused, silent.
    Frames(58);
    ASSERT_GT(Speed(1), 1.0f);
    const float before = Speed(1);
    Frames(2);
    EXPECT_LT(Speed(1), before);
    EXPECT_EQ(StartedSinceLoad(Scene()->GetJumpedSound()), 1);
    LetGo(DIK_SPACE);

    // A released state on the ground still jumps, without the sound.
    ASSERT_TRUE(Settle(900));
    Scene()->OnKey(GameScene::ActionJump, TAV_RELEASED);
    Frame();
    EXPECT_GT(Speed(1), 200.0f);
    EXPECT_FALSE(StartedInLastPass(Scene()->GetJumpedSound()));
}

TEST_F(GamePlay, TheEggBurstsTheChickenOnlyCloserThanFifteenIntoFiftyDropsNoLongerDrawn)
{
    DrawCallCounter draws(engine->GetDevice());
    ASSERT_TRUE(draws.IsHooked());
    // At exactly fifteen the game goes on.
    TouchEggAt(15.0f, draws);
    const long aliveDraws = draws.Count();
    EXPECT_TRUE(Scene()->IsAlive());
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 1u);
    EXPECT_FALSE(StartedInLastPass(Scene()->GetPopSound()));

    TouchEggAt(14.99f, draws); // alive when its rules start: the burst comes before the drawing
    const long lostDraws = draws.Count();
    const D3DXVECTOR3 at = Player().position;
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

    // Handles 1 to 50, drops of mass 1 around the chicken; they fly up, then fall.
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
        EXPECT_LT(Horizontal(D3DXVECTOR3(p[0], p[1], p[2]), at), 10.0f);
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
}
