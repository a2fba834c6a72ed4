// The level can be completed through the real key handling: a scripted player
// walks the content's route (LevelDesign::Route) from the start to the egg
// with W, A, D and Space only, on the real physics, and bursts the egg.
#include "GameHost.h"

#include "LevelDesign.h"

#include <cmath>
#include <deque>

using GameRoute = GameTest;

TEST_F(GameRoute, KeysAloneWalkAndJumpFromTheStartToTheEggAndBurstIt)
{
    const float Pi = 3.14159265f, TurnStep = 2.0f * std::atan(1.0f / 60.0f);
    int jumps = 0;
    std::string why;
    // Walks (or jumps towards) one route point; false when the walk ended
    // there (the chicken drowned, burst, or gave up).
    auto walkStep = [&](const assetgen::LevelRouteStep& step)
    {
        bool jumped = step.kind != assetgen::LevelRouteStep::Jump, aimed = false;
        std::deque<uint8_t> turning; // A, D or neither (0) in each poll
        for (int frame = 0; frame < 60 * 30; ++frame)
        {
            const D3DXVECTOR3& p = Scene()->GetPlayer().position;
            const float dx = step.x - p.x, dz = step.z - p.z, distance = std::hypot(dx, dz);
            if (jumped && distance < 10.0f && Speed(1) > -11.0f && Speed(1) < 1.0f) return true;
            float error = std::atan2(dx, dz) - Heading();
            error -= 2 * Pi * std::round(error / (2 * Pi));
            const int steps = int(std::lround(error / TurnStep)), n = std::abs(steps);
            // A key pressed, held and let go gives an event a poll and one for
            // the release, so two at least: a single step is three and two back.
            if (turning.empty() && steps != 0 && distance >= 10.0f)
            {
                const uint8_t key = steps > 0 ? DIK_D : DIK_A, back = steps > 0 ? DIK_A : DIK_D;
                if (n == 1)
                    turning = {key, key, 0, back, 0};
                else
                    turning.assign(size_t(n - 1), key), turning.push_back(0);
            }
            LetGo(DIK_A);
            LetGo(DIK_D);
            if (!turning.empty())
            {
                if (turning.front()) Hold(turning.front());
                turning.pop_front();
            }
            aimed = aimed || (turning.empty() && std::fabs(error) < 0.6f * TurnStep);
            !jumped&& aimed ? Hold(DIK_SPACE) : LetGo(DIK_SPACE);
            distance >= 10.0f && std::fabs(error) < 0.3f && (jumped || aimed) ? Hold(DIK_W)
                                                                              : LetGo(DIK_W);
            Frame();
            if (!jumped && Speed(1) > 100.0f) jumped = true, ++jumps;
            if (!Scene()->IsAlive()) return why = "the game ended", false;
        }
        return why = "gave up", false;
    };

    ClipPicture();
    ASSERT_TRUE(Settle());
    const std::vector<assetgen::LevelRouteStep> route = assetgen::LevelDesign::Route();
    size_t done = 0;
    while (done < route.size() && walkStep(route[done]))
        ++done;
    const D3DXVECTOR3 at = Scene()->GetPlayer().position;
    ASSERT_FALSE(Scene()->IsAlive()) << "the walk stopped at route step " << done + 1 << " (" << why
                                     << ") at (" << at.x << ", " << at.y << ", " << at.z << ")";
    EXPECT_EQ(done, route.size() - 1) << "the game ended before the last route step";
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 51u) << "it drowned instead";
    EXPECT_EQ(StartedSinceLoad(Scene()->GetPopSound()), 1);
    EXPECT_EQ(StartedSinceLoad(Scene()->GetSplashSound()), 0);
    EXPECT_EQ(jumps, 9);
}
