#pragma once
// Console command lines taken apart, and the rules that decide whether a
// bound function takes a given argument text. Portable: the console only
// turns the answers into calls on the engine.

#include <cstdint>
#include <string>
#include <vector>

// A command registered by the application. Types 0 to 7 decide which
// arguments the console hands back (see tavCommandLine::Accepts).
struct BoundFunction
{
    uint32_t type;
    std::string name;
    uint32_t id; // the application's own number, handed back on every call
};

class tavCommandLine
{
public:
    // Splits at the first blank: the command before it, the argument text
    // after it (empty when the line has no blank).
    explicit tavCommandLine(const std::string& line);

    const std::string& Command() const { return command; }
    const std::string& Arguments() const { return arguments; }

    // 0 for an empty text, else one more than its blanks: two blanks in a
    // row make an empty argument between them.
    static int CountArguments(const std::string& argumentText);
    // Every blank-separated piece through the C library's text-to-double
    // rule; an empty or non-numeric piece gives 0.0.
    static std::vector<double> ParseArguments(const std::string& argumentText);

    // Whether a binding of `type` is called for this argument text: type 0
    // always, 1 to 3 and 4 to 6 for exactly 1, 2 or 3 arguments, 7 for any
    // non-empty text. Unknown types never.
    static bool Accepts(uint32_t type, int argumentCount, const std::string& argumentText);
    // "int, int", "float", "string", ... as the help block lists it.
    static const char* Signature(uint32_t type);

    // Truncation toward zero; out-of-range values stop at the int limits and
    // a non-number gives 0, so no typed text is undefined behaviour.
    static int ToInt(double value);
    static float ToFloat(double value);

private:
    std::string command;
    std::string arguments;
};
