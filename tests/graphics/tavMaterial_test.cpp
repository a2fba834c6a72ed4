#include "RenderCheck.h"

#include "graphics/tavMaterial.h"
#include "graphics/tavStateBlock.h"

#include <gtest/gtest.h>

#include <vector>

TEST(tavMaterial, TextureCountStopsAtTheFirstNone)
{
    tavMaterial m;
    m.textures[0] = 4;
    m.textures[1] = 7;
    EXPECT_EQ(m.GetTextureCount(), 2);
    m.textures[3] = 9; // after the gap: not counted
    EXPECT_EQ(m.GetTextureCount(), 2);
    for (int i = 0; i < tavMaterial::MaxTextures; ++i)
        m.textures[i] = i;
    EXPECT_EQ(m.GetTextureCount(), 8);
}

TEST_F(GraphicsTest, MaterialApplyBindsEveryStageAndItsStateBlock)
{
    WriteSolidBmp("a.bmp", 0xFFFF0000);
    WriteSolidBmp("b.bmp", 0xFF00FF00);
    tavMaterial m;
    m.textures[0] = engine->LoadTexture("a.bmp");
    m.textures[2] = engine->LoadTexture("b.bmp"); // stage 1 stays empty
    m.material.Power = 12.5f;
    Device()->SetTexture(1, engine->GetTexture(m.textures[0]));

    tavStateBlock block;
    ASSERT_EQ(block.BeginRecording(Device()), S_OK);
    Device()->SetRenderState(D3DRS_FOGENABLE, TRUE);
    ASSERT_EQ(block.EndRecording(Device()), S_OK);
    m.SetStateBlock(block.GetBlock());
    Device()->SetRenderState(D3DRS_FOGENABLE, FALSE);

    EXPECT_EQ(m.Apply(engine.get()), S_OK);
    IDirect3DBaseTexture9* bound[3] = {};
    for (DWORD s = 0; s < 3; ++s)
    {
        Device()->GetTexture(s, &bound[s]);
        if (bound[s]) bound[s]->Release();
    }
    EXPECT_EQ(bound[0], engine->GetTexture(m.textures[0]));
    EXPECT_EQ(bound[1], nullptr);
    EXPECT_EQ(bound[2], engine->GetTexture(m.textures[2]));
    D3DMATERIAL9 set;
    Device()->GetMaterial(&set);
    EXPECT_EQ(set.Power, 12.5f);
    DWORD fog = 0;
    Device()->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, DWORD(TRUE));
    Device()->SetRenderState(D3DRS_FOGENABLE, FALSE);

    // Copies keep the block alive on their own: the recorder and the
    // original may go first.
    tavMaterial* original = new tavMaterial(m);
    std::vector<tavMaterial> copies(3, *original);
    delete original;
    m.SetStateBlock(nullptr);
    block.Release(Device());
    copies[1] = copies[1];
    EXPECT_EQ(copies[2].textures[2], m.textures[2]);
    EXPECT_EQ(copies[1].Apply(engine.get()), S_OK);
    Device()->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, DWORD(TRUE));
    Device()->SetRenderState(D3DRS_FOGENABLE, FALSE);
}

TEST_F(GraphicsTest, StateBlockNeedsADevice)
{
    tavStateBlock block;
    EXPECT_EQ(block.Create(nullptr), E_FAIL);
    EXPECT_EQ(block.Capture(nullptr), E_FAIL);
    EXPECT_EQ(block.BeginRecording(nullptr), E_FAIL);
    EXPECT_EQ(block.EndRecording(nullptr), E_FAIL);
    EXPECT_EQ(block.Release(nullptr), E_FAIL);
    EXPECT_EQ(block.Apply(), E_FAIL);
    // Capture keeps the device's states to put back later.
    Device()->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    ASSERT_EQ(block.Capture(Device()), S_OK);
    Device()->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    EXPECT_EQ(block.Apply(), S_OK);
    DWORD fill = 0;
    Device()->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_SOLID));
    EXPECT_EQ(block.Release(Device()), S_OK);
    EXPECT_EQ(block.GetBlock(), nullptr);
}
