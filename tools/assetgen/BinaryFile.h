#pragma once
// Whole-file reads and writes for the content tools and their tests.

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

class BinaryFile
{
public:
    // False when the file could not be written completely.
    static bool Write(const std::string& path, const std::vector<uint8_t>& bytes);
    static bool Write(const std::string& path, const std::string& text);
    // False (and `bytes` empty) when the file cannot be opened.
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes);
};

} // namespace assetgen
