#include "RenderCheck.h"

#include "Image.h"
#include "ImageFile.h"
#include "graphics/tavMeshBytes.h"

#include <cstdio>
#include <cstdlib>

::testing::AssertionResult Near(D3DCOLOR got, D3DCOLOR want, int tolerance)
{
    for (int shift : {16, 8, 0})
        if (std::abs(Channel(got, shift) - Channel(want, shift)) > tolerance)
            return ::testing::AssertionFailure() << Hex(got) << " is not near " << Hex(want);
    return ::testing::AssertionSuccess();
}

std::string Hex(D3DCOLOR c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(c & 0xFFFFFF));
    return text;
}

void WriteBmp(const std::string& path, int w, int h,
              const std::function<D3DCOLOR(int, int)>& colour)
{
    assetgen::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.At(x, y) = assetgen::Hex(colour(x, y) & 0xFFFFFF);
    tavWriteWholeFile(path.c_str(), assetgen::ImageFile::EncodeBMP(image));
}

void LookFlat(TAV& engine, const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
{
    engine.SetView(eye, at, D3DXVECTOR3(0, 1, 0));
    engine.Apply3D();
    engine.ResetWorldTransform();
    engine.SetCullMode(D3DCULL_NONE);
    engine.SetLighting(true, 0xFFFFFFFF);
}

void Paint(tavMaterial& material, D3DCOLOR colour)
{
    material.material.Ambient = {Channel(colour, 16) / 255.0f, Channel(colour, 8) / 255.0f,
                                 Channel(colour, 0) / 255.0f, 1.0f};
    material.material.Diffuse = material.material.Emissive =
        material.material.Specular = {0, 0, 0, 1};
    for (int& t : material.textures)
        t = -1;
}

std::string XSquares(const std::vector<XMaterial>& materials)
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

D3DCOLOR Picture::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= int(image.width) || y >= int(image.height)) return 0;
    return image.At(UINT(x), UINT(y)) | 0xFF000000;
}

D3DCOLOR Picture::At(const D3DXVECTOR3& world) const
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 out;
    D3DXVec3Project(&out, &world, &viewport, &projection, &view, &identity);
    return Pixel(int(out.x), int(out.y));
}

void GraphicsTest::SetUp()
{
    ASSERT_EQ(StartEngine(), S_OK);
    engine = EngineTest::engine.get();
}

int GraphicsTest::Solid(D3DCOLOR colour)
{
    const std::string name = "solid-" + Hex(colour) + ".bmp";
    WriteBmp(name, 8, 8, [colour](int, int) { return colour; });
    return engine->LoadTexture(name.c_str());
}

Picture GraphicsTest::Draw(D3DCOLOR clear, const std::function<void()>& draw)
{
    Picture p;
    EXPECT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0),
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
