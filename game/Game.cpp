#include "Game.h"

HRESULT Game::GameInitialize() { return S_OK; }
