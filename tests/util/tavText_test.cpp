#include "util/tavText.h"

#include <gtest/gtest.h>

TEST(tavText, TimeTextUsesTwelveHoursOnlyAfterNoon)
{
    EXPECT_EQ(FormatTimeText(13, 5, 9, 3, 7, 2004), "01:05:09 PM on 03/07/2004");
    EXPECT_EQ(FormatTimeText(12, 30, 0, 3, 7, 2004), "12:30:00 AM on 03/07/2004");
    EXPECT_EQ(FormatTimeText(0, 15, 0, 12, 31, 1999), "00:15:00 AM on 12/31/1999");
    EXPECT_EQ(FormatTimeText(23, 59, 59, 1, 1, 2026), "11:59:59 PM on 01/01/2026");
}

TEST(tavText, BoundedFormattingCutsToTheBuffer)
{
    EXPECT_EQ(FormatBoundedF(512, "%s=%d", "x", 5), "x=5");
    const std::string longText(600, 'a');
    const std::string cut = FormatBoundedF(512, "%s", longText.c_str());
    EXPECT_EQ(cut.size(), 511u);
    EXPECT_EQ(FormatBoundedF(1, "%s", "abc"), "");
}
