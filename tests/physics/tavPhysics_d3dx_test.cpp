// The wrapper's Direct3D side: a D3DX mesh converted and collided with, the
// body's place read back into a D3DX matrix.
#include "physics/tavPhysics.h"

#include <d3dx9.h>
#include <gtest/gtest.h>

#include <algorithm>

TEST(tavPhysicsD3DX, ConvertsAD3DXMeshAndCollidesWithIt)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "tavPhysicsTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("tavPhysicsTest", "physics", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                nullptr, nullptr, wc.hInstance, nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    if (!window || !d3d ||
        FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device)))
        GTEST_SKIP() << "no Direct3D device on this display";
    ID3DXMesh *box = nullptr, *mesh = nullptr;
    ASSERT_EQ(D3DXCreateBox(device, 200, 20, 200, &box, nullptr), D3D_OK);
    ASSERT_EQ(box->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device,
                                &mesh),
              D3D_OK);
    box->Release();
    tavTriangleMesh record;
    ASSERT_TRUE(tavPhysics::ConvertMesh(mesh, &record));
    EXPECT_EQ(record.triangleCount, 12);
    EXPECT_EQ(record.vertexCount, (int32_t)mesh->GetNumVertices());
    mesh->Release();
    float top = -1e9f;
    for (int i = 0; i < record.vertexCount; ++i)
        top = std::max(top, record.vertices[i].y);
    EXPECT_EQ(top, 10.0f);
    for (int t = 0; t < record.triangleCount; ++t)
        EXPECT_TRUE(record.triangles[t].index[0] < (uint32_t)record.vertexCount &&
                    record.triangles[t].material == 0 && record.triangles[t].reserved[0] == 0)
            << t;
    EXPECT_FALSE(tavPhysics::ConvertMesh((ID3DXMesh*)nullptr, &record));

    tavPhysics physics;
    const float gravity[3] = {0, -100, 0};
    ASSERT_TRUE(physics.Create(0, 1, 0, gravity));
    EXPECT_EQ(physics.AddStaticMesh(&record), 0);
    record.Release();
    const float at[3] = {0, 100, 0};
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 180; ++i)
        physics.Step(1.0f / 60, 0);
    D3DXMATRIX m;
    physics.GetTransform((uint32_t)ball, &m, true);
    EXPECT_NEAR(m._42, 20.0f, 0.06f);
    device->Release();
    d3d->Release();
    DestroyWindow(window);
}
