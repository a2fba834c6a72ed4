// Losing and starting again: the sea, the text, the silence of the idle
// clucks, and Space building a fresh game.
#include "GameHost.h"

#include "support/TestFiles.h"

#include <cstdint>

namespace
{
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

class GameLoss : public GameTest
{
protected:
    // Idle clucks started since the game loaded.
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
};

TEST_F(GameLoss, WalkingOffTheLevelDrownsTheChickenWithASplashAndTheText)
{
    ASSERT_TRUE(Settle());
    const int redBefore = TextCount(Picture());
    EXPECT_LT(redBefore, 20);

    // Backwards off the start island, into the sea.
    Hold(DIK_S);
    ASSERT_TRUE(FramesUntil([&] { return !Scene()->IsAlive(); }, 1200));
    LetGo(DIK_S);
    EXPECT_TRUE(StartedInLastPass(Scene()->GetSplashSound()));
    EXPECT_FALSE(StartedInLastPass(Scene()->GetPopSound()));
    // The eye had gone under: the camera stays 10 above where it was,
    // looking at the body.
    const D3DXVECTOR3 body = Scene()->GetPlayer().position;
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
}

TEST_F(GameLoss, SpaceAfterALossLoadsAFreshGame)
{
    ASSERT_TRUE(Settle());
    Place(D3DXVECTOR3(0.0f, -200.0f, 0.0f));
    Frame();
    ASSERT_FALSE(Scene()->IsAlive());
    GameScene* old = Scene();
    const std::string oldAddress = Address(old);

    Frames(60); // Space repeats once a second, counted from the binding
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
        Log(), {"Loaded scene ", "Destroyed scene " + oldAddress, "Loaded scene " + Address(fresh)},
        &missing))
        << "log lacks " << missing;
    // The new game plays: its keys are bound and W walks.
    ASSERT_TRUE(Settle());
    const float z = fresh->GetPlayer().position.z;
    Hold(DIK_W);
    Frames(30);
    LetGo(DIK_W);
    Frame();
    EXPECT_NEAR(fresh->GetPlayer().position.z - z, 31 * 200.0f / 60, 0.5f);
}

TEST_F(GameLoss, TouchingTheEggWhileFallingIntoTheSeaPopsWithoutASplash)
{
    ASSERT_TRUE(Settle());
    // The egg under the sea and the chicken at it: in the same frame the
    // eye is under water and the egg within reach. The egg wins.
    const D3DXVECTOR3 deep(0.0f, -200.0f, 0.0f);
    Scene()->GetEgg().position = deep;
    Place(deep);
    Frame();
    ASSERT_FALSE(Scene()->IsAlive());
    EXPECT_TRUE(StartedInLastPass(Scene()->GetPopSound()));
    EXPECT_FALSE(StartedInLastPass(Scene()->GetSplashSound()));
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 51u);
    Frames(30);
    EXPECT_EQ(StartedSinceLoad(Scene()->GetSplashSound()), 0);
}
