#pragma once
// The sea's two kinds of texture. Both tile (the sea repeats its texture ten
// times across), and the caustic frames also loop in time: frame `count`
// would equal frame 0.

#include "Image.h"

namespace assetgen
{

class SeaPainter
{
public:
    // Deep blue-green water with swell and glints.
    static Image Water(int size);
    // Frame `frame` of `count` of moving caustic light: dark with bright
    // rippling lines; the game adds it on top of the water (multiply-add).
    static Image Caustic(int frame, int count, int size);
};

} // namespace assetgen
