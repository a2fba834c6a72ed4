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
    EXPECT_EQ(tavCommandLine::CountArguments(""), 0);
    EXPECT_EQ(tavCommandLine::CountArguments("5"), 1);
    EXPECT_EQ(tavCommandLine::CountArguments("1  2"), 3);
    EXPECT_EQ(tavCommandLine::CountArguments(" "), 2);
    // Not a number reads 0, a number with a tail its number.
    EXPECT_EQ(tavCommandLine::ParseArguments("1  2"), (std::vector<double>{1, 0, 2}));
    EXPECT_EQ(tavCommandLine::ParseArguments("-2.9 abc 1e3x "),
              (std::vector<double>{-2.9, 0, 1000, 0}));
    EXPECT_TRUE(tavCommandLine::ParseArguments("").empty());
}

TEST(tavCommandLine, EachTypeTakesItsOwnArgumentCount)
{
    const struct
    {
        uint32_t type;
        int takes; // -1: any count
    } table[] = {{0, -1}, {1, 1}, {2, 2}, {3, 3}, {4, 1}, {5, 2}, {6, 3}};
    for (const auto& row : table)
        for (int count = 0; count <= 4; ++count)
            EXPECT_EQ(tavCommandLine::Accepts(row.type, count, count ? "x" : ""),
                      row.takes < 0 || row.takes == count)
                << "type " << row.type << " with " << count << " arguments";

    EXPECT_TRUE(tavCommandLine::Accepts(7, 3, "a b c"));
    EXPECT_TRUE(tavCommandLine::Accepts(7, 2, " "));
    EXPECT_FALSE(tavCommandLine::Accepts(7, 0, ""));
    EXPECT_FALSE(tavCommandLine::Accepts(8, 1, "1"));
}

TEST(tavCommandLine, IntegersTruncateTowardZeroAndNeverOverflow)
{
    EXPECT_EQ(tavCommandLine::ToInt(2.9), 2);
    EXPECT_EQ(tavCommandLine::ToInt(-2.9), -2);
    EXPECT_EQ(tavCommandLine::ToInt(1e300), INT_MAX);
    EXPECT_EQ(tavCommandLine::ToInt(-1e300), INT_MIN);
    EXPECT_EQ(tavCommandLine::ToInt(std::nan("")), 0);
    EXPECT_EQ(tavCommandLine::ToFloat(0.5), 0.5f);
    EXPECT_TRUE(std::isinf(tavCommandLine::ToFloat(1e300)));
    EXPECT_LT(tavCommandLine::ToFloat(-1e300), 0.0f);
}
