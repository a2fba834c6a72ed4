#include "MeshPixels.h"

#include "graphics/tavMeshBytes.h"

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
    const D3DCOLORVALUE c = {((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                             (colour & 0xFF) / 255.0f, 1.0f};
    material.material.Ambient = c;
    material.material.Diffuse = {0, 0, 0, 1};
    material.material.Emissive = {0, 0, 0, 1};
    material.material.Specular = {0, 0, 0, 1};
    for (int& t : material.textures)
        t = -1;
}

D3DCOLOR PixelAt(IDirect3DDevice9* device, const RenderCheck& check, const D3DXVECTOR3& world)
{
    D3DVIEWPORT9 viewport;
    D3DXMATRIX projection, view, identity;
    device->GetViewport(&viewport);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 out;
    D3DXVec3Project(&out, &world, &viewport, &projection, &view, &identity);
    return check.Pixel(int(out.x), int(out.y));
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    tavReadWholeFile(path.c_str(), bytes);
    return bytes;
}
