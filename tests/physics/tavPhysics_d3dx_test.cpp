// The wrapper's Direct3D side: converting a D3DX mesh, and transforms that
// match D3DX's own quaternion matrices.

#include "physics/tavPhysics.h"

#include <d3dx9.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{
const float Gravity[3] = {0, -100, 0};

// A windowed device on the test's display, or null when there is none.
struct Device
{
    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

    Device()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "tavPhysicsTest";
        RegisterClassA(&wc);
        window = CreateWindowA("tavPhysicsTest", "physics", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                               nullptr, nullptr, wc.hInstance, nullptr);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!window || !d3d)
            return;
        D3DPRESENT_PARAMETERS pp = {};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_UNKNOWN;
        if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device)))
            device = nullptr;
    }
    ~Device()
    {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        if (window)
            DestroyWindow(window);
    }
};
} // namespace

TEST(tavPhysicsD3DX, ConvertsAD3DXMeshAndCollidesWithIt)
{
    Device d;
    if (!d.device)
        GTEST_SKIP() << "no Direct3D device on this display";
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(d.device, 200, 20, 200, &box, nullptr), D3D_OK);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(box->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                                d.device, &mesh),
              D3D_OK);
    box->Release();
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertMesh(mesh, &record));
    EXPECT_EQ(record.triangleCount, 12);
    EXPECT_EQ(record.vertexCount, (int32_t)mesh->GetNumVertices());
    float top = -1e9f;
    for (int i = 0; i < record.vertexCount; ++i)
        top = std::max(top, record.vertices[i].y);
    EXPECT_EQ(top, 10.0f);
    for (int t = 0; t < record.triangleCount; ++t)
    {
        EXPECT_LT(record.triangles[t].index[0], (uint32_t)record.vertexCount);
        EXPECT_EQ(record.triangles[t].material, 0u);
        EXPECT_EQ(record.triangles[t].reserved[0], 0u);
    }
    mesh->Release();

    tavPhysics physics;
    ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
    EXPECT_EQ(physics.AddStaticMesh(&record), 0);
    record.Release();
    const float at[3] = {0, 100, 0};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 180; ++i)
        physics.Step(1.0f / 60, 0);
    D3DXMATRIX m;
    physics.GetTransform((uint32_t)ball, &m, true);
    EXPECT_NEAR(m._42, 20.0f, 0.06f);

    EXPECT_FALSE(tavPhysics::ConvertMesh((ID3DXMesh*)nullptr, &record));
}

TEST(tavPhysicsD3DX, TransformMatchesTheD3DXQuaternionMatrix)
{
    tavPhysics physics;
    ASSERT_TRUE(physics.Create(0, 1, 0, Gravity));
    const float at[3] = {5, 6, 7};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    D3DXQUATERNION q(0.3f, -0.5f, 0.2f, 0.7f);
    D3DXQuaternionNormalize(&q, &q);
    physics.GetBody((uint32_t)ball)->SetOrientation(&q.x);
    D3DXMATRIX rotation, translation, expected, got;
    D3DXMatrixRotationQuaternion(&rotation, &q);
    D3DXMatrixTranslation(&translation, 5, 6, 7);
    D3DXMatrixMultiply(&expected, &rotation, &translation);
    physics.GetTransform((uint32_t)ball, &got, true);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], expected.m[r][c], 1e-5f) << r << "," << c;
    D3DXMATRIX untouched = expected;
    physics.GetTransform(9, &untouched, true);
    EXPECT_EQ(std::memcmp(&untouched, &expected, sizeof(expected)), 0);
}
