#pragma once
// Pixel checks for the graphics tests: scenes drawn into the back buffer and read back.

#include "Image.h"
#include "ImageFile.h"
#include "graphics/tavMaterial.h"
#include "graphics/tavMeshBytes.h"
#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// Channel `shift` (16 red, 8 green, 0 blue); Brightness sums the three.
inline int Channel(D3DCOLOR c, int shift)
{
    return int((c >> shift) & 0xFF);
}
inline int Brightness(D3DCOLOR c)
{
    return Channel(c, 16) + Channel(c, 8) + Channel(c, 0);
}
inline std::string Hex(D3DCOLOR c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(c & 0xFFFFFF));
    return text;
}

// Each channel within `tolerance` of `want`'s; the failure names both.
inline ::testing::AssertionResult Near(D3DCOLOR got, D3DCOLOR want, int tolerance = 8)
{
    for (int shift : {16, 8, 0})
        if (std::abs(Channel(got, shift) - Channel(want, shift)) > tolerance)
            return ::testing::AssertionFailure() << Hex(got) << " is not near " << Hex(want);
    return ::testing::AssertionSuccess();
}

// A 24-bit BMP of w x h pixels coloured by `colour`(x, y), y downwards.
inline void WriteBmp(const std::string& path, int w, int h,
                     const std::function<D3DCOLOR(int, int)>& colour)
{
    assetgen::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.At(x, y) = assetgen::Hex(colour(x, y) & 0xFFFFFF);
    tavWriteWholeFile(path.c_str(), assetgen::ImageFile::EncodeBMP(image));
}

// Eye at `eye` looking at `at`, white ambient light only, no culling.
inline void LookFlat(TAV& engine, const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
{
    engine.SetView(eye, at, D3DXVECTOR3(0, 1, 0));
    engine.Apply3D();
    engine.ResetWorldTransform();
    engine.SetCullMode(D3DCULL_NONE);
    engine.SetLighting(true, 0xFFFFFFFF);
}

// Ambient = `colour`, no textures.
inline void Paint(tavMaterial& material, D3DCOLOR colour)
{
    material.material.Ambient = {Channel(colour, 16) / 255.0f, Channel(colour, 8) / 255.0f,
                                 Channel(colour, 0) / 255.0f, 1.0f};
    material.material.Diffuse = material.material.Emissive =
        material.material.Specular = {0, 0, 0, 1};
    for (int& t : material.textures)
        t = -1;
}

// A .x file of unit squares in the plane z = 0 facing -z: square i spans x in [i - 1, i],
// y in [0, 1] and has material i. Without materials, one square and no material list.
struct XMaterial
{
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
    std::string texture; // empty: no TextureFilename
};
inline std::string XSquares(const std::vector<XMaterial>& materials)
{
    auto f = [](float v) { return std::to_string(v); }; // every FLOAT with a decimal point
    auto join = [](size_t count, const std::function<std::string(size_t)>& item) {
        std::string s;
        for (size_t i = 0; i < count; ++i)
            s += (i ? ",\n" : "") + item(i);
        return s + ";\n";
    };
    const size_t n = materials.empty() ? 1 : materials.size();
    std::string x =
        "xof 0303txt 0032\nMesh {\n" + std::to_string(4 * n) + ";\n" +
        join(4 * n,
             [&](size_t i) {
                 return f(float(i / 4) - 1 + float(i & 1)) + ";" + f(float((i >> 1) & 1)) + ";0.0;";
             }) +
        std::to_string(2 * n) + ";\n" + join(2 * n, [](size_t k) { // a, c, b and b, c, d
            const size_t a = 4 * (k / 2) + (k & 1);
            return "3;" + std::to_string(a) + "," + std::to_string(4 * (k / 2) + 2) + "," +
                   std::to_string(4 * (k / 2) + 1 + 2 * (k & 1)) + ";";
        });
    if (materials.empty()) return x + "}\n";
    x += "MeshMaterialList {\n" + std::to_string(n) + ";\n" + std::to_string(2 * n) + ";\n" +
         join(2 * n, [](size_t k) { return std::to_string(k / 2); });
    for (const XMaterial& m : materials)
        x += "Material {\n" + f(m.r) + ";" + f(m.g) + ";" + f(m.b) + ";" + f(m.a) +
             ";;\n8.0;\n0.25;0.25;0.25;;\n0.0;0.0;0.0;;\n" +
             (m.texture.empty() ? "" : "TextureFilename { \"" + m.texture + "\"; }\n") + "}\n";
    return x + "}\n}\n";
}

// One scene as the back buffer held it, with the transforms it ended with.
struct Picture
{
    TestImage image;
    D3DVIEWPORT9 viewport = {};
    D3DXMATRIX projection, view;
    // The pixel at (x, y), y downwards; alpha forced to 0xFF, 0 outside.
    D3DCOLOR Pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= int(image.width) || y >= int(image.height)) return 0;
        return image.At(UINT(x), UINT(y)) | 0xFF000000;
    }
    D3DCOLOR Centre() const { return Pixel(int(image.width) / 2, int(image.height) / 2); }
    // The pixel under a world point (identity world transform).
    D3DCOLOR At(const D3DXVECTOR3& world) const
    {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 out;
        D3DXVec3Project(&out, &world, &viewport, &projection, &view, &identity);
        return Pixel(int(out.x), int(out.y));
    }
};

// An engine started for the test in a folder of its own.
class GraphicsTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartEngine(), S_OK);
        engine = EngineTest::engine.get();
    }
    IDirect3DDevice9* Device() const { return engine->GetDevice(); }
    // A solid 8 x 8 texture of `colour` ("solid-RRGGBB.bmp") in the pool.
    int Solid(D3DCOLOR colour)
    {
        const std::string name = "solid-" + Hex(colour) + ".bmp";
        WriteBmp(name, 8, 8, [colour](int, int) { return colour; });
        return engine->LoadTexture(name.c_str());
    }
    // Clears colour and depth to `clear`, runs `draw` in a scene of its own and reads the
    // back buffer; a failed read fails the test.
    Picture Draw(D3DCOLOR clear, const std::function<void()>& draw)
    {
        Picture p;
        EXPECT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1, 0),
                  S_OK);
        EXPECT_EQ(Device()->BeginScene(), S_OK);
        draw();
        Device()->EndScene();
        Device()->GetViewport(&p.viewport);
        Device()->GetTransform(D3DTS_PROJECTION, &p.projection);
        Device()->GetTransform(D3DTS_VIEW, &p.view);
        EXPECT_TRUE(ReadBackBuffer(Device(), p.image)) << "the back buffer could not be read";
        return p;
    }

    TestEngine* engine =
        nullptr; // EngineTest::engine, as the plain pointer the engine's classes take
};
