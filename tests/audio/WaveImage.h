#pragma once
// Effect files made by the tests: canonical 44-byte WAVE images holding
// pure tones, so that what the sound card plays can be told apart.
// Portable.

#include <cstdint>
#include <string>
#include <vector>

struct WaveLayout
{
    uint16_t channels = 1;
    uint32_t sampleRate = 22050;
    uint16_t bitsPerSample = 16;
};

// 16-bit (or 8-bit) samples of a sine tone at `hz`, `seconds` long, the
// same on every channel; `amplitude` is a fraction of full scale.
std::vector<uint8_t> ToneSamples(const WaveLayout& layout, double hz, double seconds,
                                 double amplitude = 0.5);
// Header plus samples; the header's data size is the samples' size.
std::vector<uint8_t> WaveImage(const WaveLayout& layout, const std::vector<uint8_t>& samples);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian writes into an image, for headers that lie.
void Put16(std::vector<uint8_t>& image, size_t at, uint16_t value);
void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value);
