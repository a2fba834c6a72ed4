#include "console/tavInputLine.h"

void tavInputLine::Type(unsigned int code)
{
    if (code < 32 || code > 255 || int(text.size()) >= maxLength) return;
    text.insert(text.begin() + cursor, char(code));
    ++cursor;
}

void tavInputLine::Paste(const std::string& pasted)
{
    text.insert(size_t(cursor), pasted);
    if (int(text.size()) > maxLength) text.resize(size_t(maxLength));
    if (cursor > int(text.size())) cursor = int(text.size());
}

void tavInputLine::Backspace()
{
    if (cursor <= 0) return;
    text.erase(size_t(cursor - 1), 1);
    --cursor;
}

void tavInputLine::Delete()
{
    if (cursor < int(text.size())) text.erase(size_t(cursor), 1);
}

void tavInputLine::Left()
{
    if (cursor > 0) --cursor;
}

void tavInputLine::Right()
{
    if (cursor < int(text.size())) ++cursor;
}

void tavInputLine::Clear()
{
    text.clear();
    cursor = 0;
}
