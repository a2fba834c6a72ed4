#include "WaveFile.h"

#include "BinaryFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace assetgen
{

namespace
{
void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

const size_t HeaderBytes = 44;

bool Fail(std::string& error, const char* reason)
{
    error = reason;
    return false;
}
} // namespace

std::vector<uint8_t> WaveFile::Encode(const std::vector<float>& samples, uint32_t sampleRate)
{
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(HeaderBytes + dataSize);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, sampleRate);
    Put32(out, sampleRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataSize);
    for (float s : samples)
    {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Put16(out, uint32_t(uint16_t(int16_t(v))));
    }
    return out;
}

bool WaveFile::Decode(const std::vector<uint8_t>& bytes, WaveInfo& info,
                      std::vector<int16_t>& samples, std::string& error)
{
    samples.clear();
    if (bytes.size() < HeaderBytes) return Fail(error, "shorter than the 44-byte header");
    if (std::memcmp(&bytes[0], "RIFF", 4) || std::memcmp(&bytes[8], "WAVE", 4) ||
        std::memcmp(&bytes[12], "fmt ", 4) || std::memcmp(&bytes[36], "data", 4))
        return Fail(error, "not a canonical RIFF/WAVE header");
    if (Get32(bytes, 16) != 16) return Fail(error, "format chunk is not 16 bytes");
    info.formatTag = Get16(bytes, 20);
    info.channels = Get16(bytes, 22);
    info.sampleRate = Get32(bytes, 24);
    info.byteRate = Get32(bytes, 28);
    info.blockAlign = Get16(bytes, 32);
    info.bitsPerSample = Get16(bytes, 34);
    info.dataSize = Get32(bytes, 40);
    if (Get32(bytes, 4) != 36 + info.dataSize)
        return Fail(error, "RIFF size does not match the data size");
    if (info.dataSize > bytes.size() - HeaderBytes)
        return Fail(error, "data size runs past the end of the file");
    if (info.formatTag != 1 || info.bitsPerSample != 16 || info.channels == 0 ||
        info.blockAlign != info.channels * 2 || info.byteRate != info.sampleRate * info.blockAlign)
        return Fail(error, "not 16-bit PCM with consistent rates");
    samples.resize(info.dataSize / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(Get16(bytes, HeaderBytes + i * 2));
    return true;
}

} // namespace assetgen
