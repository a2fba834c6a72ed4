#include "console/tavCommandLine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(tavCommandLine, SplitsAtTheFirstBlankAndEveryBlankStartsAnArgument)
{
    const char* const splits[][3] = {{"help", "help", ""},
                                     {"say hello  world ", "say", "hello  world "},
                                     {" up", "", "up"},
                                     {"up ", "up", ""}};
    for (const auto& row : splits)
    {
        const tavCommandLine line(row[0]);
        EXPECT_EQ(line.Command(), row[1]) << row[0];
        EXPECT_EQ(line.Arguments(), row[2]) << row[0];
    }
    for (const auto& [text, count] :
         {std::pair<const char*, int>{"", 0}, {"5", 1}, {"1  2", 3}, {" ", 2}})
        EXPECT_EQ(tavCommandLine::CountArguments(text), count) << text;
    // Not a number reads 0, a number with a tail its number.
    EXPECT_EQ(tavCommandLine::ParseArguments("-2.9 abc 1e3x "),
              (std::vector<double>{-2.9, 0, 1000, 0}));
    EXPECT_TRUE(tavCommandLine::ParseArguments("").empty());
}

TEST(tavCommandLine, EachTypeTakesItsOwnArgumentCount)
{
    const int takes[] = {-1, 1, 2, 3, 1, 2, 3}; // by type; -1: any count
    for (uint32_t type = 0; type < 7; ++type)
        for (int count = 0; count <= 4; ++count)
            EXPECT_EQ(tavCommandLine::Accepts(type, count, count ? "x" : ""),
                      takes[type] < 0 || takes[type] == count)
                << "type " << type << " with " << count << " arguments";
    EXPECT_TRUE(tavCommandLine::Accepts(7, 3, "a b c"));
    EXPECT_TRUE(tavCommandLine::Accepts(7, 2, " "));
    EXPECT_FALSE(tavCommandLine::Accepts(7, 0, ""));
    EXPECT_FALSE(tavCommandLine::Accepts(8, 1, "1"));
}

TEST(tavCommandLine, IntegersTruncateTowardZeroAndNeverOverflow)
{
    for (const auto& [value, truncated] : {std::pair<double, int>{2.9, 2},
                                           {-2.9, -2},
                                           {1e300, INT_MAX},
                                           {-1e300, INT_MIN},
                                           {std::nan(""), 0}})
        EXPECT_EQ(tavCommandLine::ToInt(value), truncated) << value;
    EXPECT_EQ(tavCommandLine::ToFloat(0.5), 0.5f);
    EXPECT_TRUE(std::isinf(tavCommandLine::ToFloat(1e300)));
    EXPECT_LT(tavCommandLine::ToFloat(-1e300), 0.0f);
}
