#include "console/tavInputLine.h"

#include <gtest/gtest.h>

TEST(tavInputLine, TypingAndPasteStopAtTheLimitSkipControlCodesAndEditAtTheCaret)
{
    tavInputLine line(60);
    for (int i = 0; i < 61; ++i)
        line.Type('a' + i % 26);
    EXPECT_EQ(line.Text().back(), char('a' + 59 % 26));
    EXPECT_EQ(line.Cursor(), 60);
    line.End();
    line.Paste("more");
    EXPECT_EQ(line.Text().size(), 60u);
    line.Clear();
    EXPECT_EQ(line.Cursor(), 0);
    for (unsigned code : {8u, 13u, 31u, 300u, 32u, 200u}) // 200: a byte of the ANSI code page
        line.Type(code);
    EXPECT_EQ(line.Text(), std::string(" \xC8"));
    line.Clear();
    for (char c : std::string("held"))
        line.Type(c);
    line.Left();
    line.Type('l');
    line.Home();
    line.Delete();
    line.Type('H');
    EXPECT_EQ(line.Text(), "Helld");
    line.End();
    line.Delete(); // nothing under the caret at the end
    line.Backspace();
    line.Home();
    line.Backspace(); // nothing before the caret at the start
    line.Left();
    EXPECT_EQ(line.Cursor(), 0);
    line.End();
    line.Right();
    EXPECT_EQ(line.Cursor(), 4);
    EXPECT_EQ(line.Text(), "Hell");
    // A paste goes in at the caret, which stays, and the overflow is cut.
    line.Home();
    line.Right();
    line.Paste("abc" + std::string(100, 'x'));
    EXPECT_EQ(line.Text(), "Habc" + std::string(56, 'x')); // the line's tail is cut
    EXPECT_EQ(line.Cursor(), 1);
}
