#pragma once
// The tiling surface textures the models name in their materials: the
// level's ground, rock, wood and stone, and the chicken's, egg's and blood's
// skins. Each is square, tiles without seams, and reads well at a distance
// (the pattern's contrast lives in the low frequencies, which mip-mapping
// keeps).

#include "Image.h"

#include <string>

namespace assetgen
{

class SurfacePainter
{
public:
    static Image Grass(int size);
    static Image Rock(int size);
    // Boards along u, gaps across v.
    static Image Planks(int size);
    // Square flagstones, four by four.
    static Image Flagstones(int size);
    // Stone blocks in a running bond, the courses along u.
    static Image Wall(int size);
    // The golden tiles round the egg.
    static Image GoldTiles(int size);
    static Image Bark(int size);
    static Image Leaves(int size);
    static Image Feathers(int size);
    // Beak and legs.
    static Image Skin(int size);
    static Image Comb(int size);
    // Dark pupil round v = 0, amber iris, dark rim.
    static Image Eye(int size);
    static Image EggShell(int size);
    static Image Blood(int size);
};

} // namespace assetgen
