// Device resets in a row in the running game, the console open over it (each
// reset hides it) and the fader half across the screen: everything in the
// default pool (textures, the font sheet, the console panel, the fader's
// quad, the meshes' buffers) must come back as it was.
#include "GameHost.h"

#include "console/tavFader.h"

#include <algorithm>
#include <string>
#include <vector>

using GameDeviceLoss = GameTest;

TEST_F(GameDeviceLoss, ResetsInARowBringEveryDeviceObjectBack)
{
    const int Resets = 10;
    // The frame as the engine lays it (the scene, the console last, the fader
    // over it), read back before the present.
    auto frame2D = [&]
    {
        IDirect3DDevice9* device = engine->GetDevice();
        TestImage image;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        Scene()->Render();
        engine->Begin2D();
        engine->GetFader()->Draw();
        device->EndScene();
        ReadBackBuffer(device, image);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return image;
    };
    auto differences = [](const TestImage& a, const TestImage& b)
    {
        int n = 0;
        for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
            n += (a.pixels[i] & 0xFFFFFF) != (b.pixels[i] & 0xFFFFFF);
        return n;
    };
    auto loaded = [&]
    {
        std::vector<bool> v;
        for (int i = 0; i < engine->GetTextureCount(); ++i)
            v.push_back(engine->IsTextureLoaded(i));
        return v;
    };
    auto reportEntries = [&]
    {
        const size_t from = engine->GetLines().size();
        engine->ReportTexturePool();
        std::vector<std::string> entries;
        for (size_t i = from; i < engine->GetLines().size(); ++i)
            if (engine->GetLines()[i].text.rfind("#", 0) == 0)
                entries.push_back(engine->GetLines()[i].text);
        return entries;
    };
    ASSERT_TRUE(Settle());
    engine->Toggle();
    ASSERT_TRUE(engine->IsShown());
    tavFader* fader = engine->GetFader();
    ASSERT_TRUE(fader && fader->IsValid());
    fader->SetColour(255, 0, 0);
    fader->SetAlpha(96);
    const std::vector<std::string> entriesBefore = reportEntries();
    ASSERT_FALSE(entriesBefore.empty());
    const std::vector<bool> loadedBefore = loaded();
    ASSERT_GT(std::count(loadedBefore.begin(), loadedBefore.end(), true), 40);

    // The clock all but stopped: the egg, the sea and the caret stay put, so
    // two pictures differ only where the turning sea meets the land.
    engine->SetTimeScale(0.0f);
    Frame();
    const TestImage first = frame2D(), before = frame2D();
    const int still = differences(first, before);
    ASSERT_LT(still, 2000) << "the picture moves with the clock stopped";

    const size_t logBefore = Log().size();
    int hidden = 0;
    for (int i = 0; i < Resets; ++i)
    {
        ASSERT_EQ(engine->ResetDevice(), S_OK) << "reset " << i;
        hidden += !engine->IsShown();
        engine->Toggle();
    }
    EXPECT_EQ(hidden, Resets);
    const std::string log = Log().substr(logBefore);
    for (const char* line : {"Objects Invalidated...", "Objects reinitialized..."})
    {
        int n = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++n;
        EXPECT_EQ(n, Resets) << line;
    }
    // A texture, the font sheet, the panel or the quad not back changes tens
    // of thousands of pixels.
    const TestImage after = frame2D();
    ASSERT_EQ(after.pixels.size(), before.pixels.size());
    EXPECT_LE(differences(before, after), 2 * still + 100);
    EXPECT_EQ(loaded(), loadedBefore);
    EXPECT_EQ(reportEntries(), entriesBefore);
    // And the game plays on: W still walks the chicken.
    engine->Toggle();
    engine->SetTimeScale(1.0f);
    const float z = Scene()->GetPlayer().position.z;
    Hold(DIK_W);
    Frames(30);
    LetGo(DIK_W);
    Frame();
    EXPECT_GT(Scene()->GetPlayer().position.z - z, 20.0f);
}
