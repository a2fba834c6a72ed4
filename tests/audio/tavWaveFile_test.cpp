#include "audio/tavWaveFile.h"

#include "audio/WaveImage.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
std::vector<uint8_t> MonoTone()
{
    const WaveLayout layout;
    return WaveImage(layout, ToneSamples(layout, 440.0, 0.01));
}

std::vector<uint32_t> Fields(const tavWaveFile& w)
{
    return {w.formatTag, w.channels, w.sampleRate, w.byteRate, w.blockAlign, w.bitsPerSample};
}
} // namespace

// Neither the tags nor the format are the reader's business: the header is
// handed on as it stands and the sound card refuses what it cannot play.
TEST(WaveFile, ReadsTheFixedOffsetsWhateverTheyHoldAndCopiesExactlyTheDataSize)
{
    const WaveLayout layout{2, 44100};
    const std::vector<uint8_t> samples = ToneSamples(layout, 1000.0, 0.005);
    std::vector<uint8_t> image = WaveImage(layout, samples);
    Put(image, 28, 12345, 4); // a wrong byte rate
    image.insert(image.end(), {1, 2, 3, 4, 5, 6, 7});
    tavWaveFile wave;
    ASSERT_TRUE(wave.Parse(image.data(), image.size())) << wave.Error();
    EXPECT_EQ(Fields(wave), (std::vector<uint32_t>{1, 2, 44100, 12345, 4, 16}));
    EXPECT_EQ(wave.samples, samples);
    image = MonoTone();
    for (size_t at : {0u, 8u, 12u, 36u})
        Put(image, at, 0x4B4E554A, 4); // "JUNK"
    Put(image, 20, 2, 2);              // compressed
    Put(image, 22, 0, 2);              // no channels
    Put(image, 24, 50, 4);
    Put(image, 32, 3, 2);
    Put(image, 34, 12, 2);
    Put(image, 40, 0, 4);
    ASSERT_TRUE(wave.Parse(image.data(), image.size())) << wave.Error();
    EXPECT_EQ(Fields(wave), (std::vector<uint32_t>{2, 0, 50, 22050 * 2, 3, 12}));
    EXPECT_TRUE(wave.samples.empty());
}

TEST(WaveFile, DataToTheLastByteIsAcceptedAndBadFilesAreRefusedWithAReason)
{
    const std::vector<uint8_t> good = MonoTone();
    auto size = [&](uint32_t value)
    {
        std::vector<uint8_t> image = good;
        Put(image, 40, value, 4);
        return image;
    };
    const struct
    {
        std::vector<uint8_t> image;
        const char* reason;
    } cases[] = {
        {{}, "holds 0 bytes"},
        {std::vector<uint8_t>(good.begin(), good.begin() + 43), "holds 43 bytes"},
        {size(uint32_t(good.size() - 44 + 1)), "441 bytes of samples but only 440 follow"},
        {size(0xFFFFFFFFu), "4294967295 bytes"},
    };
    tavWaveFile wave;
    ASSERT_TRUE(wave.Parse(good.data(), good.size())) << "data filling the file to the last byte";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.reason);
        EXPECT_FALSE(wave.Parse(c.image.data(), c.image.size()));
        EXPECT_NE(wave.Error().find(c.reason), std::string::npos) << wave.Error();
        EXPECT_EQ(wave.channels, 1) << "a refused file leaves the last one as it was";
        EXPECT_EQ(wave.samples.size(), good.size() - 44);
    }
    const std::string path = "wave-file-test.sfx";
    WriteBytes(path, good);
    EXPECT_TRUE(wave.Load(path)) << wave.Error();
    EXPECT_EQ(wave.samples.size(), good.size() - 44);
    std::remove(path.c_str());
    EXPECT_FALSE(wave.Load(path));
    EXPECT_EQ(wave.Error(), "the file cannot be opened");
}
