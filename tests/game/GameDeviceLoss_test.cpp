// Thirty device resets in a row in the running game, the console open
// over it (each reset hides it; it is opened again) and the fader half
// across the screen: everything the device held in its default pool
// (textures, the font sheet, the console panel, the fader's quad, the
// meshes' buffers) must come back as it was.
#include "GameHost.h"

#include "console/tavFader.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
// Pixels where the two pictures differ.
int Differences(const TestImage& a, const TestImage& b)
{
    int n = 0;
    for (UINT y = 0; y < a.height; ++y)
        for (UINT x = 0; x < a.width; ++x)
            n += a.At(x, y) != b.At(x, y);
    return n;
}

int Occurrences(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
} // namespace

class GameDeviceLoss : public GameTest
{
protected:
    // The console with the game's own background, so that its panel is drawn.
    void SetUp() override
    {
        CopyContent();
        settings.consoleTexture = "./base/console.tex";
        ASSERT_TRUE(StartGame()) << "the game scene did not load";
    }
    // The scene (which draws the console last) and the fader over it, as
    // one frame of the engine would lay them, read back before the present.
    TestImage Frame2D()
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
    }
    // The pool's entries, loaded or not, by number.
    std::vector<bool> LoadedTextures() const
    {
        std::vector<bool> loaded;
        for (int i = 0; i < engine->GetTextureCount(); ++i)
            loaded.push_back(engine->IsTextureLoaded(i));
        return loaded;
    }
    // The texture report's entry lines as the console holds them.
    std::vector<std::string> ReportEntries()
    {
        const size_t from = engine->GetLines().size();
        engine->ReportTexturePool();
        std::vector<std::string> entries;
        for (size_t i = from; i < engine->GetLines().size(); ++i)
            if (engine->GetLines()[i].text.rfind("#", 0) == 0)
                entries.push_back(engine->GetLines()[i].text);
        return entries;
    }
};

TEST_F(GameDeviceLoss, ThirtyResetsInARowBringEveryDeviceObjectBack)
{
    const int Resets = 30;
    ASSERT_TRUE(Settle());
    engine->Toggle();
    ASSERT_TRUE(engine->IsShown());
    tavFader* fader = engine->GetFader();
    ASSERT_NE(fader, nullptr);
    ASSERT_TRUE(fader->IsValid());
    fader->SetColour(255, 0, 0);
    fader->SetAlpha(96);
    const std::vector<std::string> entriesBefore = ReportEntries();
    ASSERT_FALSE(entriesBefore.empty());
    const std::vector<bool> loadedBefore = LoadedTextures();
    ASSERT_GT(std::count(loadedBefore.begin(), loadedBefore.end(), true), 40);

    // The clock nearly stands still from here (frames of a tenth of a
    // millisecond), so that the egg's spin, the sea and the caret stay
    // where they are: two pictures in a row differ only where the turning
    // sea meets the land, in a few hundred pixels at most.
    engine->SetTimeScale(0.0f);
    Frame();
    const TestImage first = Frame2D();
    const TestImage before = Frame2D();
    const int still = Differences(first, before);
    ASSERT_LT(still, 2000) << "the picture moves with the clock stopped";

    const size_t logBefore = Log().size();
    // Every reset hides the console; it is opened again before the next.
    int hidden = 0;
    for (int i = 0; i < Resets; ++i)
    {
        ASSERT_EQ(engine->ResetDevice(), S_OK) << "reset " << i;
        hidden += !engine->IsShown();
        engine->Toggle();
    }
    EXPECT_EQ(hidden, Resets);
    const std::string resetLog = Log().substr(logBefore);
    EXPECT_EQ(Occurrences(resetLog, "Objects Invalidated..."), Resets);
    EXPECT_EQ(Occurrences(resetLog, "Objects reinitialized..."), Resets);

    const TestImage after = Frame2D();
    ASSERT_EQ(after.width, before.width);
    ASSERT_EQ(after.height, before.height);
    // A texture, the font sheet, the panel or the fader's quad not back
    // would change tens of thousands of pixels.
    EXPECT_LE(Differences(before, after), 2 * still + 100)
        << "the picture changed over " << Resets << " resets";

    EXPECT_EQ(LoadedTextures(), loadedBefore);
    EXPECT_EQ(ReportEntries(), entriesBefore);
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
