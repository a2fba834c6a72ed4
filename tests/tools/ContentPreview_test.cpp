// Pictures of the generated content as the game shows it, saved in the test
// run's previews/ folder for a person to look at: each model, the sky box,
// and the level from the game's camera along the route.
#include "ContentFiles.h"
#include "LevelDesign.h"
#include "PreviewRenderer.h"
#include "support/TestEngine.h"
#include "BinaryFile.h"
#include "ImageFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const int Width = 800, Height = 640;
const D3DCOLOR Backdrop = 0xFF6F8FAF;

class ContentPreview : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        std::string error;
        ASSERT_TRUE(renderer.Create(engine->GetDevice(), Width, Height, error)) << error;
        for (const char* name : {"chixen.x", "egg.x", "blood.x", "level.x"})
        {
            meshes.emplace_back();
            ASSERT_TRUE(meshes.back().Load(engine->GetDevice(), ContentFile(name), error)) << error;
        }
        for (int i = 0; i < 6; ++i)
            sky[i] = LoadTexture("sky1-" + std::to_string(i) + ".tex", 1);
        water = LoadTexture("water.tex", 9);
        caustic = LoadTexture("caust0.tga", 9);
    }

    void TearDown() override
    {
        for (PreviewMesh& m : meshes)
            m.Release();
        for (IDirect3DTexture9*& t : sky)
            if (t) t->Release();
        if (water) water->Release();
        if (caustic) caustic->Release();
        renderer.Release();
        EngineTest::TearDown();
    }

    IDirect3DTexture9* LoadTexture(const std::string& name, UINT levels)
    {
        IDirect3DTexture9* texture = nullptr;
        D3DXCreateTextureFromFileExA(engine->GetDevice(), ContentFile(name).c_str(), D3DX_DEFAULT,
                                     D3DX_DEFAULT, levels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                     D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
        return texture;
    }

    // The chicken as the game draws it: legs swung by -walk and +walk,
    // the rest bobbing by walk / 20, then turned and placed.
    void DrawChicken(const D3DXVECTOR3& position, float yaw, float walk)
    {
        D3DXMATRIX place, turn, pose, world;
        D3DXMatrixRotationY(&turn, yaw);
        D3DXMatrixTranslation(&place, position.x, position.y, position.z);
        D3DXMatrixMultiply(&place, &turn, &place);
        for (int i = 0; i < int(meshes[0].materials.size()); ++i)
        {
            if (i == 1)
                D3DXMatrixRotationX(&pose, -walk);
            else if (i == 8)
                D3DXMatrixRotationX(&pose, walk);
            else
                D3DXMatrixTranslation(&pose, 0.0f, walk * 0.05f, 0.0f);
            D3DXMatrixMultiply(&world, &pose, &place);
            renderer.DrawMesh(meshes[0], world, i);
        }
    }

    // The whole game picture with the game's follow camera behind the
    // chicken at `position` facing `yaw`.
    void GameView(const D3DXVECTOR3& position, float yaw)
    {
        const D3DXVECTOR3 eye =
            position + D3DXVECTOR3(-270.0f * std::sin(yaw), 70.0f, -270.0f * std::cos(yaw));
        renderer.Begin(eye, position + D3DXVECTOR3(0.0f, 50.0f, 0.0f), Backdrop);
        World(true);
        DrawChicken(position, yaw, 0.0f);
    }

    void World(bool withSky)
    {
        if (withSky) renderer.DrawSky(sky);
        D3DXMATRIX world;
        const assetgen::Vec3 egg = assetgen::LevelDesign::EggPosition;
        D3DXMatrixTranslation(&world, egg.x, egg.y, egg.z);
        renderer.DrawMesh(meshes[1], world);
        renderer.DrawSea(water, caustic);
        D3DXMatrixIdentity(&world);
        renderer.DrawMesh(meshes[3], world);
    }

    void Save(const std::string& name)
    {
        const std::string path = PreviewFolder() + "\\" + name + ".bmp";
        ASSERT_TRUE(renderer.End(path)) << path;
        // Not blank: a picture has many colours.
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(assetgen::BinaryFile::Read(path, bytes));
        ASSERT_EQ(bytes.size(), size_t(54 + Width * 3 * Height));
        size_t differing = 0;
        for (size_t i = 54 + 3; i < bytes.size(); i += 3)
            differing +=
                bytes[i] != bytes[54] || bytes[i + 1] != bytes[55] || bytes[i + 2] != bytes[56];
        EXPECT_GT(differing, size_t(Width * Height / 20)) << name << " is nearly one colour";
    }

    float Heading(const assetgen::LevelRouteStep& from, const assetgen::LevelRouteStep& to)
    {
        return std::atan2(to.x - from.x, to.z - from.z);
    }

    PreviewRenderer renderer;
    std::vector<PreviewMesh> meshes;
    IDirect3DTexture9* sky[6] = {};
    IDirect3DTexture9* water = nullptr;
    IDirect3DTexture9* caustic = nullptr;
};
} // namespace

