// The fader's arithmetic on a clock the test moves.
#include "console/tavFade.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(tavFade, FadeOutReachesOpaqueOnTheFrameAfterPassing250)
{
    tavFade fade;
    ASSERT_TRUE(fade.FadeOut(10000));
    fade.Advance(10980); // 255 per second: 249.9, not yet past the threshold
    EXPECT_NEAR(fade.GetAlpha(), 249.9f, 0.01f);
    fade.Advance(10982);
    EXPECT_NEAR(fade.GetAlpha(), 250.41f, 0.01f);
    fade.Advance(11000);
    EXPECT_EQ(fade.GetAlpha(), 255.0f);
    EXPECT_FALSE(fade.IsFadingOut());
    EXPECT_FALSE(fade.IsIdle()) << "the frame that ends a fade still ran it";
    fade.Advance(11010);
    EXPECT_TRUE(fade.IsIdle());
    EXPECT_EQ(fade.Colour(), 0xFFFFFFFFu);
    EXPECT_FALSE(fade.FadeOut(12000)) << "opaque already";
}

TEST(tavFade, FadeInRunsBackToClearAndNeitherFadeInterruptsTheOther)
{
    tavFade fade;
    EXPECT_FALSE(fade.FadeIn(0)) << "clear already";
    fade.SetOpaque();
    ASSERT_TRUE(fade.FadeIn(500));
    EXPECT_FALSE(fade.FadeOut(600));
    EXPECT_FALSE(fade.FadeIn(600)) << "a running fade is not restarted";
    fade.Advance(1490);
    EXPECT_NEAR(fade.GetAlpha(), 2.55f, 0.01f);
    fade.Advance(1500);
    EXPECT_EQ(fade.GetAlpha() + fade.IsFadingIn(), 0.0f);
}

TEST(tavFade, SetDurationTwoDoublesTheTimeAndBadDurationsAreRefused)
{
    tavFade fade;
    ASSERT_TRUE(fade.SetDuration(2.0f));
    for (uint32_t start : {0u, 5000u}) // 251.2 after 1970 ms, then back
    {
        start ? fade.FadeIn(start) : fade.FadeOut(start);
        uint32_t now = start;
        while (now < start + 100000 && (now == start || fade.IsFadingIn() || fade.IsFadingOut()))
            fade.Advance(now += 10);
        EXPECT_EQ(now - start, 1980u);
    }
    for (float bad : {0.0f, -1.0f, std::nanf(""), INFINITY})
        EXPECT_FALSE(fade.SetDuration(bad)) << bad;
    EXPECT_EQ(fade.GetRate(), 127.5f);
}

TEST(tavFade, ColourIsWholeBytesAndAFadeSurvivesTheClockWrapping)
{
    tavFade fade;
    fade.SetColour(255.9f, 128.5f, -4.0f);
    fade.SetAlpha(127.7f);
    EXPECT_EQ(fade.Colour(), 0x7FFF8000u);
    fade.FadeOut(0); // SetClear and SetOpaque stop a running fade where they stand
    fade.SetOpaque();
    EXPECT_FALSE(fade.IsFadingOut());
    fade.FadeIn(0);
    fade.SetClear();
    EXPECT_FALSE(fade.IsFadingIn());
    // 0xFFFFFF00 to 0x64 is 356 ms; a long stall holds the opacity at its end.
    fade.FadeOut(0xFFFFFF00u);
    fade.Advance(0x64u);
    EXPECT_NEAR(fade.GetAlpha(), 356 * 0.255f, 0.01f);
    fade.Advance(0x64u + 60000u);
    EXPECT_EQ(fade.GetAlpha(), 255.0f);
}
