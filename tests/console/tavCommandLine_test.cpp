// The console's command line: splitting, arguments, numbers, and the line being typed.
#include "console/tavCommandLine.h"
#include "console/tavInputLine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(tavCommandLine, SplitsAtTheFirstBlankAndEveryBlankStartsAnArgument)
{
    const char* const splits[][3] = {
        {"help", "help", ""}, {"say hello  world ", "say", "hello  world "}, {" up", "", "up"},
        {"up ", "up", ""}};
    for (const auto& row : splits)
        EXPECT_EQ(tavCommandLine(row[0]).Command() + "|" + tavCommandLine(row[0]).Arguments(),
                  std::string(row[1]) + "|" + row[2]);
    for (const auto& [text, count] :
         {std::pair<const char*, int>{"", 0}, {"5", 1}, {"1  2", 3}, {" ", 2}})
        EXPECT_EQ(tavCommandLine::CountArguments(text), count) << text;
    // Not a number reads 0, a number with a tail its number.
    EXPECT_EQ(tavCommandLine::ParseArguments("-2.9 abc 1e3x "),
              (std::vector<double>{-2.9, 0, 1000, 0}));
}

TEST(tavCommandLine, EachTypeTakesItsOwnArgumentCount)
{
    const int takes[] = {-1, 1, 2, 3, 1, 2, 3}; // by type; -1: any count
    for (uint32_t type = 0; type < 7; ++type)
        for (int count = 0; count <= 4; ++count)
            EXPECT_EQ(tavCommandLine::Accepts(type, count, count ? "x" : ""),
                      takes[type] < 0 || takes[type] == count)
                << "type " << type << " with " << count << " arguments";
    EXPECT_TRUE(tavCommandLine::Accepts(7, 2, " ")); // text: any non-empty line
    EXPECT_FALSE(tavCommandLine::Accepts(7, 0, ""));
    EXPECT_FALSE(tavCommandLine::Accepts(8, 1, "1"));
}

TEST(tavCommandLine, IntegersTruncateTowardZeroAndNeverOverflow)
{
    for (const auto& [value, truncated] : {std::pair<double, int>{2.9, 2}, {-2.9, -2},
                                           {1e300, INT_MAX}, {-1e300, INT_MIN}, {std::nan(""), 0}})
        EXPECT_EQ(tavCommandLine::ToInt(value), truncated) << value;
    EXPECT_TRUE(std::isinf(tavCommandLine::ToFloat(1e300)));
}

TEST(tavInputLine, TypingAndPasteStopAtTheLimitSkipControlCodesAndEditAtTheCaret)
{
    tavInputLine line(60);
    for (int i = 0; i < 61; ++i)
        line.Type('a' + i % 26);
    line.Paste("more");
    EXPECT_EQ(line.Text().size(), 60u);
    EXPECT_EQ(line.Text().back(), char('a' + 59 % 26));
    line.Clear();
    for (unsigned code : {8u, 13u, 31u, 300u, 32u, 200u}) // 200: a byte of the ANSI code page
        line.Type(code);
    EXPECT_EQ(line.Text(), std::string(" \xC8"));
    line.Clear();
    EXPECT_EQ(line.Cursor(), 0);
    for (char c : std::string("held"))
        line.Type(c);
    line.Left();
    line.Type('l');
    line.Home();
    line.Delete();
    line.Type('H');
    EXPECT_EQ(line.Text(), "Helld");
    line.End();
    line.Delete(); // nothing under the caret at the end, nothing before it at the start
    line.Backspace();
    line.Home();
    line.Backspace();
    line.Left();
    EXPECT_EQ(line.Cursor(), 0);
    line.End();
    line.Right();
    EXPECT_EQ(line.Cursor(), 4);
    // A paste goes in at the caret, which stays, and the line's tail is cut.
    line.Home();
    line.Right();
    line.Paste("abc" + std::string(100, 'x'));
    EXPECT_EQ(line.Text(), "Habc" + std::string(56, 'x'));
    EXPECT_EQ(line.Cursor(), 1);
}