TEST_F(ContentPreview, ModelsCloseUp)
{
    renderer.Begin({26.0f, 10.0f, 30.0f}, {0.0f, 0.0f, 0.0f}, Backdrop);
    DrawChicken({0.0f, 0.0f, 0.0f}, 0.0f, 0.0f);
    Save("chicken-front");
    renderer.Begin({42.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, Backdrop);
    DrawChicken({0.0f, 0.0f, 0.0f}, 0.0f, 0.75f);
    Save("chicken-side-walking");
    renderer.Begin({-14.0f, 16.0f, -36.0f}, {0.0f, 2.0f, 0.0f}, Backdrop);
    DrawChicken({0.0f, 0.0f, 0.0f}, 0.0f, -0.5f);
    Save("chicken-back");

    D3DXMATRIX world;
    renderer.Begin({0.0f, 2.0f, 22.0f}, {0.0f, -4.0f, 0.0f}, Backdrop);
    D3DXMatrixIdentity(&world);
    renderer.DrawMesh(meshes[1], world);
    Save("egg");

    renderer.Begin({0.0f, 20.0f, 90.0f}, {0.0f, 0.0f, 0.0f}, Backdrop);
    for (int i = 0; i < 5; ++i)
    {
        D3DXMATRIX scale, turn, move;
        D3DXMatrixScaling(&scale, 170.0f, 170.0f, 170.0f);
        D3DXMatrixRotationYawPitchRoll(&turn, float(i) * 0.9f, float(i) * 0.7f, float(i) * 0.4f);
        D3DXMatrixTranslation(&move, float(i - 2) * 24.0f, 0.0f, 0.0f);
        D3DXMatrixMultiply(&world, &scale, &turn);
        D3DXMatrixMultiply(&world, &world, &move);
        renderer.DrawMesh(meshes[2], world);
    }
    Save("blood-drops");
}

TEST_F(ContentPreview, SkyBoxAllRound)
{
    const struct
    {
        const char* name;
        D3DXVECTOR3 at, up;
    } views[] = {{"sky-north", {0, 0.3f, 1}, {0, 1, 0}},  {"sky-east", {1, 0.3f, 0}, {0, 1, 0}},
                 {"sky-south", {0, 0.3f, -1}, {0, 1, 0}}, {"sky-west", {-1, 0.3f, 0}, {0, 1, 0}},
                 {"sky-up", {0, 1, 0}, {0, 0, 1}},        {"sky-corner", {1, 1, 1}, {0, 1, 0}}};
    for (const auto& v : views)
    {
        renderer.Begin({0, 0, 0}, v.at, Backdrop, v.up);
        renderer.DrawSky(sky);
        Save(v.name);
    }
}

TEST_F(ContentPreview, LevelAlongTheRoute)
{
    GameView({assetgen::LevelDesign::Start.x, assetgen::LevelDesign::Start.y - 2.0f,
              assetgen::LevelDesign::Start.z},
             0.0f);
    Save("game-start");

    // From a few places on the way, looking where the route goes next.
    const std::vector<assetgen::LevelRouteStep> route = assetgen::LevelDesign::Route();
    const struct
    {
        const char* name;
        size_t step;
        float height;
    } stops[] = {{"route-fork", 0, 48.0f},      {"route-plaza", 2, 261.0f},
                 {"route-orchard", 10, 395.0f}, {"route-stairs", 12, 648.0f},
                 {"route-gate", 17, 1109.0f},   {"route-ledge", 20, 1189.0f}};
    for (const auto& stop : stops)
    {
        const assetgen::LevelRouteStep& here = route[stop.step];
        GameView({here.x, stop.height + 10.0f, here.z}, Heading(here, route[stop.step + 1]));
        Save(stop.name);
    }

    renderer.Begin({-2600.0f, 3200.0f, -2400.0f}, {2800.0f, 500.0f, 3600.0f}, Backdrop);
    World(true);
    Save("level-overview");
    renderer.Begin({3100.0f, 16000.0f, 3400.0f}, {3100.0f, 0.0f, 3400.0f}, Backdrop, {0, 0, 1});
    World(false);
    Save("level-map");
}
