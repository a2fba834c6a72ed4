#include "AssetGenerator.h"
#include "BinaryFile.h"
#include "ImageFile.h"
#include "WaveFile.h"
#include "XFileWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

using namespace assetgen;
namespace fs = std::filesystem;

namespace
{
// A 3 x 2 picture with a different colour in every pixel.
Image Sample()
{
    Image image(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.At(x, y) = {float(x) / 2.0f, float(y), 0.2f, 0.6f};
    return image;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
} // namespace

// Mono (it can play as a 3D sound) 16-bit PCM, the byte rate twice the
// rate; samples rounded, full scale and beyond clamped to +-32767.
TEST(WaveFile, HeaderFieldsSitAtTheOffsetsTheEngineReadsAndSamplesAreRoundedAndClamped)
{
    const std::string expected("RIFF2\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0"
                               "\x02\0\x10\0data\x0e\0\0\0"
                               "\0\0\0\x40\0\xe0\xff\x7f\x01\x80\xff\x7f\x01\x80",
                               58);
    const std::vector<uint8_t> wav = WaveFile::Encode({0, 0.5f, -0.25f, 1, -1, 2, -3}, 22050);
    EXPECT_EQ(std::string(wav.begin(), wav.end()), expected);
}

// TGA: uncompressed true colour, 24 bits, bottom left first (pixel (0, 1):
// b 51, g 255, r 0), the version two footer. DDS: one level of A8R8G8B8, top
// row first, B, G, R, A. BMP: 24-bit rows of 9 bytes padded to 12, bottom first.
TEST(ImageFile, TgaDdsAndBmpHeadersAndRowsAreWhatTheLoadersRead)
{
    const std::vector<uint8_t> tga = ImageFile::EncodeTGA(Sample(), false),
                               dds = ImageFile::EncodeDDS(Sample()),
                               bmp = ImageFile::EncodeBMP(Sample());
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 3 + 26);
    EXPECT_EQ((std::vector<uint8_t>{tga[2], tga[12], tga[14], tga[16], tga[17], tga[18], tga[19],
                                    tga[20]}),
              (std::vector<uint8_t>{2, 3, 2, 24, 0, 51, 255, 0}));
    EXPECT_EQ(std::string(tga.end() - 18, tga.end()), std::string("TRUEVISION-XFILE.", 18));
    ASSERT_EQ(dds.size(), 128u + 3 * 2 * 4);
    EXPECT_EQ((std::vector<uint32_t>{U32(dds, 0), U32(dds, 4), U32(dds, 12), U32(dds, 16),
                                     U32(dds, 20), U32(dds, 80), U32(dds, 92), U32(dds, 104),
                                     U32(dds, 108), dds[128], dds[131]}),
              (std::vector<uint32_t>{0x20534444, 124, 2, 3, 12, 0x41, 0xFF0000, 0xFF000000u, 0x1000,
                                     51, 153}));
    ASSERT_EQ(bmp.size(), 54u + 24);
    EXPECT_EQ((std::vector<uint32_t>{U32(bmp, 2), bmp[28], bmp[54 + 9], bmp[54 + 2], bmp[54 + 1]}),
              (std::vector<uint32_t>{78, 24, 0, 0, 255}));
}

TEST(XFileWriter, FloatsAlwaysCarryADecimalPointAndNoNegativeZero)
{
    const float values[] = {0.0f, -0.0f, -2.5f, -1e-9f, 7081.0f};
    const char* texts[] = {"0.000000", "0.000000", "-2.500000", "0.000000", "7081.000000"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(XFileWriter::Float(values[i]), texts[i]) << values[i];
}

// Two runs at once (nothing may be shared between generators): the same bytes.
TEST(AssetGenerator, TwoRunsWriteTheSameBytesWithEveryFileTheGameLoads)
{
    const fs::path top =
        fs::temp_directory_path() /
        ("tav-assetgen-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(top);
    const fs::path dir[2] = {top / "0", top / "1"};
    fs::create_directories(dir[0]), fs::create_directories(dir[1]);
    AssetGenerator generator[2];
    std::string error[2];
    bool wrote[2] = {};
    auto run = [&](int k) { wrote[k] = generator[k].Generate(dir[k].string(), error[k]); };
    std::thread other(run, 1);
    run(0);
    other.join();
    std::map<std::string, std::vector<uint8_t>> files[2];
    for (int k = 0; k < 2; ++k)
    {
        ASSERT_TRUE(wrote[k]) << error[k];
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir[k]))
            EXPECT_TRUE(
                e.is_directory() ||
                BinaryFile::Read(e.path().string(),
                                 files[k][e.path().lexically_relative(dir[k]).generic_string()]));
    }
    EXPECT_TRUE(files[0] == files[1]);
    EXPECT_EQ(files[0].size(), generator[0].Written().size());
    fs::remove_all(top);
    const std::string missing = (top / "none" / "such").string();
    EXPECT_FALSE(generator[0].Generate(missing, error[0]));
    EXPECT_EQ(error[0].rfind("cannot write " + missing + "/", 0), 0u) << error[0];
}
