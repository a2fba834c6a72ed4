#pragma once
// Text helpers shared by the log, the console and the utilities. Portable.

#include <cstdarg>
#include <string>

// "%.2d:%.2d:%.2d %s on %.2d/%.2d/%d": an hour above 12 loses 12 and reads
// PM; hours 0 to 12 are printed as they are, with AM.
std::string FormatTimeText(int hour, int minute, int second, int month, int day, int year);

// printf rules into a buffer of `bufferSize` bytes (terminator included);
// longer output is cut to fit, never refused.
std::string FormatBounded(size_t bufferSize, const char* format, va_list args);
std::string FormatBoundedF(size_t bufferSize, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
