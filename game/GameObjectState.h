#pragma once
// The state the game keeps of one object driven by the physics (the
// chicken) or placed by hand (the egg).

#include <d3dx9.h>

#include <cstdint>

struct GameObjectState
{
    D3DXVECTOR3 position = D3DXVECTOR3(0, 0, 0);
    // The last linear velocity read from the body.
    D3DXVECTOR3 velocity = D3DXVECTOR3(0, 0, 0);
    D3DXQUATERNION orientation = D3DXQUATERNION(0, 0, 0, 1);
    // The physics body handle that drives this object.
    int32_t body = 0;
};
