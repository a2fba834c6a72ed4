#pragma once
// Image files Direct3D's texture loader reads: uncompressed true-colour TGA
// (type 2, bottom-up, with the version 2 footer), DDS (A8R8G8B8, one level;
// the loader builds the mip chain) and 24-bit BMP (for previews). Readers of
// the same formats let the tests look at what was written.

#include "Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen
{

class ImageFile
{
public:
    // 24-bit TGA, or 32-bit with the alpha channel.
    static std::vector<uint8_t> EncodeTGA(const Image& image, bool alpha);
    static std::vector<uint8_t> EncodeDDS(const Image& image);
    static std::vector<uint8_t> EncodeBMP(const Image& image);

    // False when the bytes are not a file of that kind as written above
    // (wrong signature, unsupported layout, or shorter than the header says).
    static bool DecodeTGA(const std::vector<uint8_t>& bytes, Image& out);
    static bool DecodeDDS(const std::vector<uint8_t>& bytes, Image& out);
};

} // namespace assetgen
