// Primitive buffers, surfaces, materials, the sky box, the texture pool and the camera.
#include "RenderCheck.h"

#include "graphics/tavCamera.h"
#include "graphics/tavPrimitiveBuffer.h"
#include "graphics/tavSkyBox.h"
#include "graphics/tavStateBlock.h"
#include "graphics/tavSurface.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

using DrawingTest = GraphicsTest;

TEST_F(DrawingTest, BuffersSurfacesAndMaterialsDrawBindAndSurviveAReset)
{
    const D3DCOLOR Backdrop = 0xFF0000FF;
    // `draw` in the 2D set-up, and the pixel at (x, y) of the 2D space (y upwards) then.
    auto Draw2D = [&](int x, int y, const std::function<void()>& draw) {
        return Draw(Backdrop, [&] { engine->Begin2D(), draw(); })
            .Pixel(x, int(engine->GetHeight()) - y);
    };
    // The primitive buffer draws with its texture and refuses runs past its vertices.
    const tavPrimitiveVertex square[4] = {{100, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0},
                                          {300, 300, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 0},
                                          {100, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 1},
                                          {300, 100, 0.5f, 0, 0, -1, 0xFFFFFFFF, 1, 1}};
    tavPrimitiveBuffer buffer(engine);
    ASSERT_EQ(buffer.Create(4, 2, square), S_OK);
    buffer.SetTexture(Solid(0xFFFF0000));
    const std::tuple<int, int, D3DCOLOR> spots[] = {
        {200, 200, 0xFFFF0000}, {50, 50, Backdrop}, {350, 200, Backdrop}};
    for (auto [x, y, colour] : spots)
        EXPECT_TRUE(Near(Draw2D(x, y, [&] { EXPECT_EQ(buffer.Render(0, -1), S_OK); }), colour))
            << x << ", " << y;
    const D3DCOLOR refused = Draw2D(200, 200, [&] {
        buffer.SetHidden(true);
        EXPECT_EQ(buffer.Render(), S_FALSE);
        buffer.SetHidden(false);
        EXPECT_EQ(buffer.Render(1, 2), E_INVALIDARG); // would need vertices 1 to 4
        EXPECT_EQ(buffer.Render(0, -2), E_INVALIDARG);
        buffer.SetPrimitiveType(D3DPT_TRIANGLELIST);
        EXPECT_EQ(buffer.Render(), E_INVALIDARG); // two triangles of a list need six
    });
    EXPECT_TRUE(Near(refused, Backdrop));
    EXPECT_EQ(buffer.Create(0x10000000, 2, square), E_FAIL); // would overflow 32 bits
    // A surface draws into its dynamic texture, again after a device reset.
    tavSurface surface(engine, 0xFFFFFF00);
    EXPECT_EQ(surface.BeginScene(), E_FAIL); // before it has a texture
    const int texture = engine->CreateDynamicTexture(64, 64, 0, 1);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    // The clear colour all over, green on the left half, shown on the square.
    buffer.SetPrimitiveType(D3DPT_TRIANGLESTRIP);
    ASSERT_EQ(buffer.Create(4, 2, square), S_OK);
    buffer.SetTexture(texture);
    auto paintAndShow = [&](D3DCOLOR clear) {
        ASSERT_EQ(surface.BeginScene(), S_OK);
        const D3DRECT left = {0, 0, 32, 64};
        ASSERT_EQ(Device()->Clear(1, &left, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
        ASSERT_EQ(surface.GetRenderToSurface()->EndScene(D3DX_FILTER_NONE), S_OK);
        EXPECT_TRUE(Near(Draw2D(140, 200, [&] { buffer.Render(); }), 0xFF00FF00));
        EXPECT_TRUE(Near(Draw2D(260, 200, [&] { buffer.Render(); }), clear));
    };
    paintAndShow(0xFFFFFF00);
    // Over a reset the pool lets the texture go; the owner has it made anew.
    surface.Release();
    ASSERT_EQ(engine->ResetDevice(), S_OK);
    EXPECT_EQ(engine->GetTexture(texture), nullptr);
    engine->RestoreTexture(texture);
    ASSERT_EQ(surface.InitFromDynamicTexture(texture), S_OK);
    surface.SetClearColour(0xFFFF0000);
    paintAndShow(0xFFFF0000);
    // Material::Apply binds every stage and a state block, which its copies keep alive.
    tavMaterial m;
    std::fill(m.textures, m.textures + tavMaterial::MaxTextures, 7);
    EXPECT_EQ(m.GetTextureCount(), 8);
    std::fill(m.textures + 1, m.textures + tavMaterial::MaxTextures, -1); // stage 1 stays empty
    m.textures[0] = Solid(0xFFFF0000);
    m.textures[2] = Solid(0xFF00FF00);
    EXPECT_EQ(m.GetTextureCount(), 1); // what follows the gap is not counted
    Device()->SetTexture(1, engine->GetTexture(m.textures[0]));
    tavStateBlock block;
    ASSERT_EQ(block.BeginRecording(Device()), S_OK);
    Device()->SetRenderState(D3DRS_FOGENABLE, TRUE);
    ASSERT_EQ(block.EndRecording(Device()), S_OK);
    m.SetStateBlock(block.GetBlock());
    auto fogAfterApply = [&](tavMaterial& material) {
        DWORD on = 2;
        Device()->SetRenderState(D3DRS_FOGENABLE, FALSE);
        EXPECT_EQ(material.Apply(engine), S_OK);
        Device()->GetRenderState(D3DRS_FOGENABLE, &on);
        Device()->SetRenderState(D3DRS_FOGENABLE, FALSE);
        return on;
    };
    EXPECT_EQ(fogAfterApply(m), DWORD(TRUE));
    for (DWORD s = 0; s < 3; ++s)
    {
        IDirect3DBaseTexture9* bound = nullptr;
        Device()->GetTexture(s, &bound);
        if (bound) bound->Release();
        EXPECT_EQ(bound, s == 1 ? nullptr : engine->GetTexture(m.textures[s])) << s;
    }
    // Copies hold the block: the recorder and the original may go first.
    std::vector<tavMaterial> copies(3, *std::make_unique<tavMaterial>(m));
    m.SetStateBlock(nullptr);
    block.Release(Device());
    copies[1] = copies[1];
    EXPECT_EQ(fogAfterApply(copies[1]), DWORD(TRUE));
}

TEST(tavSkyBox, FacePatternTakesTheFaceNumberAndNothingElse)
{
    EXPECT_EQ(tavSkyBox::FaceFileName("./base/sky1-%d.tex", 4), "./base/sky1-4.tex");
    EXPECT_EQ(tavSkyBox::FaceFileName("100%%-%d%s%x.bmp", 2), "100%-2%s%x.bmp");
    EXPECT_EQ(tavSkyBox::FaceFileName("%d%d", 5), "55");
    EXPECT_EQ(tavSkyBox::FaceFileName("trailing%", 0), "trailing%");
    EXPECT_EQ(tavSkyBox::FaceFileName(nullptr, 0), "");
}

TEST_F(DrawingTest, SkyBoxShowsEachFaceUprightFollowsTheEyeAndTurns)
{
    const D3DCOLOR colours[tavSkyBox::FaceCount] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                    0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    for (int d = 0; d < tavSkyBox::FaceCount; ++d)
        WriteBmp("sky-" + std::to_string(d) + ".bmp", 8, 8, [&](int, int) { return colours[d]; });
    // Quarters: red top left, green top right, blue bottom left, white bottom right.
    WriteBmp("sky-quarters.bmp", 64, 64, [](int x, int y) {
        return y < 32 ? (x < 32 ? 0xFFFF0000 : 0xFF00FF00) : (x < 32 ? 0xFF0000FF : 0xFFFFFFFF);
    });
    tavSkyBox sky(engine), quarters(engine);
    sky.Load("sky-%d.bmp");
    quarters.Load("sky-quarters.bmp");
    auto look = [&](tavSkyBox& box, const D3DXVECTOR3& direction, bool drawBottom = true) {
        const bool vertical = direction.x == 0 && direction.z == 0;
        engine->SetView(D3DXVECTOR3(0, 0, 0), direction,
                        vertical ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0));
        return Draw(0xFF000000, [&] {
            engine->Apply3D();
            box.Render(drawBottom);
        });
    };
    const std::pair<D3DXVECTOR3, int> views[] = {
        {{0, 0, 1}, tavSkyBox::Front}, {{0, 0, -1}, tavSkyBox::Back},
        {{1, 0, 0}, tavSkyBox::Right}, {{-1, 0, 0}, tavSkyBox::Left},
        {{0, 1, 0}, tavSkyBox::Top},   {{0, -1, 0}, tavSkyBox::Bottom}};
    for (const auto& [direction, face] : views)
    {
        ASSERT_GE(sky.GetFaceTexture(face), 0) << face;
        EXPECT_TRUE(Near(look(sky, direction).Centre(), colours[face])) << face;
        if (direction.y != 0) continue;
        const Picture q = look(quarters, direction);
        const D3DCOLOR upright[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        for (int k = 0; k < 4; ++k) // unmirrored
            EXPECT_TRUE(Near(q.Pixel(int(q.image.width) / 2 + (k & 1 ? 150 : -150),
                                     int(q.image.height) / 2 + (k & 2 ? 150 : -150)),
                             upright[k]))
                << face << " quarter " << k;
    }
    EXPECT_TRUE(Near(look(sky, D3DXVECTOR3(0, -1, 0), false).Centre(), 0xFF000000)) << "no bottom";
    // Following the camera, the box stays at the eye until let go.
    engine->SetFollower(sky.GetFollowerMatrix());
    engine->SetView(D3DXVECTOR3(100, 50, -20), D3DXVECTOR3(100, 50, -19), D3DXVECTOR3(0, 1, 0));
    const D3DXMATRIX& at = sky.GetTransform();
    EXPECT_EQ(std::vector<float>({at._41, at._42, at._43}), (std::vector<float>{100, 50, -20}));
    engine->SetFollower(nullptr);
    engine->SetView(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 2, 4), D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(at._41, 100.0f) << "let go";
    // A quarter turn in one frame of 0.25 s brings the left face to the front.
    sky.SetPosition(0, 0, 0);
    sky.SetRotationSpeed(float(D3DX_PI) * 2.0f);
    engine->SetFixedFrameTime(0.25);
    engine->FrameEnd();
    EXPECT_TRUE(Near(look(sky, D3DXVECTOR3(0, 0, 1)).Centre(), colours[tavSkyBox::Left]));
}

static ::testing::AssertionResult Near(const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                                       float tolerance = 1e-4f)
{
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
        std::fabs(a.z - b.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

// Eye at `eye` looking down +z, perspective as the engine sets it up.
static tavCamera LookingAlongZ(const D3DXVECTOR3& eye = D3DXVECTOR3(0, 0, 0))
{
    tavCamera camera;
    camera.SetProjection(1.0f, 1000.0f, 0.0f, 1.0f, 0.7853982f, 1.25f);
    camera.SetView(eye, eye + D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0));
    return camera;
}

TEST_F(GraphicsTest, TexPoolKeepsAnEntryPerFileAndKindLosesOnlyDynamicOnesAndCameraMovesListener)
{
    const DWORD TileResource = 101, SkyResource = 102; // 8 x 4 BMP, 4 x 4 cube DDS
    auto resource = [](DWORD id) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RCDATA
        HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
        const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
    };
    CreateDirectoryA("base", nullptr);
    WriteTextFile("base/water.tex", resource(TileResource));
    WriteTextFile("base/sky.dds", resource(SkyResource));
    tavTexPool& pool = *engine;
    auto stage0 = [&] {
        IDirect3DBaseTexture9* bound = nullptr;
        Device()->GetTexture(0, &bound);
        if (bound) bound->Release(); // the pool holds it; only the pointer matters here
        return bound;
    };
    // One file under any name is one entry per kind.
    const int first = pool.LoadTexture("base/water.tex");
    ASSERT_EQ(first, 0);
    EXPECT_EQ(pool.LoadTexture("BASE\\Water.TEX", 0xFF000000, 9), first);
    std::string name;
    pool.GetTextureName(first, name);
    EXPECT_EQ(name, "\"base/water.tex\"");
    std::string query = "Base\\WATER.tex";
    EXPECT_EQ(pool.FindTexture(query, 0, 1), first);
    EXPECT_EQ(query, "base/water.tex");
    EXPECT_EQ(pool.FindTexture(query, 0, 6), -1);
    // Kinds are apart: the same file as a cube and as a 2D texture.
    const int cube = pool.LoadCubeTexture("base/sky.dds", 0, 1);
    EXPECT_EQ(cube, 1);
    EXPECT_EQ(pool.LoadTexture("base/sky.dds", 0, 1), 2);
    EXPECT_EQ(pool.LoadCubeTexture("BASE/SKY.DDS", 0, 1), cube);
    ASSERT_TRUE(pool.GetTexture(cube) && pool.GetTexture(2));
    EXPECT_EQ(pool.GetTexture(cube)->GetType(), D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(pool.GetTexture(2)->GetType(), D3DRTYPE_TEXTURE);
    // The program's resources load by id and kind.
    const int tile = pool.LoadTextureFromResource(TileResource, 0, 1);
    EXPECT_EQ(tile, 3);
    EXPECT_EQ(pool.LoadTextureFromResource(TileResource, 0xFFFF00FF, 3), tile);
    EXPECT_EQ(pool.LoadTextureFromResourceAlt(TileResource, 0, 1), 4);
    pool.GetTextureName(tile, name);
    EXPECT_EQ(name, "Resource #101");
    D3DXIMAGE_INFO info = {};
    pool.GetTextureInfo(tile, info);
    EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(8u, 4u));
    EXPECT_EQ(pool.FindTexture(name, TileResource, 2), tile);
    EXPECT_EQ(pool.FindTexture(name, TileResource, 4), -1);
    // Failures are counted; a removed number stays empty and is never reused.
    WriteTextFile("base/notes.tex", "this is not an image");
    for (const char* bad :
         {"base/missing.tex", "base/notes.tex", static_cast<const char*>(nullptr)})
        EXPECT_EQ(pool.LoadTexture(bad), -1) << (bad ? bad : "null");
    EXPECT_EQ(pool.LoadTextureFromResource(999, 0, 1), -1);
    EXPECT_EQ(pool.GetFailedCount(), 4u);
    ASSERT_TRUE(pool.RemoveTexture(tile));
    EXPECT_FALSE(pool.RemoveTexture(tile));
    EXPECT_EQ(pool.LoadTextureFromResource(TileResource, 0, 1), 5);
    for (int bad : {-1, tile, 6, 1000})
        EXPECT_FALSE(pool.IsValidTexture(bad) || pool.GetTexture(bad)) << bad;
    EXPECT_EQ(pool.GetTextureCount(), 6);
    // Invalidation drops only dynamic textures; using a file's binds it still.
    const int file = first, dynamic = pool.CreateDynamicTexture(64, 32, 0, 1);
    EXPECT_NE(pool.CreateDynamicTexture(64, 32, 0, 1), dynamic);
    ASSERT_TRUE(pool.IsTextureLoaded(dynamic));
    pool.InvalidateAll();
    EXPECT_TRUE(pool.IsTextureLoaded(file));
    EXPECT_FALSE(pool.IsTextureLoaded(dynamic));
    pool.SetTexture(dynamic, 0);
    EXPECT_EQ(stage0(), nullptr);
    pool.SetTexture(file, 0);
    EXPECT_EQ(stage0(), pool.GetTexture(file));
    pool.RestoreAll();
    EXPECT_TRUE(pool.IsTextureLoaded(dynamic));
    pool.SetTexture(dynamic, 0);
    EXPECT_EQ(stage0(), pool.GetTexture(dynamic));
    // Released outright, a managed texture is not restored; a dynamic one comes back.
    pool.ReleaseAll();
    EXPECT_FALSE(pool.IsTextureLoaded(file));
    pool.SetTexture(file, 0);
    EXPECT_EQ(stage0(), nullptr);
    pool.RestoreAll();
    EXPECT_FALSE(pool.IsTextureLoaded(file));
    EXPECT_TRUE(pool.IsTextureLoaded(dynamic));
    // The camera moves the listener once and projects to its viewport.
    engine->SetFixedFrameTime(0.5);
    engine->FrameEnd();
    engine->SetView(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 2), D3DXVECTOR3(0, 1, 0));
    engine->MoveForward(1.0f);
    engine->MoveForward(2.0f);
    D3DXVECTOR3 velocity;
    engine->GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0, 0, 30))); // (1 + 2) x 20 x 0.5 along +z
    EXPECT_TRUE(Near(engine->GetPosition(), D3DXVECTOR3(0, 0, 30)));
    // The headless session has a sound card: the listener hears one frame's move, once.
    IDirectSound3DListener* listener = engine->GetListener();
    ASSERT_NE(listener, nullptr) << "no 3D listener: did the sound system start?";
    engine->UpdateListener();
    D3DVECTOR heard = {}, at = {};
    listener->GetVelocity(&heard);
    listener->GetPosition(&at);
    EXPECT_TRUE(Near(D3DXVECTOR3(heard.x, heard.y, at.z), D3DXVECTOR3(0, 0, 30)));
    EXPECT_EQ(heard.z, 30.0f);
    engine->GetVelocity(velocity);
    EXPECT_EQ(velocity, D3DXVECTOR3(0, 0, 0));
    engine->UpdateListener();
    listener->GetVelocity(&heard);
    EXPECT_EQ(heard.z, 0.0f);
    engine->SetView(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 screen;
    engine->ProjectToScreen(screen, D3DXVECTOR3(0, 0, 0));
    EXPECT_TRUE(
        Near(screen, D3DXVECTOR3(engine->GetWidth() / 2, engine->GetHeight() / 2, screen.z), 0.5f));
}

