#include "ChickenModel.h"

#include "core/TAV.h"

ChickenModel::ChickenModel(TAV* e) : tavMeshModel(e)
{
    walk.Init(-0.75f, 0.75f, 0.0f, 6.0f, true);
}

void ChickenModel::SubsetMotion(uint32_t i, D3DXMATRIX& out) const
{
    if (i == LeftLeg)
        D3DXMatrixRotationX(&out, -walk.Value());
    else if (i == RightLeg)
        D3DXMatrixRotationX(&out, walk.Value());
    else if (i < RightLeg)
        D3DXMatrixTranslation(&out, 0.0f, walk.Value() * 0.05f, 0.0f);
    else
        D3DXMatrixIdentity(&out);
}

uint32_t ChickenModel::Draw(const D3DXVECTOR3& position, const D3DXQUATERNION& orientation)
{
    ID3DXMesh* mesh = GetMesh();
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!mesh || !device) return 0;
    engine->SetCullMode(D3DCULL_CCW);
    engine->SetFVF(FVF);

    D3DXMATRIX placement, rotation, translation;
    D3DXMatrixRotationQuaternion(&rotation, &orientation);
    D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
    D3DXMatrixMultiply(&placement, &rotation, &translation);
    for (uint32_t i = 0; i < GetMaterialCount(); ++i)
    {
        D3DXMATRIX world;
        SubsetMotion(i, world);
        D3DXMatrixMultiply(&world, &world, &placement);
        if (const tavMaterial* material = GetMaterial(i)) material->Apply(engine);
        engine->SetWorldTransform(world);
        mesh->DrawSubset(i);
    }
    return mesh->GetNumFaces();
}
