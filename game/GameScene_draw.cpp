// The drawing half of every frame: sky, egg, chicken, sea, level, blood,
// then the 2D overlays.
#include "GameScene.h"

#include "console/tavFont.h"

namespace
{
// One white sun, high and in front of the start, throwing no specular or
// ambient light (the content's materials glow a little to light the shade).
D3DLIGHT9 MakeSun()
{
    D3DLIGHT9 sun = {};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    sun.Ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    sun.Position = {0.0f, 200.0f, 50.0f};
    const D3DXVECTOR3 direction(0.0f, -190.0f, -50.0f);
    D3DXVec3Normalize(reinterpret_cast<D3DXVECTOR3*>(&sun.Direction), &direction);
    sun.Range = 100.0f;
    sun.Falloff = 30.0f;
    sun.Attenuation0 = 0.0f;
    sun.Attenuation1 = 20.0f;
    sun.Attenuation2 = 0.0f;
    return sun;
}

const D3DLIGHT9 Sun = MakeSun();
const D3DCOLOR NoAmbient = 0xFF000000;
const D3DCOLOR GameOverRed = 0xFFFF0000;
} // namespace

HRESULT GameScene::DrawFrame(float seconds)
{
    // 1.-2. The camera moves the sky to the eye; the sea hides its bottom.
    engine->Apply3D();
    if (sky) sky->Render(false);
    // 3.-5.
    if (alive) DrawEgg(seconds);
    SetSun();
    if (alive && chicken) chicken->Draw(player.position, player.orientation);
    // 6.-7.
    DrawSea(seconds);
    // 8.-9.
    engine->ResetWorldTransform();
    if (level) level->Draw();
    if (!alive) DrawBlood();
    // 10.-12. The console over everything.
    engine->ResetWorldTransform();
    engine->Set2D();
    if (!alive) DrawGameOver();
    engine->tavConsole::Draw();
    return S_OK;
}

void GameScene::DrawEgg(float seconds)
{
    D3DXQUATERNION spin(0.0f, seconds, 0.0f, 1.0f);
    D3DXQuaternionMultiply(&egg.orientation, &egg.orientation, &spin);
    D3DXQuaternionNormalize(&egg.orientation, &egg.orientation);
    D3DXMATRIX world, placement;
    D3DXMatrixRotationQuaternion(&world, &egg.orientation);
    D3DXMatrixTranslation(&placement, egg.position.x, egg.position.y, egg.position.z);
    D3DXMatrixMultiply(&world, &world, &placement);
    engine->SetWorldTransform(world);
    if (eggMesh) eggMesh->Draw();
}

void GameScene::SetSun()
{
    engine->SetLighting(true, NoAmbient);
    engine->SetLight(0, Sun);
    engine->EnableLight(0, true);
}

void GameScene::DrawSea(float seconds)
{
    waterSwirl.Update(seconds);
    waterBob.Update(seconds);
    D3DXMATRIX world, bob;
    D3DXMatrixRotationY(&world, waterSwirl.Value());
    D3DXMatrixTranslation(&bob, 0.0f, waterBob.Value(), 0.0f);
    D3DXMatrixMultiply(&world, &world, &bob);
    engine->SetWorldTransform(world);
    // The sea's own texture goes on stage 0, the caustic frame on stage 1.
    // A device reset puts stage 1 back to its defaults (the scene keeps no
    // reset hook), so its filters and blend are set again here, every frame.
    engine->ApplyFilters(1);
    SetUpCausticStage();
    engine->SetTexture(int(caustics.Current()), 1);
    if (water) water->Render(0, -1);
    engine->SetTexture(-1, 1);
}

void GameScene::DrawBlood()
{
    if (!bloodMesh) return;
    // The drop is scaled up: its normals must be scaled back.
    engine->SetNormalizeNormals(true);
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, BloodScale, BloodScale, BloodScale);
    for (uint32_t handle = 1; handle <= uint32_t(BloodDrops); ++handle)
    {
        if (!physics.GetBody(handle)) continue;
        D3DXMATRIX transform, world;
        physics.GetTransform(handle, &transform, true);
        D3DXMatrixMultiply(&world, &scale, &transform);
        engine->SetWorldTransform(world);
        bloodMesh->Draw();
    }
    engine->SetNormalizeNormals(false);
}

void GameScene::DrawGameOver()
{
    tavFont* font = engine->GetFont();
    if (!font) return;
    tavTextRect rect;
    font->DrawTextF(rect, 400.0f, 800.0f, GameOverRed, "Game Over! Press Space!");
}
