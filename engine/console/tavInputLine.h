#pragma once
// The console's input line: the text being typed, the caret in it and the
// longest line allowed. Portable; the console maps keys onto these edits.

#include <string>

class tavInputLine
{
public:
    explicit tavInputLine(int maxLength) : cursor(0), maxLength(maxLength) {}

    // A typed character: codes below 32 (and above 255, which an ANSI
    // window never sends) are ignored; so is any character once the line
    // is full. The caret advances past it.
    void Type(unsigned int code);
    // Inserts at the caret, which stays where it is; a line that grows past
    // the limit keeps its first characters.
    void Paste(const std::string& text);
    void Backspace();
    // The character under the caret; nothing at the end of the line.
    void Delete();
    void Home() { cursor = 0; }
    void End() { cursor = int(text.size()); }
    void Left();
    void Right();
    void Clear();

    const std::string& Text() const { return text; }
    int Cursor() const { return cursor; }
    int MaxLength() const { return maxLength; }
    bool IsEmpty() const { return text.empty(); }

private:
    std::string text;
    int cursor; // 0..length
    int maxLength;
};
