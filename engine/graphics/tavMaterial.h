#pragma once
// The material record of every mesh type: Direct3D material colours, up to
// eight texture numbers (stages 0 to 7) and an optional state block. The
// textures belong to the texture pool: a material only names them.

#include <d3d9.h>

#include <string>

class TAV;

class tavMaterial
{
public:
    enum
    {
        MaxTextures = 8
    };

    // Diffuse (255, 255, 255, 255); Ambient, Specular, Emissive (0, 0, 0,
    // 255); Power 0; no textures; no state block. The colours are on a 0 to
    // 255 scale and reach Direct3D unchanged, so they saturate to white
    // diffuse and black otherwise.
    tavMaterial();
    // Releases the state block.
    ~tavMaterial();
    // Copies share the state block, each holding its own reference, so
    // materials can be kept in growable arrays and copied between meshes.
    tavMaterial(const tavMaterial& other);
    tavMaterial& operator=(const tavMaterial& other);

    // Binds textures[0..7] to stages 0 to 7 (a -1 empties its stage), sets
    // the material, then applies the state block if there is one. The state
    // block's result, or 0 without one; E_FAIL when the engine has no device.
    HRESULT Apply(TAV* engine) const;
    // Texture numbers before the first -1 (8 when none is -1).
    int GetTextureCount() const;
    // Keeps its own reference to `block` (null drops the one held).
    void SetStateBlock(IDirect3DStateBlock9* block);

    IDirect3DStateBlock9* stateBlock;
    D3DMATERIAL9 material;
    int textures[MaxTextures];
    float shininess; // set by the 3DS importer; not used for drawing
    std::string name;
};
