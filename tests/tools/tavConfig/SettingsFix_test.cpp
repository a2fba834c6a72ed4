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
    s.format = 22;
    s.backBuffer = 22;
    s.filter = 2;
    s.resolution = 1;
    return s;
}
} // namespace

TEST(SettingsFix, WhatTheMachineCanDoIsLeftAlone)
{
    const MachineOffer offer = TestOffer();
    std::vector<Settings> good(4, Sound());
    good[1].resolution = -1;
    good[2].useAA = true, good[2].samples = 4, good[2].quality = 3;
    good[3].fullScreen = true, good[3].useAA = true, good[3].samples = 8, good[3].quality = 1;
    for (Settings s : good)
    {
        const Settings before = s;
        EXPECT_TRUE(FixSettings(s, offer).empty());
        EXPECT_EQ(s.resolution, before.resolution);
        EXPECT_EQ(s.samples, before.samples);
        EXPECT_EQ(s.quality, before.quality);
        EXPECT_EQ(s.useAA, before.useAA);
    }
}

// Each value the machine lacks is replaced, with one line naming it.
TEST(SettingsFix, EachValueTheMachineLacksIsReplacedAndNamed)
{
    struct Case
    {
        std::function<void(Settings&)> spoil;
        std::function<bool(const Settings&)> fixed;
        const char* named;
    };
    const Case cases[] = {
        {[](Settings& s) { s.adapter = 3; }, [](const Settings& s) { return s.adapter == 0; }, "Adapter 3"},
        {[](Settings& s) { s.device = 7; }, [](const Settings& s) { return s.device == 1; }, "Device type 7"},
        {[](Settings& s) { s.format = 0; }, [](const Settings& s) { return s.format == 22; }, "format 0"},
        {[](Settings& s) { s.backBuffer = 23; }, [](const Settings& s) { return s.backBuffer == 22; }, "format 23"},
        // Out of range: the desktop's size, the last such mode.
        {[](Settings& s) { s.resolution = 57; }, [](const Settings& s) { return s.resolution == 3; }, "Resolution 57"},
        {[](Settings& s) { s.resolution = -2; }, [](const Settings& s) { return s.resolution == 3; }, "Resolution -2"},
        // 8 samples only in full screen.
        {[](Settings& s) { s.useAA = true, s.samples = 8, s.quality = 1; },
         [](const Settings& s) { return !s.useAA && s.samples == 0 && s.quality == 0; }, "8 samples"},
        {[](Settings& s) { s.useAA = true, s.samples = 4, s.quality = 9; },
         [](const Settings& s) { return s.useAA && s.quality == 3; }, "Quality 9"},
        {[](Settings& s) { s.useAA = true, s.samples = 4, s.quality = 0; },
         [](const Settings& s) { return s.useAA && s.quality == 1; }, "Quality 0"},
        {[](Settings& s) { s.useAA = true, s.samples = 0; }, [](const Settings& s) { return !s.useAA; }, "without"},
        {[](Settings& s) { s.filter = 3; }, [](const Settings& s) { return s.filter == 2; }, "Filter 3"},
        {[](Settings& s) { s.filter = -1; }, [](const Settings& s) { return s.filter == 0; }, "Filter -1"},
        {[](Settings& s) { s.channels = 900; }, [](const Settings& s) { return s.channels == MaxChannels; }, "Channels 900"},
        {[](Settings& s) { s.channels = 0; }, [](const Settings& s) { return s.channels == MinChannels; }, "Channels 0"},
        {[](Settings& s) { s.hasPure = true; }, [](const Settings& s) { return !s.hasPure; }, "pure"},
    };
    const MachineOffer offer = TestOffer();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.named);
        Settings s = Sound();
        c.spoil(s);
        const std::vector<std::string> notes = FixSettings(s, offer);
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find(c.named), std::string::npos) << notes[0];
        EXPECT_TRUE(c.fixed(s));
        EXPECT_TRUE(FixSettings(s, offer).empty()) << "a second fix changed more";
    }
}

// A new display format keeps a resolution index that its own list has, and
// the back buffer follows the format.
TEST(SettingsFix, ChangingTheFormatBringsItsDependentsAlong)
{
    Settings s = Sound();
    s.format = 23;
    s.resolution = 3;
    const std::vector<std::string> notes = FixSettings(s, TestOffer());
    EXPECT_EQ(notes.size(), 2u);
    EXPECT_EQ(s.backBuffer, 23);
    EXPECT_EQ(s.resolution, -1); // no 1024 x 768 in R5G6B5: the last mode
}

TEST(SettingsFix, NoAdapterLeavesTheDisplayAsReadAndSaysSo)
{
    Settings s = Sound();
    s.adapter = 5;
    s.channels = 500;
    const std::vector<std::string> notes = FixSettings(s, MachineOffer{});
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[1].find("no display adapter"), std::string::npos);
    EXPECT_EQ(s.adapter, 5);
    EXPECT_EQ(s.channels, MaxChannels);
}
