#pragma once
// The two 2D textures of the engine: the console panel's background and the
// GUI atlas.

#include "Image.h"

namespace assetgen
{

class ScreenPainter
{
public:
    // Stretched over the upper half of the screen, v = 0 at the top. The
    // lowest 7.5 % (where the input line is drawn, in black) is light; the
    // rest is dark for the light-coloured console lines.
    static Image Console(int width, int height);
    // A 3 x 3 grid of cells split at u, v = 0.33 and 0.66: row 0 radio
    // button off, on, edit box; row 1 check box off, on, mouse cursor (its
    // hot spot the cell's top-left corner); row 2 empty. Transparent around
    // the shapes.
    static Image Gui(int size);
    // Fraction of the console texture's height, from the bottom, taken by
    // the light input band: the input row is drawn one line above the
    // panel's lower edge, from 37.5 to 75 of its 512 units, with a margin.
    static constexpr float InputBand = 0.17f;
};

} // namespace assetgen
