#include "console/tavTextLayout.h"

#include <cmath>

uint32_t tavTextLayout::CodeColour(char digit, uint32_t base)
{
    static const uint32_t colours[10] = {0,          0xFF000000, 0xFFFF0000, 0xFF00FF00,
                                         0xFF0000FF, 0xFFFFFFB8, 0xFF888888, 0xFFAAAAAA,
                                         0xFF7A3F9A, 0xFFFFFFFF};
    if (digit < '0' || digit > '9') return base;
    return digit == '0' ? base : colours[digit - '0'];
}

int32_t tavTextLayout::Truncate(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}
