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

TEST(WaveFile, HeaderFieldsSitAtTheOffsetsTheEngineReadsAndSamplesAreRoundedAndClamped)
{
    // Mono (it can play as a 3D sound), 16-bit PCM, byte rate twice the rate.
    const std::string expected("RIFF*\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0"
                               "\x02\0\x10\0data\x06\0\0\0\0\0\0\x40\0\xc0",
                               50);
    const std::vector<uint8_t> wav = WaveFile::Encode({0.0f, 0.5f, -0.5f}, 22050);
    EXPECT_EQ(std::string(wav.begin(), wav.end()), expected);
    WaveInfo info;
    std::vector<int16_t> samples;
    std::string error;
    ASSERT_TRUE(
        WaveFile::Decode(WaveFile::Encode({1, -1, 2, -3, 0.5f}, 44100), info, samples, error))
        << error;
    EXPECT_EQ(info.sampleRate, 44100u);
    EXPECT_EQ(samples, (std::vector<int16_t>{32767, -32767, 32767, -32767, 16384}));
}

TEST(WaveFile, DecodeRefusesWhatTheFixedOffsetsWouldMisread)
{
    const std::vector<uint8_t> good = WaveFile::Encode(std::vector<float>(10, 0.1f), 22050);
    const struct
    {
        size_t at, value; // value 999: the file cut short there
        const char* error;
    } cases[] = {{43, 999, "shorter than the 44-byte header"},
                 {36, 'L', ""}, // a LIST chunk where the data should start
                 {40, 200, "data size runs past the end of the file"},
                 {34, 8, ""}}; // 8-bit samples
    for (const auto& c : cases)
    {
        std::vector<uint8_t> bad = good;
        c.value == 999 ? bad.resize(c.at) : void(bad[c.at] = uint8_t(c.value));
        bad[4] = c.at == 40 ? 236 : bad[4]; // the RIFF size along with the data size
        WaveInfo info;
        std::vector<int16_t> samples;
        std::string error;
        EXPECT_FALSE(WaveFile::Decode(bad, info, samples, error)) << c.at;
        EXPECT_TRUE(samples.empty()) << c.at;
        EXPECT_TRUE(!*c.error || error == c.error) << error;
    }
}

TEST(ImageFile, TgaIsUncompressedBottomUpBgrWithTheVersionTwoFooter)
{
    const std::vector<uint8_t> tga = ImageFile::EncodeTGA(Sample(), false);
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 3 + 26);
    // True colour uncompressed, 3 x 2, 24 bits, origin bottom left; the first
    // pixel stored is (0, 1): b 51, g 255, r 0.
    const std::vector<uint8_t> head = {tga[2],  tga[12], tga[14], tga[16],
                                       tga[17], tga[18], tga[19], tga[20]};
    EXPECT_EQ(head, (std::vector<uint8_t>{2, 3, 2, 24, 0, 51, 255, 0}));
    EXPECT_EQ(std::memcmp(&tga[tga.size() - 18], "TRUEVISION-XFILE.", 18), 0);
}

TEST(ImageFile, TgaAndDdsReadBackWhatWasWrittenAndRefuseDamage)
{
    const Image image = Sample();
    Image out(1, 1);
    for (bool alpha : {false, true})
    {
        ASSERT_TRUE(ImageFile::DecodeTGA(ImageFile::EncodeTGA(image, alpha), out));
        ASSERT_EQ(out.Width(), 3);
        for (int n = 0; n < 24; ++n)
            EXPECT_EQ(out.Byte(n % 3, n / 3 % 2, n / 6),
                      n / 6 == 3 && !alpha ? 255 : image.Byte(n % 3, n / 3 % 2, n / 6));
    }
    std::vector<uint8_t> dds = ImageFile::EncodeDDS(image);
    ASSERT_TRUE(ImageFile::DecodeDDS(dds, out));
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(out.Byte(2, 1, c), image.Byte(2, 1, c));
    std::vector<uint8_t> tga = ImageFile::EncodeTGA(image, false);
    tga.resize(30);
    EXPECT_FALSE(ImageFile::DecodeTGA(tga, out));
    EXPECT_FALSE(ImageFile::DecodeTGA(dds, out)); // foreign
    dds.pop_back();
    EXPECT_FALSE(ImageFile::DecodeDDS(dds, out));
    EXPECT_FALSE(ImageFile::DecodeDDS({}, out));
}

// DDS: one level of A8R8G8B8, top row first, stored B, G, R, A. BMP: 24-bit
// rows of 9 bytes padded to 12, bottom row first.
TEST(ImageFile, DdsHeaderAndBmpRowsArePaddedToFourBytes)
{
    const std::vector<uint8_t> dds = ImageFile::EncodeDDS(Sample());
    ASSERT_EQ(dds.size(), 128u + 3 * 2 * 4);
    EXPECT_EQ(std::memcmp(dds.data(), "DDS ", 4), 0);
    const std::vector<uint32_t> fields = {U32(dds, 4),  U32(dds, 12), U32(dds, 16),  U32(dds, 20),
                                          U32(dds, 80), U32(dds, 92), U32(dds, 104), U32(dds, 108),
                                          dds[128],     dds[131]};
    EXPECT_EQ(fields,
              (std::vector<uint32_t>{124, 2, 3, 12, 0x41, 0xFF0000, 0xFF000000u, 0x1000, 51, 153}));
    const std::vector<uint8_t> bmp = ImageFile::EncodeBMP(Sample());
    ASSERT_EQ(bmp.size(), 54u + 24);
    EXPECT_EQ((std::vector<uint32_t>{U32(bmp, 2), bmp[28], bmp[54 + 9], bmp[54 + 2], bmp[54 + 1]}),
              (std::vector<uint32_t>{78, 24, 0, 0, 255}));
}

