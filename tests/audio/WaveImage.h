#pragma once
// Effect files made by the tests: canonical 44-byte WAVE images holding pure
// tones, so that what the sound card plays can be told apart. Portable.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

struct WaveLayout
{
    uint16_t channels = 1;
    uint32_t sampleRate = 22050;
    uint16_t bitsPerSample = 16;
};

// Little-endian writes into an image, for headers that lie.
inline void Put(std::vector<uint8_t>& image, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        image[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// 16-bit samples of a sine tone, the same on every channel; `amplitude` is a
// fraction of full scale.
inline std::vector<uint8_t> ToneSamples(const WaveLayout& layout, double hz, double seconds,
                                        double amplitude = 0.5)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < size_t(seconds * layout.sampleRate); ++i)
    {
        const double v =
            amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * double(i) / layout.sampleRate);
        const uint16_t s = uint16_t(int16_t(v * 32767.0));
        for (uint16_t c = 0; c < layout.channels; ++c)
            out.insert(out.end(), {uint8_t(s & 0xFF), uint8_t(s >> 8)});
    }
    return out;
}

// Header plus samples; the header's data size is the samples' size.
inline std::vector<uint8_t> WaveImage(const WaveLayout& layout, const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> image(44 + samples.size());
    const uint16_t align = uint16_t(layout.channels * (layout.bitsPerSample / 8));
    std::memcpy(&image[0], "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0", 22);
    Put(image, 4, uint32_t(36 + samples.size()), 4);
    Put(image, 22, layout.channels, 2);
    Put(image, 24, layout.sampleRate, 4);
    Put(image, 28, layout.sampleRate * align, 4);
    Put(image, 32, align, 2);
    Put(image, 34, layout.bitsPerSample, 2);
    std::memcpy(&image[36], "data", 4);
    Put(image, 40, uint32_t(samples.size()), 4);
    std::copy(samples.begin(), samples.end(), image.begin() + 44);
    return image;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
