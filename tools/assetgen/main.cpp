// tav_assetgen OUT: writes the game's generated content into the folder OUT.
#include "AssetGenerator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    assetgen::AssetGenerator generator;
    std::string error;
    if (!generator.Generate(argv[1], error))
    {
        std::fprintf(stderr, "tav_assetgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("tav_assetgen: %zu files in %s\n", generator.Written().size(), argv[1]);
    return 0;
}
