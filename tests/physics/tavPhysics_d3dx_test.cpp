// The wrapper's Direct3D side: a D3DX mesh converted and collided with, the
// body's place read back into a D3DX matrix.
#include "physics/tavPhysics.h"
#include "support/TestEngine.h"

#include <d3dx9.h>

#include <algorithm>

class tavPhysicsD3DX : public EngineTest
{
};

TEST_F(tavPhysicsD3DX, ConvertsAD3DXMeshAndCollidesWithIt)
{
    ASSERT_EQ(StartEngine(), S_OK);
    ID3DXMesh *box = nullptr, *mesh = nullptr;
    ASSERT_EQ(D3DXCreateBox(engine->GetDevice(), 200, 20, 200, &box, nullptr), D3D_OK);
    ASSERT_EQ(box->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                                engine->GetDevice(), &mesh),
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
    const float gravity[3] = {0, -100, 0}, at[3] = {0, 100, 0};
    ASSERT_TRUE(physics.Create(0, 1, 0, gravity));
    EXPECT_EQ(physics.AddStaticMesh(&record), 0);
    record.Release();
    const int32_t ball = physics.AddSphere(at, 20, 5, 0, 0, false);
    for (int i = 0; i < 180; ++i)
        physics.Step(1.0f / 60, 0);
    D3DXMATRIX m;
    physics.GetTransform((uint32_t)ball, &m, true);
    EXPECT_NEAR(m._42, 20.0f, 0.06f);
}
