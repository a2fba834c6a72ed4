#pragma once
// The tiling surface textures the models name in their materials: the
// level's ground, rock, wood and stone, and the chicken's, egg's and blood's
// skins. Each is square, tiles without seams, and reads well at a distance
// (the pattern's contrast lives in the low frequencies, which mip-mapping
// keeps).

#include "tavImage.h"

#include <string>

class SurfacePainter
{
public:
    static tavImage Grass(int size);
    static tavImage Rock(int size);
    // Boards along u, gaps across v.
    static tavImage Planks(int size);
    // Square flagstones, four by four.
    static tavImage Flagstones(int size);
    // Stone blocks in a running bond, the courses along u.
    static tavImage Wall(int size);
    // The golden tiles round the egg.
    static tavImage GoldTiles(int size);
    static tavImage Bark(int size);
    static tavImage Leaves(int size);
    static tavImage Feathers(int size);
    // Beak and legs.
    static tavImage Skin(int size);
    static tavImage Comb(int size);
    // Dark pupil round v = 0, amber iris, dark rim.
    static tavImage Eye(int size);
    static tavImage EggShell(int size);
    static tavImage Blood(int size);
};
