#include "ConfigText.h"

#include <strings.h>

namespace
{
// A carriage return left inside a line counts as space, as a line break would.
const char* const Blanks = " \t\r";

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

// The platform drops one pair of quotes around a value.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool SameName(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

bool IsBinary(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\r' && c != '\n';
}
} // namespace

ConfigText::ConfigText(const std::string& bytes)
    : lineBreak("\n"), readable(true), endsMidLine(false)
{
    Parse(bytes);
}

void ConfigText::Parse(const std::string& bytes)
{
    for (unsigned char c : bytes)
        if (IsBinary(c)) readable = false;
    const size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r')
        lineBreak = "\r\n";
    endsMidLine = !bytes.empty() && bytes.back() != '\n';

    std::string section;
    size_t at = 0;
    while (at < bytes.size())
    {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        Line line{bytes.substr(at, end - at), "", "", "", false};
        at = end + 1;
        if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        const std::string body = Trim(line.text);
        if (!body.empty() && body[0] == '[')
        {
            const size_t close = body.find(']');
            section =
                Trim(body.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            line.isHeader = true;
        }
        else if (!body.empty() && body[0] != ';')
        {
            const size_t equals = body.find('=');
            line.key = Trim(body.substr(0, equals));
            if (equals != std::string::npos) line.value = Unquote(Trim(body.substr(equals + 1)));
        }
        line.section = section;
        lines.push_back(line);
    }
}

// The platform looks only in the first section of a name: a key in a
// second "[TAV]" further down is never read.
bool ConfigText::FindSection(const char* section, size_t& begin, size_t& end) const
{
    begin = 0;
    if (*section)
    {
        while (begin < lines.size() &&
               !(lines[begin].isHeader && SameName(lines[begin].section, section)))
            ++begin;
        if (begin == lines.size()) return false;
        ++begin;
    }
    end = begin;
    while (end < lines.size() && !lines[end].isHeader)
        ++end;
    return true;
}

int ConfigText::FindLine(const char* section, const char* key) const
{
    size_t begin, end;
    if (!FindSection(section, begin, end)) return -1;
    for (size_t i = begin; i < end; ++i)
        if (SameName(lines[i].key, key)) return int(i);
    return -1;
}

bool ConfigText::HasSection(const char* section) const
{
    size_t begin, end;
    return FindSection(section, begin, end);
}

bool ConfigText::Find(const char* section, const char* key, std::string& value) const
{
    const int i = FindLine(section, key);
    if (i < 0) return false;
    value = lines[size_t(i)].value;
    return true;
}

void ConfigText::Set(const char* section, const char* key, const std::string& value)
{
    Line line{std::string(key) + "=" + value, section, key, Unquote(Trim(value)), false};
    const int existing = FindLine(section, key);
    if (existing >= 0)
    {
        lines[size_t(existing)] = line;
        return;
    }
    size_t begin, end;
    if (FindSection(section, begin, end))
    {
        // After the section's last key, before the blank lines that part it
        // from the next section.
        while (end > begin && lines[end - 1].key.empty())
            --end;
    }
    else
    {
        lines.push_back(Line{std::string("[") + section + "]", section, "", "", true});
        end = lines.size();
    }
    lines.insert(lines.begin() + long(end), line);
    // A file that ended mid-line now ends after the line just added.
    if (end + 1 == lines.size()) endsMidLine = false;
}

std::string ConfigText::Text() const
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        text += lines[i].text;
        if (i + 1 < lines.size() || !endsMidLine) text += lineBreak;
    }
    return text;
}
