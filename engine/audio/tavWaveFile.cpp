#include "audio/tavWaveFile.h"

#include <fstream>
#include <iterator>

namespace
{
// The canonical header's fields, by their fixed offsets.
enum : size_t
{
    FormatTagAt = 20,
    ChannelsAt = 22,
    SampleRateAt = 24,
    ByteRateAt = 28,
    BlockAlignAt = 32,
    BitsAt = 34,
    DataSizeAt = 40,
};

uint16_t Read16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
} // namespace

bool tavWaveFile::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("the file cannot be opened");
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad())
        return Fail("the file cannot be read");
    return Parse(image.data(), image.size());
}

bool tavWaveFile::Parse(const uint8_t* bytes, size_t size)
{
    if (!bytes || size < HeaderSize)
        return Fail("the file holds " + std::to_string(size) + " bytes, fewer than the " +
                    std::to_string(HeaderSize) + " of a WAVE header");
    const uint32_t dataSize = Read32(bytes + DataSizeAt);
    const size_t available = size - HeaderSize;
    if (dataSize > available)
        return Fail("the header gives " + std::to_string(dataSize) + " bytes of samples but only " +
                    std::to_string(available) + " follow it");

    formatTag = Read16(bytes + FormatTagAt);
    channels = Read16(bytes + ChannelsAt);
    sampleRate = Read32(bytes + SampleRateAt);
    byteRate = Read32(bytes + ByteRateAt);
    blockAlign = Read16(bytes + BlockAlignAt);
    bitsPerSample = Read16(bytes + BitsAt);
    samples.assign(bytes + HeaderSize, bytes + HeaderSize + dataSize);
    error.clear();
    return true;
}

bool tavWaveFile::Fail(std::string why)
{
    error = std::move(why);
    return false;
}
