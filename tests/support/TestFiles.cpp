#include "support/TestFiles.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint8_t> ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ContainsInOrder(const std::string& text, const std::vector<std::string>& needles,
                     std::string* missing)
{
    size_t at = 0;
    for (const std::string& n : needles)
    {
        const size_t found = text.find(n, at);
        if (found == std::string::npos)
        {
            if (missing)
                *missing = n;
            return false;
        }
        at = found + n.size();
    }
    return true;
}
