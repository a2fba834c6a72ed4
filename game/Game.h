#pragma once
// The application: the engine with the game's own start-up (which has
// nothing to do: the game lives in its scene).

#include "core/TAV.h"

class Game : public TAV
{
public:
    HRESULT GameInitialize() override;
};
