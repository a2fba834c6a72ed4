#pragma once
// The sea's two kinds of texture. Both tile (the sea repeats its texture ten
// times across), and the caustic frames also loop in time: frame `count`
// would equal frame 0.

#include "tavImage.h"

class SeaPainter
{
public:
    // Deep blue-green water with swell and glints.
    static tavImage Water(int size);
    // Frame `frame` of `count` of moving caustic light: dark with bright
    // rippling lines; the game adds it on top of the water (multiply-add).
    static tavImage Caustic(int frame, int count, int size);
};
