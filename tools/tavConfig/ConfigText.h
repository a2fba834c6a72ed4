#pragma once
// The text of tav.cfg read the way the platform's private-profile functions
// read it (sections in brackets, "key=value" lines, names compared without
// case, the first of two equal keys wins, ';' starts a comment), and edited
// in place: a changed key rewrites only its own line, and every other byte
// of the file stays as it was.

#include <string>
#include <vector>

class ConfigText
{
public:
    explicit ConfigText(const std::string& bytes = std::string());

    // False when the bytes are no text at all (NUL or other control bytes).
    bool IsReadable() const { return readable; }
    bool HasSection(const char* section) const;
    // The whole file ends in the middle of a line (no line break after the
    // last key): the sign of a file cut short.
    bool EndsMidLine() const { return endsMidLine; }

    // The value of `key` in `section` with the platform's trimming (spaces
    // around it, one pair of matching quotes); false when the key is absent.
    bool Find(const char* section, const char* key, std::string& value) const;
    // Writes `key=value` over the key's line, or adds the line at the end of
    // the section (adding the section when it is missing).
    void Set(const char* section, const char* key, const std::string& value);

    // The file as it would be written.
    std::string Text() const;

private:
    struct Line
    {
        std::string text;    // without its line break
        std::string section; // the section the line belongs to
        std::string key;     // empty for headers, comments and blank lines
        std::string value;   // trimmed
        bool isHeader;
    };

    void Parse(const std::string& bytes);
    bool FindSection(const char* section, size_t& begin, size_t& end) const;
    int FindLine(const char* section, const char* key) const;

    std::vector<Line> lines;
    std::string lineBreak;
    bool readable;
    bool endsMidLine;
};
