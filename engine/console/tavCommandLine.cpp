#include "console/tavCommandLine.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

tavCommandLine::tavCommandLine(const std::string& line)
{
    const size_t blank = line.find(' ');
    command = line.substr(0, blank);
    if (blank != std::string::npos) arguments = line.substr(blank + 1);
}

int tavCommandLine::CountArguments(const std::string& argumentText)
{
    if (argumentText.empty()) return 0;
    int count = 1;
    for (char c : argumentText)
        count += c == ' ';
    return count;
}

std::vector<double> tavCommandLine::ParseArguments(const std::string& argumentText)
{
    std::vector<double> values;
    if (argumentText.empty()) return values;
    size_t start = 0;
    for (;;)
    {
        const size_t blank = argumentText.find(' ', start);
        const std::string piece = argumentText.substr(start, blank - start);
        values.push_back(std::strtod(piece.c_str(), nullptr));
        if (blank == std::string::npos) return values;
        start = blank + 1;
    }
}

bool tavCommandLine::Accepts(uint32_t type, int argumentCount, const std::string& argumentText)
{
    switch (type)
    {
    case 0:
        return true;
    case 1:
    case 2:
    case 3:
        return argumentCount == int(type);
    case 4:
    case 5:
    case 6:
        return argumentCount == int(type) - 3;
    case 7:
        return !argumentText.empty();
    default:
        return false;
    }
}

const char* tavCommandLine::Signature(uint32_t type)
{
    static const char* const texts[] = {
        "",      "int", "int, int", "int, int, int", "float", "float, float", "float, float, float",
        "string"};
    return type < sizeof(texts) / sizeof(texts[0]) ? texts[type] : "?";
}

int tavCommandLine::ToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= double(INT_MAX)) return INT_MAX;
    if (value <= double(INT_MIN)) return INT_MIN;
    return int(value);
}

float tavCommandLine::ToFloat(double value)
{
    if (value > double(FLT_MAX)) return HUGE_VALF;
    if (value < -double(FLT_MAX)) return -HUGE_VALF;
    return float(value);
}
