#include "BinaryFile.h"

#include <cstdio>

namespace assetgen
{

namespace
{
bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}
} // namespace

bool BinaryFile::Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return WriteBytes(path, bytes.data(), bytes.size());
}

bool BinaryFile::Write(const std::string& path, const std::string& text)
{
    return WriteBytes(path, text.data(), text.size());
}

bool BinaryFile::Read(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return true;
}

} // namespace assetgen
