#include "SettingsFix.h"

#include "Settings.h"
#include "TestOffer.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
Settings Sound()
{
    Settings s;
    s.format = 22, s.backBuffer = 22, s.filter = 2, s.resolution = 1;
    return s;
}
} // namespace

// Each value the machine lacks is replaced, with one line naming it; what
// it can do is left alone.
TEST(SettingsFix, EachValueTheMachineLacksIsReplacedAndNamed)
{
    using S = Settings;
    const struct
    {
        std::function<void(S&)> spoil;
        std::function<bool(const S&)> fixed;
        const char* named;
    } cases[] = {
        {[](S& s) { s.adapter = 3; }, [](const S& s) { return s.adapter == 0; }, "Adapter 3"},
        {[](S& s) { s.device = 7; }, [](const S& s) { return s.device == 1; }, "Device type 7"},
        {[](S& s) { s.format = 0; }, [](const S& s) { return s.format == 22; }, "format 0"},
        {[](S& s) { s.backBuffer = 23; }, [](const S& s) { return s.backBuffer == 22; },
         "format 23"},
        // Out of range: the desktop's size, the last such mode.
        {[](S& s) { s.resolution = 57; }, [](const S& s) { return s.resolution == 3; },
         "Resolution 57"},
        {[](S& s) { s.resolution = -2; }, [](const S& s) { return s.resolution == 3; },
         "Resolution -2"},
        // 8 samples only in full screen.
        {[](S& s) { s.useAA = true, s.samples = 8, s.quality = 1; },
         [](const S& s) { return !s.useAA && s.samples == 0 && s.quality == 0; }, "8 samples"},
        {[](S& s) { s.useAA = true, s.samples = 4, s.quality = 9; },
         [](const S& s) { return s.useAA && s.quality == 3; }, "Quality 9"},
        {[](S& s) { s.useAA = true, s.samples = 4, s.quality = 0; },
         [](const S& s) { return s.useAA && s.quality == 1; }, "Quality 0"},
        {[](S& s) { s.useAA = true, s.samples = 0; }, [](const S& s) { return !s.useAA; },
         "without"},
        {[](S& s) { s.filter = 3; }, [](const S& s) { return s.filter == 2; }, "Filter 3"},
        {[](S& s) { s.filter = -1; }, [](const S& s) { return s.filter == 0; }, "Filter -1"},
        {[](S& s) { s.channels = 900; }, [](const S& s) { return s.channels == MaxChannels; },
         "Channels 900"},
        {[](S& s) { s.channels = 0; }, [](const S& s) { return s.channels == MinChannels; },
         "Channels 0"},
        {[](S& s) { s.hasPure = true; }, [](const S& s) { return !s.hasPure; }, "pure"},
    };
    const MachineOffer offer = TestOffer();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.named);
        Settings s = Sound();
        c.spoil(s);
        const std::vector<std::string> notes = FixSettings(s, offer);
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find(c.named), std::string::npos) << notes[0];
        EXPECT_TRUE(c.fixed(s));
    }

    std::vector<Settings> good(3, Sound());
    good[1].resolution = -1, good[1].useAA = true, good[1].samples = 4, good[1].quality = 3;
    good[2].fullScreen = true, good[2].useAA = true, good[2].samples = 8, good[2].quality = 1;
    for (const Settings& before : good)
    {
        Settings s = before;
        EXPECT_TRUE(FixSettings(s, offer).empty());
        EXPECT_EQ(
            (std::vector<int>{s.resolution, s.useAA, s.samples, s.quality}),
            (std::vector<int>{before.resolution, before.useAA, before.samples, before.quality}));
    }
}

// A new display format keeps a resolution index only if its own list has
// it, and the back buffer follows the format.
TEST(SettingsFix, ChangingTheFormatBringsItsDependentsAlong)
{
    Settings s = Sound();
    s.format = 23;
    s.resolution = 3;
    EXPECT_EQ(FixSettings(s, TestOffer()).size(), 2u);
    EXPECT_EQ(s.backBuffer, 23);
    EXPECT_EQ(s.resolution, -1); // no 1024 x 768 in R5G6B5: the last mode

    // Without Direct3D nothing can be checked, and the display stays as read.
    s.adapter = 5;
    const std::vector<std::string> notes = FixSettings(s, MachineOffer{});
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("no display adapter"), std::string::npos);
    EXPECT_EQ(s.adapter, 5);
}
