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

bool Parse(tavWaveFile& wave, const std::vector<uint8_t>& image)
{
    return wave.Parse(image.data(), image.size());
}
} // namespace

TEST(WaveFile, ReadsTheFixedOffsetsAndCopiesExactlyTheDataSize)
{
    WaveLayout layout;
    layout.channels = 2;
    layout.sampleRate = 44100;
    const std::vector<uint8_t> samples = ToneSamples(layout, 1000.0, 0.005);
    std::vector<uint8_t> image = WaveImage(layout, samples);
    Put32(image, 28, 12345); // a wrong byte rate is kept as it is
    image.insert(image.end(), {1, 2, 3, 4, 5, 6, 7});

    tavWaveFile wave;
    ASSERT_TRUE(Parse(wave, image)) << wave.Error();
    EXPECT_EQ(wave.formatTag, 1);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_EQ(wave.sampleRate, 44100u);
    EXPECT_EQ(wave.byteRate, 12345u);
    EXPECT_EQ(wave.blockAlign, 4);
    EXPECT_EQ(wave.bitsPerSample, 16);
    EXPECT_EQ(wave.samples, samples);
}

// Neither the tags nor the format are the reader's business: whatever the
// header says is handed on, and the sound card refuses what it cannot play.
TEST(WaveFile, TagsAndFormatFieldsAreTakenAsTheyStand)
{
    std::vector<uint8_t> image = MonoTone();
    for (size_t at : {0u, 8u, 12u, 36u})
        Put32(image, at, 0x4B4E554A); // "JUNK"
    Put16(image, 20, 2);              // a compressed format
    Put16(image, 22, 0);              // no channels
    Put32(image, 24, 50);             // a rate no card plays
    Put16(image, 32, 3);              // a block that fits nothing
    Put16(image, 34, 12);
    Put32(image, 40, 0); // and no samples
    tavWaveFile wave;
    ASSERT_TRUE(Parse(wave, image)) << wave.Error();
    EXPECT_EQ(wave.formatTag, 2);
    EXPECT_EQ(wave.channels, 0);
    EXPECT_EQ(wave.sampleRate, 50u);
    EXPECT_EQ(wave.blockAlign, 3);
    EXPECT_EQ(wave.bitsPerSample, 12);
    EXPECT_TRUE(wave.samples.empty());
}

TEST(WaveFile, DataToTheLastByteIsAcceptedAndBadFilesAreRefusedWithAReason)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> image;
        const char* reason;
    };
    const std::vector<uint8_t> good = MonoTone();
    auto with = [&](size_t at, uint32_t value, bool wide)
    {
        std::vector<uint8_t> image = good;
        wide ? Put32(image, at, value) : Put16(image, at, uint16_t(value));
        return image;
    };
    const std::vector<Case> cases = {
        {"empty", {}, "holds 0 bytes"},
        {"one byte short of a header", std::vector<uint8_t>(good.begin(), good.begin() + 43),
         "holds 43 bytes"},
        {"data one byte past the end", with(40, uint32_t(good.size() - 44 + 1), true),
         "441 bytes of samples but only 440 follow"},
        {"data size near 4 GiB", with(40, 0xFFFFFFFFu, true), "4294967295 bytes"},
    };

    tavWaveFile wave;
    ASSERT_TRUE(Parse(wave, good)) << "data filling the file to the last byte";
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Parse(wave, c.image));
        EXPECT_NE(wave.Error().find(c.reason), std::string::npos) << wave.Error();
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.samples.size(), good.size() - 44);
    }
}

TEST(WaveFile, LoadsFromDiskAndExplainsAMissingFile)
{
    const std::string path = "wave-file-test.sfx";
    const std::vector<uint8_t> image = MonoTone();
    WriteBytes(path, image);
    tavWaveFile wave;
    EXPECT_TRUE(wave.Load(path)) << wave.Error();
    EXPECT_EQ(wave.samples.size(), image.size() - 44);
    std::remove(path.c_str());

    EXPECT_FALSE(wave.Load(path));
    EXPECT_EQ(wave.Error(), "the file cannot be opened");
}
