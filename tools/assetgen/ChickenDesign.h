#pragma once
// The player's chicken: a white hen with a red comb facing +z, its origin
// the centre of the physics sphere (diameter 20) it fits inside. Nine
// subsets, in the order the game animates them: 0 body, 1 left leg, 2 head,
// 3 beak, 4 comb and wattle, 5 wings, 6 eyes, 7 tail, 8 right leg. The legs
// hang from the origin, so turning them about x swings them from the hip.

#include "Mesh.h"

namespace assetgen
{

class ChickenDesign
{
public:
    static Mesh Build();

    enum Subset : uint32_t
    {
        Body = 0,
        LeftLeg = 1,
        Head = 2,
        Beak = 3,
        Comb = 4,
        Wings = 5,
        Eyes = 6,
        Tail = 7,
        RightLeg = 8,
        SubsetCount = 9
    };

private:
    static void AddMaterials(Mesh& mesh);
    static void AddBody(Mesh& mesh);
    static void AddHead(Mesh& mesh);
    static void AddWingsAndTail(Mesh& mesh);
    static void AddLeg(Mesh& mesh, uint32_t subset, float side);
};

} // namespace assetgen
