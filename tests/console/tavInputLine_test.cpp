#include "console/tavInputLine.h"

#include <gtest/gtest.h>

TEST(tavInputLine, TypingStopsAtTheLimitAndSkipsControlCodes)
{
    tavInputLine line(60);
    for (int i = 0; i < 61; ++i)
        line.Type('a' + i % 26);
    EXPECT_EQ(line.Text().back(), char('a' + 59 % 26));
    EXPECT_EQ(line.Cursor(), 60);

    tavInputLine other(60);
    for (unsigned code : {8u, 13u, 31u, 300u, 32u, 200u}) // 200: a byte of the ANSI code page
        other.Type(code);
    EXPECT_EQ(other.Text(), std::string(" \xC8"));
}

TEST(tavInputLine, CaretEditsInsideTheLine)
{
    tavInputLine line(60);
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
    EXPECT_EQ(line.Text(), "Hell");
    line.Home();
    line.Backspace(); // nothing before the caret at the start
    line.Left();
    EXPECT_EQ(line.Cursor(), 0);
    line.End();
    line.Right();
    EXPECT_EQ(line.Cursor(), 4);
    EXPECT_EQ(line.Text(), "Hell");
    line.Clear();
    EXPECT_EQ(line.Cursor(), 0);
}

TEST(tavInputLine, PasteInsertsAtTheCaretWhichStaysAndCutsTheOverflow)
{
    tavInputLine line(60);
    line.Type('[');
    line.Type(']');
    line.Left();
    line.Paste("abc");
    EXPECT_EQ(line.Text(), "[abc]");
    EXPECT_EQ(line.Cursor(), 1);

    tavInputLine full(60);
    full.Paste(std::string(100, 'x') + "y");
    EXPECT_EQ(full.Text(), std::string(60, 'x'));
    EXPECT_EQ(full.Cursor(), 0);
    full.End();
    full.Paste("more");
    EXPECT_EQ(full.Text(), std::string(60, 'x'));
}
