// The level can be completed through the real key handling: a scripted
// player walks the content's route (tools/assetgen LevelDesign::Route) from
// the start to the egg with W, A, D and Space only, on the real physics, and
// bursts the egg. No teleporting.
#include "GameHost.h"

#include "LevelDesign.h"

#include <cmath>
#include <deque>

namespace
{
const float Pi = 3.14159265f;
// One A or D event at 60 frames a second: q = (0, 1/60, 0, 1).
const float TurnStep = 2.0f * std::atan(1.0f / 60.0f);

float Wrap(float angle)
{
    while (angle > Pi)
        angle -= 2.0f * Pi;
    while (angle < -Pi)
        angle += 2.0f * Pi;
    return angle;
}

// Which of A and D is down in one poll (0: neither).
using TurnKeys = std::deque<uint8_t>;

// Polls that turn by `steps` events: a key pressed, held and let go gives
// one event per poll plus one for the release, so two events at least; a
// single step is three one way and two back.
TurnKeys PlanTurn(int steps)
{
    TurnKeys plan;
    const uint8_t key = steps > 0 ? DIK_D : DIK_A, back = steps > 0 ? DIK_A : DIK_D;
    const int n = std::abs(steps);
    if (n == 1)
    {
        plan.insert(plan.end(), {key, key, 0, back, 0});
        return plan;
    }
    plan.insert(plan.end(), size_t(n - 1), key);
    plan.push_back(0);
    return plan;
}
} // namespace

class GameRoute : public GameTest
{
protected:
    // Walks (or jumps towards) one route point; false when the walk ended
    // there (the chicken drowned, burst, or gave up).
    bool WalkStep(const assetgen::LevelRouteStep& step, std::string& why)
    {
        bool jumped = step.kind != assetgen::LevelRouteStep::Jump;
        bool aimed = false;
        TurnKeys turning;
        for (int frame = 0; frame < 60 * 30; ++frame)
        {
            const D3DXVECTOR3& p = Scene()->GetPlayer().position;
            const float dx = step.x - p.x, dz = step.z - p.z;
            const float distance = std::hypot(dx, dz);
            const bool standing = Speed(1) > -11.0f && Speed(1) < 1.0f;
            if (jumped && distance < 10.0f && standing) return true;

            const float error = Wrap(std::atan2(dx, dz) - Heading());
            if (turning.empty())
            {
                const int steps = int(std::lround(error / TurnStep));
                if (steps != 0 && distance >= 10.0f) turning = PlanTurn(steps);
            }
            LetGo(DIK_A);
            LetGo(DIK_D);
            if (!turning.empty())
            {
                if (turning.front()) Hold(turning.front());
                turning.pop_front();
            }
            aimed = aimed || (turning.empty() && std::fabs(error) < 0.6f * TurnStep);
            if (!jumped && aimed)
                Hold(DIK_SPACE);
            else
                LetGo(DIK_SPACE);
            if (distance >= 10.0f && std::fabs(error) < 0.3f && (jumped || aimed))
                Hold(DIK_W);
            else
                LetGo(DIK_W);

            Frame();
            if (!jumped && Speed(1) > 100.0f)
            {
                jumped = true;
                ++jumps;
            }
            if (!Scene()->IsAlive())
            {
                why = "the game ended";
                return false;
            }
        }
        why = "gave up";
        return false;
    }

    int jumps = 0;
};

TEST_F(GameRoute, KeysAloneWalkAndJumpFromTheStartToTheEggAndBurstIt)
{
    ClipPicture(); // only the rules matter here
    ASSERT_TRUE(Settle());
    const std::vector<assetgen::LevelRouteStep> route = assetgen::LevelDesign::Route();
    size_t done = 0;
    std::string why;
    while (done < route.size() && WalkStep(route[done], why))
        ++done;
    for (uint8_t key : {DIK_W, DIK_A, DIK_D, DIK_SPACE})
        LetGo(key);
    const D3DXVECTOR3 at = Scene()->GetPlayer().position;
    ASSERT_FALSE(Scene()->IsAlive()) << "the walk stopped at route step " << done + 1 << " (" << why
                                     << ") at (" << at.x << ", " << at.y << ", " << at.z << ")";
    EXPECT_EQ(done, route.size() - 1) << "the game ended before the last route step";
    EXPECT_EQ(Scene()->GetPhysics().GetBodyCount(), 51u) << "it drowned instead";
    EXPECT_EQ(StartedSinceLoad(Scene()->GetPopSound()), 1);
    EXPECT_EQ(StartedSinceLoad(Scene()->GetSplashSound()), 0);
    EXPECT_EQ(jumps, 9);
    std::printf("route walked with %d jumps\n", jumps);
}
