#pragma once
// Whole-file reads and writes for the content tools and their tests, and the
// little-endian fields the file formats are made of.

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

inline void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
inline uint16_t Get16(const std::vector<uint8_t>& in, size_t at)
{
    return uint16_t(in[at] | in[at + 1] << 8);
}
inline uint32_t Get32(const std::vector<uint8_t>& in, size_t at)
{
    return Get16(in, at) | uint32_t(Get16(in, at + 2)) << 16;
}

} // namespace assetgen