TEST(XFileWriter, FloatsAlwaysCarryADecimalPointAndNoNegativeZero)
{
    const std::pair<float, const char*> cases[] = {{0.0f, "0.000000"},
                                                   {-0.0f, "0.000000"},
                                                   {-2.5f, "-2.500000"},
                                                   {-1e-9f, "0.000000"},
                                                   {7081.0f, "7081.000000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(XFileWriter::Float(value), text) << value;
}

// Two triangles added in the opposite order of their materials; the second
// material has a texture, the first none.
TEST(XFileWriter, OneMeshWithFacesGroupedBySubsetAndTexturesOnlyWhereSet)
{
    Mesh mesh;
    MeshMaterial plain, tiled;
    plain.name = "Plain";
    tiled.name = "Tiled";
    tiled.texture = "tiles.tex";
    tiled.emissive[0] = 0.25f;
    mesh.AddMaterial(plain);
    mesh.AddMaterial(tiled);
    for (int i = 0; i < 6; ++i)
        mesh.AddVertex({float(i), 0.0f, float(i % 2)}, {0.0f, 1.0f, 0.0f}, 0.5f, -1.0f);
    mesh.AddTriangle(3, 4, 5, 1);
    mesh.AddTriangle(0, 1, 2, 0);
    const std::string text = XFileWriter::ToText(mesh, "Sample");
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    EXPECT_EQ(text.find("Mesh ", text.find("Mesh ") + 1), std::string::npos) << "one mesh";
    const size_t normals = text.find("MeshNormals"), plainAt = text.find("Material Plain {"),
                 tiledAt = text.find("Material Tiled {");
    for (const char* part : {" 6;\n", " 2;\n 3;0,1,2;,\n 3;3,4,5;;\n", // material 0's face first
                             "MeshMaterialList {\n 2;\n 2;\n 0,\n 1;\n",
                             "MeshTextureCoords {\n 6;\n 0.500000;-1.000000;,"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_NE(text.find(" 3;0,1,2;,", normals), std::string::npos); // normals repeat the faces
    EXPECT_GT(text.find("TextureFilename"), tiledAt);               // none in Plain
    EXPECT_GT(tiledAt, plainAt);
    // faceColor, power, specular, emissive: all floats.
    EXPECT_NE(text.find("  1.000000;1.000000;1.000000;1.000000;;\n  0.000000;\n", tiledAt),
              std::string::npos);
    EXPECT_NE(text.find("  0.250000;0.000000;0.000000;;\n", tiledAt), std::string::npos);
    EXPECT_NE(text.find("TextureFilename {\n   \"tiles.tex\";\n  }", tiledAt), std::string::npos);
}

// Two runs at once, in two threads (nothing may be shared between
// generators) write the same bytes, and sounds the engine can play; the
// content test and the game's load every other file.
TEST(AssetGenerator, TwoRunsWriteTheSameBytesWithEveryFileTheGameLoads)
{
    const fs::path top =
        fs::temp_directory_path() /
        ("tav-assetgen-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(top);
    AssetGenerator generator, other;
    std::string error, otherError;
    bool otherWrote = false;
    fs::create_directories(top / "a");
    fs::create_directories(top / "b");
    std::thread run([&] { otherWrote = other.Generate((top / "b").string(), otherError); });
    const bool wrote = generator.Generate((top / "a").string(), error);
    run.join();
    ASSERT_TRUE(wrote) << error;
    ASSERT_TRUE(otherWrote) << otherError;
    std::map<std::string, std::vector<uint8_t>> files[2];
    for (int k = 0; k < 2; ++k)
    {
        const fs::path folder = top / (k ? "b" : "a");
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        {
            const std::string name = e.path().lexically_relative(folder).generic_string();
            EXPECT_TRUE(e.is_directory() || BinaryFile::Read(e.path().string(), files[k][name]));
        }
    }
    EXPECT_TRUE(files[0] == files[1]);
    EXPECT_EQ(files[0].size(), generator.Written().size());
    for (const char* name : {"splash.sfx", "jumped.sfx", "pop.sfx", "idle1.sfx", "idle2.sfx",
                             "idle3.sfx", "idle4.sfx", "idle5.sfx"})
    {
        WaveInfo info;
        std::vector<int16_t> samples;
        ASSERT_TRUE(WaveFile::Decode(files[0][name], info, samples, error))
            << name << ": " << error;
        EXPECT_TRUE(info.channels == 1 && info.sampleRate == 22050) << name;
    }
    fs::remove_all(top);

    const std::string missing = (top / "none" / "such").string();
    EXPECT_FALSE(generator.Generate(missing, error));
    EXPECT_EQ(error.rfind("cannot write " + missing + "/", 0), 0u) << error;
}
