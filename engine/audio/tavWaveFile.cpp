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

// The rates DirectSound accepts for a secondary buffer.
constexpr uint32_t MinRate = 100;
constexpr uint32_t MaxRate = 200000;

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
    const uint16_t tag = Read16(bytes + FormatTagAt);
    const uint16_t channelCount = Read16(bytes + ChannelsAt);
    const uint32_t rate = Read32(bytes + SampleRateAt);
    const uint16_t align = Read16(bytes + BlockAlignAt);
    const uint16_t bits = Read16(bytes + BitsAt);
    const std::string formatError = CheckFormat(tag, channelCount, rate, align, bits);
    if (!formatError.empty())
        return Fail(formatError);

    const uint32_t dataSize = Read32(bytes + DataSizeAt);
    const size_t available = size - HeaderSize;
    if (dataSize == 0)
        return Fail("the header gives no sample data");
    if (dataSize > available)
        return Fail("the header gives " + std::to_string(dataSize) + " bytes of samples but only " +
                    std::to_string(available) + " follow it");

    formatTag = tag;
    channels = channelCount;
    sampleRate = rate;
    byteRate = Read32(bytes + ByteRateAt);
    blockAlign = align;
    bitsPerSample = bits;
    samples.assign(bytes + HeaderSize, bytes + HeaderSize + dataSize);
    error.clear();
    return true;
}

std::string tavWaveFile::CheckFormat(uint16_t tag, uint16_t channelCount, uint32_t rate,
                                     uint16_t align, uint16_t bits) const
{
    const bool pcm = tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floating = tag == 3 && bits == 32;
    if (!pcm && !floating)
        return "format tag " + std::to_string(tag) + " with " + std::to_string(bits) +
               " bits per sample is neither PCM nor float samples (not a WAVE effect?)";
    if (channelCount == 0 || channelCount > 8)
        return "the header gives " + std::to_string(channelCount) + " channels";
    if (rate < MinRate || rate > MaxRate)
        return "the sample rate " + std::to_string(rate) + " Hz is outside " +
               std::to_string(MinRate) + " to " + std::to_string(MaxRate);
    if (align != channelCount * (bits / 8))
        return "the block alignment " + std::to_string(align) + " does not match " +
               std::to_string(channelCount) + " channels of " + std::to_string(bits) + " bits";
    return std::string();
}

bool tavWaveFile::Fail(std::string why)
{
    error = std::move(why);
    return false;
}
