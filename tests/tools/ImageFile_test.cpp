#include "ImageFile.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace assetgen;

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

TEST(ImageFile, TgaIsUncompressedBottomUpBgrWithTheVersionTwoFooter)
{
    const std::vector<uint8_t> tga = ImageFile::EncodeTGA(Sample(), false);
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 3 + 26);
    EXPECT_EQ(tga[2], 2);  // true colour, not run-length coded
    EXPECT_EQ(tga[12], 3); // width
    EXPECT_EQ(tga[14], 2); // height
    EXPECT_EQ(tga[16], 24);
    EXPECT_EQ(tga[17], 0); // origin bottom left
    // The first pixel stored is the bottom-left one: (0, 1) = r 0, g 255, b 51.
    EXPECT_EQ(tga[18], 51);
    EXPECT_EQ(tga[19], 255);
    EXPECT_EQ(tga[20], 0);
    EXPECT_EQ(std::memcmp(&tga[tga.size() - 18], "TRUEVISION-XFILE.", 18), 0);
}

TEST(ImageFile, TgaAndDdsReadBackWhatWasWrittenAndRefuseDamage)
{
    const Image image = Sample();
    for (bool alpha : {false, true})
    {
        Image back(1, 1);
        ASSERT_TRUE(ImageFile::DecodeTGA(ImageFile::EncodeTGA(image, alpha), back));
        ASSERT_EQ(back.Width(), 3);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                for (int c = 0; c < 4; ++c)
                    EXPECT_EQ(back.Byte(x, y, c), c == 3 && !alpha ? 255 : image.Byte(x, y, c));
    }
    Image out(1, 1);
    std::vector<uint8_t> dds = ImageFile::EncodeDDS(image);
    ASSERT_TRUE(ImageFile::DecodeDDS(dds, out));
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(out.Byte(2, 1, c), image.Byte(2, 1, c));

    std::vector<uint8_t> tga = ImageFile::EncodeTGA(image, false);
    tga.resize(30);
    EXPECT_FALSE(ImageFile::DecodeTGA(tga, out));
    EXPECT_FALSE(ImageFile::DecodeTGA(dds, out)); // foreign
    dds.resize(dds.size() - 1);
    EXPECT_FALSE(ImageFile::DecodeDDS(dds, out));
    EXPECT_FALSE(ImageFile::DecodeDDS({}, out));
}

TEST(ImageFile, DdsHeaderDescribesOneLevelOfA8R8G8B8)
{
    const std::vector<uint8_t> dds = ImageFile::EncodeDDS(Sample());
    ASSERT_EQ(dds.size(), 128u + 3 * 2 * 4);
    EXPECT_EQ(std::memcmp(dds.data(), "DDS ", 4), 0);
    EXPECT_EQ(U32(dds, 4), 124u);
    EXPECT_EQ(U32(dds, 12), 2u);    // height
    EXPECT_EQ(U32(dds, 16), 3u);    // width
    EXPECT_EQ(U32(dds, 20), 12u);   // pitch
    EXPECT_EQ(U32(dds, 80), 0x41u); // RGB with alpha, no FourCC
    EXPECT_EQ(U32(dds, 92), 0x00FF0000u);
    EXPECT_EQ(U32(dds, 104), 0xFF000000u);
    EXPECT_EQ(U32(dds, 108), 0x1000u);
    // Top row first, stored B, G, R, A.
    EXPECT_EQ(dds[128], 51);
    EXPECT_EQ(dds[131], 153);
}

TEST(ImageFile, BmpRowsArePaddedToFourBytes)
{
    const std::vector<uint8_t> bmp = ImageFile::EncodeBMP(Sample());
    // 3 pixels = 9 bytes, padded to 12; two rows.
    ASSERT_EQ(bmp.size(), 54u + 24);
    EXPECT_EQ(U32(bmp, 2), 78u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(bmp[54 + 9], 0);
    EXPECT_EQ(bmp[54 + 2], 0); // bottom row first: (0, 1) has red 0
    EXPECT_EQ(bmp[54 + 1], 255);
}
