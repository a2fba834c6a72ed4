#include "graphics/tavMaterial.h"

#include "core/TAV.h"

namespace
{
D3DCOLORVALUE Colour(float r, float g, float b, float a)
{
    return D3DCOLORVALUE{r, g, b, a};
}
} // namespace

tavMaterial::tavMaterial() : stateBlock(nullptr), material(), shininess(0.0f)
{
    material.Diffuse = Colour(255, 255, 255, 255);
    material.Ambient = Colour(0, 0, 0, 255);
    material.Specular = Colour(0, 0, 0, 255);
    material.Emissive = Colour(0, 0, 0, 255);
    material.Power = 0.0f;
    for (int& t : textures)
        t = -1;
}

tavMaterial::~tavMaterial()
{
    SetStateBlock(nullptr);
}

tavMaterial::tavMaterial(const tavMaterial& other)
    : stateBlock(nullptr), material(other.material), shininess(other.shininess), name(other.name)
{
    SetStateBlock(other.stateBlock);
    for (int i = 0; i < MaxTextures; ++i)
        textures[i] = other.textures[i];
}

tavMaterial& tavMaterial::operator=(const tavMaterial& other)
{
    SetStateBlock(other.stateBlock); // AddRef before Release: safe for self-assignment
    material = other.material;
    for (int i = 0; i < MaxTextures; ++i)
        textures[i] = other.textures[i];
    shininess = other.shininess;
    name = other.name;
    return *this;
}

void tavMaterial::SetStateBlock(IDirect3DStateBlock9* block)
{
    if (block) block->AddRef();
    if (stateBlock) stateBlock->Release();
    stateBlock = block;
}

HRESULT tavMaterial::Apply(TAV* engine) const
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device) return E_FAIL;
    for (int stage = 0; stage < MaxTextures; ++stage)
        engine->SetTexture(textures[stage], DWORD(stage));
    device->SetMaterial(&material);
    return stateBlock ? stateBlock->Apply() : S_OK;
}

int tavMaterial::GetTextureCount() const
{
    int count = 0;
    while (count < MaxTextures && textures[count] != -1)
        ++count;
    return count;
}
