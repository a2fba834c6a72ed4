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
    const size_t n = materials.empty() ? 1 : materials.size();
    std::string x = "xof 0303txt 0032\n\nMesh {\n  " + std::to_string(4 * n) + ";\n";
    for (size_t i = 0; i < 4 * n; ++i)
        x += "  " + f(float(i / 4) - 1 + float(i & 1)) + ";" + f(float((i >> 1) & 1)) + ";0.0;" +
             (i + 1 < 4 * n ? ",\n" : ";\n");
    x += "  " + std::to_string(2 * n) + ";\n";
    for (size_t i = 0; i < n; ++i)
    {
        const std::string a = std::to_string(4 * i), b = std::to_string(4 * i + 1),
                          c = std::to_string(4 * i + 2), d = std::to_string(4 * i + 3);
        x += "  3;" + a + "," + c + "," + b + ";,\n  3;" + b + "," + c + "," + d +
             (i + 1 < n ? ";,\n" : ";;\n");
    }
    if (materials.empty()) return x + "}\n";
    x += "  MeshMaterialList {\n   " + std::to_string(n) + ";\n   " + std::to_string(2 * n) + ";\n";
    for (size_t k = 0; k < 2 * n; ++k)
        x += "   " + std::to_string(k / 2) + (k + 1 < 2 * n ? ",\n" : ";\n");
    for (const XMaterial& m : materials)
    {
        x += "   Material {\n    " + f(m.r) + ";" + f(m.g) + ";" + f(m.b) + ";" + f(m.a) +
             ";;\n    8.0;\n    0.25;0.25;0.25;;\n    0.0;0.0;0.0;;\n";
        if (!m.texture.empty()) x += "    TextureFilename { \"" + m.texture + "\"; }\n";
        x += "   }\n";
    }
    return x + "  }\n}\n";
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

namespace
{
// The engine test host, kept for the whole run and stopped after the last test.
struct Host : EngineTest
{
    void TestBody() override {}
    using EngineTest::ContentPath, EngineTest::engine, EngineTest::Log, EngineTest::Pump,
        EngineTest::StartEngine, EngineTest::StopEngine;
};
Host* host = nullptr;

struct StopAtEnd : ::testing::Environment
{
    void TearDown() override
    {
        if (host) host->StopEngine();
        delete host;
        host = nullptr;
    }
};
::testing::Environment* const stopAtEnd = ::testing::AddGlobalTestEnvironment(new StopAtEnd);
} // namespace

void GraphicsTest::SetUp()
{
    if (!host)
    {
        host = new Host;
        ASSERT_EQ(host->StartEngine(), S_OK);
    }
    engine = host->engine.get();
    ASSERT_NE(engine, nullptr) << "the engine did not start";
}

bool GraphicsTest::Pump() { return host->Pump(); }
std::string GraphicsTest::Log() const { return host->Log(); }
std::string GraphicsTest::ContentPath(const std::string& file) { return Host::ContentPath(file); }

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
