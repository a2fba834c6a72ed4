#pragma once
// WAVE files in the canonical 44-byte layout the engine's sound loader reads
// by fixed offsets: "RIFF" size "WAVE", a 16-byte "fmt " chunk (format tag
// at byte 20, channels 22, sample rate 24, byte rate 28, block alignment 32,
// bits 34), then "data" with its size at byte 40 and the samples from 44.
// Written as 16-bit PCM; the reader accepts exactly that layout.

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

struct WaveInfo
{
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataSize = 0;
};

class WaveFile
{
public:
    // Mono 16-bit PCM from samples in -1..1 (clamped, rounded).
    static std::vector<uint8_t> Encode(const std::vector<float>& samples, uint32_t sampleRate);
    // The header fields and the samples of a canonical 16-bit PCM file. False
    // with a reason for anything else: short file, wrong chunk tags, a data
    // size beyond the end of the file, another sample format.
    static bool Decode(const std::vector<uint8_t>& bytes, WaveInfo& info,
                       std::vector<int16_t>& samples, std::string& error);
};

} // namespace assetgen
