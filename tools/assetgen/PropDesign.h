#pragma once
// The two small props: the golden egg the chicken is after, and the drop of
// blood the game scatters when the chicken bursts.

#include "Mesh.h"

namespace assetgen
{

class PropDesign
{
public:
    // Standing on its blunt end: the bottom at y = -10 (the egg's place is
    // ten units above the ground it stands on), 12.5 units tall, turning
    // about the y axis.
    static Mesh Egg();
    // One drop, rounded below and pointed above, centred on the origin. The
    // game draws it scaled by DropScale, where it fills a sphere of
    // diameter 20 (the drop's physics body).
    static Mesh BloodDrop();

    static constexpr float DropScale = 170.0f;
    static constexpr float EggBottom = -10.0f;
    static constexpr float EggHeight = 12.5f;
};

} // namespace assetgen
