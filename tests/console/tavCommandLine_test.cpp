#include "console/tavCommandLine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(tavCommandLine, SplitsAtTheFirstBlankOnly)
{
    const tavCommandLine plain("help");
    EXPECT_EQ(plain.Command(), "help");
    EXPECT_EQ(plain.Arguments(), "");

    const tavCommandLine two("say hello  world ");
    EXPECT_EQ(two.Command(), "say");
    EXPECT_EQ(two.Arguments(), "hello  world ");

    const tavCommandLine leading(" up");
    EXPECT_EQ(leading.Command(), "");
    EXPECT_EQ(leading.Arguments(), "up");

    const tavCommandLine trailing("up ");
    EXPECT_EQ(trailing.Command(), "up");
    EXPECT_EQ(trailing.Arguments(), "");
}

TEST(tavCommandLine, EveryBlankStartsAnArgumentEvenAnEmptyOne)
{
    EXPECT_EQ(tavCommandLine::CountArguments(""), 0);
    EXPECT_EQ(tavCommandLine::CountArguments("5"), 1);
    EXPECT_EQ(tavCommandLine::CountArguments("1  2"), 3);
    EXPECT_EQ(tavCommandLine::CountArguments(" "), 2);

    const std::vector<double> values = tavCommandLine::ParseArguments("1  2");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], 1.0);
    EXPECT_EQ(values[1], 0.0);
    EXPECT_EQ(values[2], 2.0);

    const std::vector<double> mixed = tavCommandLine::ParseArguments("-2.9 abc 1e3x ");
    ASSERT_EQ(mixed.size(), 4u);
    EXPECT_EQ(mixed[0], -2.9);
    EXPECT_EQ(mixed[1], 0.0);    // not a number
    EXPECT_EQ(mixed[2], 1000.0); // the number it starts with
    EXPECT_EQ(mixed[3], 0.0);    // after the trailing blank
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
