#pragma once
// The game: a chicken steered over a level floating in the sea.

#include "core/TAV.h"

class GameScene : public tavScene
{
public:
    explicit GameScene(TAV* engine);

    HRESULT Initialize() override;
    HRESULT Render() override;
    HRESULT Destroy() override;

private:
    TAV* engine;
};
