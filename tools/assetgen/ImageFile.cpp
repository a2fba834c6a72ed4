#include "ImageFile.h"

#include "BinaryFile.h"

#include <cstring>

namespace assetgen
{

namespace
{
const char TgaSignature[] = "TRUEVISION-XFILE.";
const size_t DdsHeaderBytes = 128;
} // namespace

std::vector<uint8_t> ImageFile::EncodeTGA(const Image& image, bool alpha)
{
    std::vector<uint8_t> out;
    out.reserve(18 + size_t(image.Width()) * size_t(image.Height()) * 4 + 26);
    out.push_back(0); // no image id
    out.push_back(0); // no colour map
    out.push_back(2); // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        out.push_back(0); // colour map fields, unused
    Put16(out, 0);        // x origin
    Put16(out, 0);        // y origin
    Put16(out, uint32_t(image.Width()));
    Put16(out, uint32_t(image.Height()));
    out.push_back(alpha ? 32 : 24);
    out.push_back(alpha ? 8 : 0); // alpha bits; origin bottom left
    for (int y = image.Height() - 1; y >= 0; --y)
        for (int x = 0; x < image.Width(); ++x)
        {
            out.push_back(image.Byte(x, y, 2));
            out.push_back(image.Byte(x, y, 1));
            out.push_back(image.Byte(x, y, 0));
            if (alpha) out.push_back(image.Byte(x, y, 3));
        }
    Put32(out, 0); // no extension area
    Put32(out, 0); // no developer directory
    for (char letter : TgaSignature)
        out.push_back(uint8_t(letter));
    return out;
}

std::vector<uint8_t> ImageFile::EncodeDDS(const Image& image)
{
    std::vector<uint8_t> out;
    const uint32_t w = uint32_t(image.Width()), h = uint32_t(image.Height());
    out.reserve(DdsHeaderBytes + size_t(w) * h * 4);
    for (char letter : {'D', 'D', 'S', ' '})
        out.push_back(uint8_t(letter));
    Put32(out, 124);                            // header size
    Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000); // caps, height, width, pitch, pixel format
    Put32(out, h);
    Put32(out, w);
    Put32(out, w * 4); // pitch
    Put32(out, 0);     // depth
    Put32(out, 0);     // mip levels: one
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);         // pixel format size
    Put32(out, 0x40 | 0x1); // RGB with alpha
    Put32(out, 0);          // no FourCC
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, 0x1000); // a texture
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (int c : {2, 1, 0, 3})
                out.push_back(image.Byte(int(x), int(y), c));
    return out;
}

std::vector<uint8_t> ImageFile::EncodeBMP(const Image& image)
{
    const uint32_t w = uint32_t(image.Width()), h = uint32_t(image.Height());
    const uint32_t row = (w * 3 + 3) & ~3u;
    std::vector<uint8_t> out;
    out.reserve(54 + size_t(row) * h);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + row * h);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);
    Put16(out, 1);
    Put16(out, 24);
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
    for (int y = int(h) - 1; y >= 0; --y)
    {
        for (uint32_t x = 0; x < w; ++x)
            for (int c : {2, 1, 0})
                out.push_back(image.Byte(int(x), y, c));
        for (uint32_t pad = w * 3; pad < row; ++pad)
            out.push_back(0);
    }
    return out;
}

bool ImageFile::DecodeTGA(const std::vector<uint8_t>& bytes, Image& out)
{
    if (bytes.size() < 18 || bytes[1] != 0 || bytes[2] != 2) return false;
    const int bits = bytes[16];
    if (bits != 24 && bits != 32) return false;
    const size_t w = Get16(bytes, 12), h = Get16(bytes, 14);
    const size_t step = size_t(bits / 8);
    const size_t start = 18 + bytes[0];
    if (w == 0 || h == 0 || bytes.size() < start + w * h * step) return false;
    const bool topDown = (bytes[17] & 0x20) != 0;
    out = Image(int(w), int(h));
    for (size_t row = 0; row < h; ++row)
        for (size_t x = 0; x < w; ++x)
        {
            const uint8_t* p = &bytes[start + (row * w + x) * step];
            const size_t y = topDown ? row : h - 1 - row;
            out.At(int(x), int(y)) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f,
                                      step == 4 ? p[3] / 255.0f : 1.0f};
        }
    return true;
}

bool ImageFile::DecodeDDS(const std::vector<uint8_t>& bytes, Image& out)
{
    if (bytes.size() < DdsHeaderBytes || std::memcmp(bytes.data(), "DDS ", 4) != 0 ||
        Get32(bytes, 4) != 124 || Get32(bytes, 88) != 32 || Get32(bytes, 92) != 0x00FF0000)
        return false;
    const size_t h = Get32(bytes, 12), w = Get32(bytes, 16);
    if (w == 0 || h == 0 || w > 16384 || h > 16384 || bytes.size() < DdsHeaderBytes + w * h * 4)
        return false;
    out = Image(int(w), int(h));
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x)
        {
            const uint8_t* p = &bytes[DdsHeaderBytes + (y * w + x) * 4];
            out.At(int(x), int(y)) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, p[3] / 255.0f};
        }
    return true;
}

} // namespace assetgen
