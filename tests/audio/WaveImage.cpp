#include "audio/WaveImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

std::vector<uint8_t> ToneSamples(const WaveLayout& layout, double hz, double seconds,
                                 double amplitude)
{
    const size_t frames = size_t(seconds * layout.sampleRate);
    const size_t bytesPerSample = layout.bitsPerSample / 8;
    std::vector<uint8_t> out;
    out.reserve(frames * layout.channels * bytesPerSample);
    const double pi = 3.14159265358979323846;
    for (size_t i = 0; i < frames; ++i)
    {
        const double v = amplitude * std::sin(2.0 * pi * hz * double(i) / layout.sampleRate);
        for (uint16_t c = 0; c < layout.channels; ++c)
        {
            if (bytesPerSample == 1)
            {
                out.push_back(uint8_t(128 + int(v * 127.0)));
                continue;
            }
            const int16_t s = int16_t(v * 32767.0);
            out.push_back(uint8_t(s & 0xFF));
            out.push_back(uint8_t((s >> 8) & 0xFF));
        }
    }
    return out;
}

void Put16(std::vector<uint8_t>& image, size_t at, uint16_t value)
{
    image[at] = uint8_t(value & 0xFF);
    image[at + 1] = uint8_t(value >> 8);
}

void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + size_t(i)] = uint8_t((value >> (8 * i)) & 0xFF);
}

std::vector<uint8_t> WaveImage(const WaveLayout& layout, const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> image(44 + samples.size(), 0);
    const uint16_t align = uint16_t(layout.channels * (layout.bitsPerSample / 8));
    std::memcpy(&image[0], "RIFF", 4);
    Put32(image, 4, uint32_t(36 + samples.size()));
    std::memcpy(&image[8], "WAVEfmt ", 8);
    Put32(image, 16, 16);
    Put16(image, 20, 1);
    Put16(image, 22, layout.channels);
    Put32(image, 24, layout.sampleRate);
    Put32(image, 28, layout.sampleRate * align);
    Put16(image, 32, align);
    Put16(image, 34, layout.bitsPerSample);
    std::memcpy(&image[36], "data", 4);
    Put32(image, 40, uint32_t(samples.size()));
    std::copy(samples.begin(), samples.end(), image.begin() + 44);
    return image;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
