#include "GameScene.h"

GameScene::GameScene(TAV* e) : engine(e) {}

HRESULT GameScene::Initialize()
{
    tavLockGuard frameLock(*engine);
    engine->SetProjection(0.5f, 40000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);
    engine->SetLoadingProgress(50);
    engine->Leave();
    engine->Enter();
    engine->SetLoadingProgress(100);
    return S_OK;
}

HRESULT GameScene::Render()
{
    // The 2D overlays come last: the console over everything.
    engine->ResetWorldTransform();
    engine->Set2D();
    engine->tavConsole::Draw();
    return S_OK;
}

HRESULT GameScene::Destroy() { return S_OK; }