TEST(Camera, MouseLookStopsShortOfThePitchLimitMovesCollideAndVisibilityUsesClipSpace)
{
    // Mouse look refuses a pitch of exactly the limit but still turns.
    for (float dy : {1200.0f, -1200.0f})
    {
        tavCamera camera = LookingAlongZ();
        camera.Look(100.0f, dy, 1.0f);
        D3DXVECTOR3 direction;
        camera.GetDirection(direction);
        EXPECT_EQ(direction.y, 0.0f) << dy; // no pitch at all
        EXPECT_EQ(camera.GetLastPitchStep(), 0.0f) << dy;
        // Yaw by 100 x -0.001 radians about +y.
        EXPECT_TRUE(Near(direction, D3DXVECTOR3(std::sin(-0.1f), 0, std::cos(-0.1f))));
        EXPECT_NEAR(camera.MeasureYaw(), -0.1f, 1e-5f);
    }
    // Just inside the limit the pitch is taken, about direction x up.
    tavCamera camera = LookingAlongZ();
    camera.Look(0.0f, 1199.0f, 1.0f);
    EXPECT_FLOAT_EQ(camera.GetLastPitchStep(), 1.199f);
    D3DXVECTOR3 axis;
    camera.GetPitchAxis(axis);
    EXPECT_TRUE(Near(axis, D3DXVECTOR3(-1, 0, 0)));
    EXPECT_NEAR(std::fabs(camera.GetPitch()), 1.199f, 1e-3f);
    // Moves keep the view direction.
    camera = tavCamera();
    camera.SetView(D3DXVECTOR3(1, 5, 1), D3DXVECTOR3(4, 1, 5), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 direction, after, velocity;
    camera.GetDirection(direction);
    camera.Walk(1.0f);    // horizontal only: 20 x 0.0001 along (3, 0, 4) / 5
    camera.MoveUp(10.0f); // 10 x 0.0001 up
    camera.GetDirection(after);
    EXPECT_TRUE(Near(direction, after));
    EXPECT_TRUE(Near(camera.GetPosition(), D3DXVECTOR3(1.0012f, 5.001f, 1.0016f)));
    camera.GetVelocity(velocity);
    EXPECT_TRUE(Near(velocity, D3DXVECTOR3(0.0012f, 0.001f, 0.0016f)));
    // The eye is pushed a radius (1) away from the triangle from either side; beside it,
    // nothing; near an edge from outside, a push; fewer than three corners, nothing.
    const float triangle[] = {-10, -10, 0, 0, 10, 0, 10, -10, 0};
    const std::tuple<D3DXVECTOR3, int, bool, D3DXVECTOR3> collisions[] = {
        {{1, 0, -0.5f}, 3, true, {1, 0, -1}},         {{1, 0, -1}, 3, false, {1, 0, -1}},
        {{0, 0, 0.25f}, 3, true, {0, 0, 1}},          {{30, 0, 0.1f}, 3, false, {30, 0, 0.1f}},
        {{0, -10.3f, 0.1f}, 3, true, {0, -10.3f, 1}}, {{1, 0, -0.5f}, 2, false, {1, 0, -0.5f}},
        {{1, 0, -0.5f}, 0, false, {1, 0, -0.5f}}}; // eye, corners read, pushed, eye after
    for (const auto& [eye, corners, pushed, after] : collisions)
    {
        SCOPED_TRACE(testing::Message() << eye.x << ", " << eye.y << ", " << eye.z);
        camera.SetView(eye, eye + D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(0, 1, 0));
        ASSERT_EQ(camera.Collide(triangle, corners), pushed);
        EXPECT_TRUE(Near(camera.GetPosition(), after));
        EXPECT_TRUE(Near(camera.GetTarget(), after + D3DXVECTOR3(0, 0, 5)));
    }
    // Before the near plane, past the far one, off to the side; a sphere just behind the
    // eye reaching past it; the radius in clip units.
    const tavCamera looking = LookingAlongZ();
    const float record[4] = {0, 0, -0.5f, 2.0f};
    const bool seen[] = {looking.IsPointVisible(D3DXVECTOR3(0, 0, 10)),
                         !looking.IsPointVisible(D3DXVECTOR3(0, 0, 0.5f)),
                         !looking.IsPointVisible(D3DXVECTOR3(0, 0, 2000)),
                         !looking.IsPointVisible(D3DXVECTOR3(50, 0, 10)),
                         !looking.IsPointVisible(D3DXVECTOR3(0, 0, -0.5f)),
                         looking.IsSphereVisible(record),
                         !looking.IsSphereVisible(D3DXVECTOR3(0, 0, -10), 1.0f),
                         looking.IsSphereVisible(D3DXVECTOR3(20, 0, 10), 30.0f),
                         !looking.IsSphereVisible(D3DXVECTOR3(50, 0, 10), 1.0f)};
    for (size_t i = 0; i < sizeof seen; ++i)
        EXPECT_TRUE(seen[i]) << "visibility " << i;
}
