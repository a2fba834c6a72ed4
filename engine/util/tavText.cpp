#include "util/tavText.h"

#include <cstdio>
#include <vector>

std::string FormatTimeText(int hour, int minute, int second, int month, int day, int year)
{
    const char* half = "AM";
    if (hour > 12)
    {
        hour -= 12;
        half = "PM";
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%.2d:%.2d:%.2d %s on %.2d/%.2d/%d", hour, minute, second,
                  half, month, day, year);
    return text;
}

std::string FormatBounded(size_t bufferSize, const char* format, va_list args)
{
    if (bufferSize == 0 || !format)
        return std::string();
    std::vector<char> buffer(bufferSize);
    const int n = std::vsnprintf(buffer.data(), bufferSize, format, args);
    if (n < 0)
        return std::string();
    return std::string(buffer.data());
}

std::string FormatBoundedF(size_t bufferSize, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string s = FormatBounded(bufferSize, format, args);
    va_end(args);
    return s;
}
