#include "WaveFile.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace assetgen;

namespace
{
uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return U16(b, at) | uint32_t(U16(b, at + 2)) << 16;
}
} // namespace

TEST(WaveFile, HeaderFieldsSitAtTheOffsetsTheEngineReads)
{
    const std::vector<uint8_t> wav = WaveFile::Encode({0.0f, 0.5f, -0.5f}, 22050);
    ASSERT_EQ(wav.size(), 44u + 6);
    EXPECT_EQ(std::memcmp(&wav[0], "RIFF", 4), 0);
    EXPECT_EQ(U32(wav, 4), 36u + 6);
    EXPECT_EQ(std::memcmp(&wav[8], "WAVEfmt ", 8), 0);
    EXPECT_EQ(U32(wav, 16), 16u);
    EXPECT_EQ(U16(wav, 20), 1); // PCM
    EXPECT_EQ(U16(wav, 22), 1); // mono: can play as a 3D sound
    EXPECT_EQ(U32(wav, 24), 22050u);
    EXPECT_EQ(U32(wav, 28), 44100u);
    EXPECT_EQ(U16(wav, 32), 2);
    EXPECT_EQ(U16(wav, 34), 16);
    EXPECT_EQ(std::memcmp(&wav[36], "data", 4), 0);
    EXPECT_EQ(U32(wav, 40), 6u);
}

TEST(WaveFile, SamplesAreRoundedAndClamped)
{
    const std::vector<uint8_t> wav = WaveFile::Encode({1.0f, -1.0f, 2.0f, -3.0f, 0.5f}, 44100);
    WaveInfo info;
    std::vector<int16_t> samples;
    std::string error;
    ASSERT_TRUE(WaveFile::Decode(wav, info, samples, error)) << error;
    EXPECT_EQ(info.sampleRate, 44100u);
    EXPECT_EQ(samples, (std::vector<int16_t>{32767, -32767, 32767, -32767, 16384}));
}

TEST(WaveFile, DecodeRefusesWhatTheFixedOffsetsWouldMisread)
{
    const std::vector<uint8_t> good = WaveFile::Encode(std::vector<float>(10, 0.1f), 22050);
    WaveInfo info;
    std::vector<int16_t> samples;
    std::string error;

    std::vector<uint8_t> bad(good.begin(), good.begin() + 43);
    EXPECT_FALSE(WaveFile::Decode(bad, info, samples, error));
    EXPECT_EQ(error, "shorter than the 44-byte header");

    bad = good;
    bad[36] = 'L'; // a LIST chunk where the data should start
    EXPECT_FALSE(WaveFile::Decode(bad, info, samples, error));

    bad = good;
    bad[40] = 200; // more data than the file holds
    bad[4] = 236;
    EXPECT_FALSE(WaveFile::Decode(bad, info, samples, error));
    EXPECT_EQ(error, "data size runs past the end of the file");

    bad = good;
    bad[34] = 8; // 8-bit samples
    EXPECT_FALSE(WaveFile::Decode(bad, info, samples, error));
    EXPECT_TRUE(samples.empty());
}
