#include "PreviewRenderer.h"

#include "Image.h"
#include "ImageFile.h"
#include "BinaryFile.h"

namespace
{
// The engine's coloured vertex (sea and sky box): position, normal, colour,
// one texture pair.
struct ColouredVertex
{
    float x, y, z, nx, ny, nz;
    DWORD colour;
    float u, v;
};
const DWORD ColouredFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

template <typename T> void SafeRelease(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}
} // namespace

bool PreviewMesh::Load(IDirect3DDevice9* device, const std::string& path, std::string& error)
{
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD count = 0;
    ID3DXMesh* loaded = nullptr;
    HRESULT hr = D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device, nullptr,
                                    &materialBuffer, nullptr, &count, &loaded);
    if (FAILED(hr))
    {
        error = "D3DXLoadMeshFromXA failed for " + path;
        return false;
    }
    const D3DXMATERIAL* list = static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer());
    for (DWORD i = 0; i < count; ++i)
    {
        D3DMATERIAL9 m = list[i].MatD3D;
        m.Ambient = m.Diffuse;
        materials.push_back(m);
        IDirect3DTexture9* texture = nullptr;
        if (list[i].pTextureFilename)
            D3DXCreateTextureFromFileExA(device, (Folder(path) + list[i].pTextureFilename).c_str(),
                                         D3DX_DEFAULT, D3DX_DEFAULT, 7, 0, D3DFMT_UNKNOWN,
                                         D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                         nullptr, &texture);
        textures.push_back(texture);
    }
    materialBuffer->Release();
    hr = loaded->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device,
                              &mesh);
    loaded->Release();
    if (FAILED(hr))
    {
        error = "CloneMeshFVF failed for " + path;
        return false;
    }
    std::vector<DWORD> adjacency(mesh->GetNumFaces() * 3);
    mesh->GenerateAdjacency(0.01f, adjacency.data());
    D3DXComputeNormals(mesh, adjacency.data());
    mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, adjacency.data(), nullptr, nullptr, nullptr);
    return true;
}

void PreviewMesh::Release()
{
    for (IDirect3DTexture9*& t : textures)
        SafeRelease(t);
    textures.clear();
    materials.clear();
    SafeRelease(mesh);
}

bool PreviewRenderer::Create(IDirect3DDevice9* d, int w, int h, std::string& error)
{
    device = d;
    width = w;
    height = h;
    if (FAILED(device->CreateRenderTarget(w, h, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                          &target, nullptr)) ||
        FAILED(device->CreateDepthStencilSurface(w, h, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                 &depth, nullptr)) ||
        FAILED(device->CreateOffscreenPlainSurface(w, h, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr)))
    {
        error = "cannot create the preview surfaces";
        return false;
    }
    return true;
}

void PreviewRenderer::Release()
{
    SafeRelease(copy);
    SafeRelease(depth);
    SafeRelease(target);
}

void PreviewRenderer::SetGameLight()
{
    // The game's sun: white, from above and in front (direction (0, -190, -50)).
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    light.Ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 direction(0.0f, -190.0f, -50.0f);
    D3DXVec3Normalize(reinterpret_cast<D3DXVECTOR3*>(&light.Direction), &direction);
    light.Range = 100.0f;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF000000);
}

void PreviewRenderer::Begin(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, D3DCOLOR clear,
                            const D3DXVECTOR3& up)
{
    eyePosition = eye;
    device->GetRenderTarget(0, &savedTarget);
    device->GetDepthStencilSurface(&savedDepth);
    device->SetRenderTarget(0, target);
    device->SetDepthStencilSurface(depth);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    device->BeginScene();
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.25f, 0.5f, 40000.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    for (DWORD stage = 0; stage < 2; ++stage)
    {
        device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    }
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    SetGameLight();
}

void PreviewRenderer::DrawSky(IDirect3DTexture9* const faces[6])
{
    // The sky box of the game: half-size 2 round the eye, normals inward.
    static const float corners[6][4][5] = {
        {{-2, 2, 2, 0, 0}, {2, 2, 2, 1, 0}, {-2, -2, 2, 0, 1}, {2, -2, 2, 1, 1}},
        {{-2, -2, 2, 0, 0}, {2, -2, 2, 1, 0}, {-2, -2, -2, 0, 1}, {2, -2, -2, 1, 1}},
        {{2, 2, -2, 0, 0}, {-2, 2, -2, 1, 0}, {2, -2, -2, 0, 1}, {-2, -2, -2, 1, 1}},
        {{-2, 2, -2, 0, 0}, {2, 2, -2, 1, 0}, {-2, 2, 2, 0, 1}, {2, 2, 2, 1, 1}},
        {{-2, 2, -2, 0, 0}, {-2, 2, 2, 1, 0}, {-2, -2, -2, 0, 1}, {-2, -2, 2, 1, 1}},
        {{2, 2, 2, 0, 0}, {2, 2, -2, 1, 0}, {2, -2, 2, 0, 1}, {2, -2, -2, 1, 1}}};
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, eyePosition.x, eyePosition.y, eyePosition.z);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetFVF(ColouredFvf);
    for (int face = 0; face < 6; ++face)
    {
        if (face == 1) continue;
        ColouredVertex v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = {corners[face][i][0], corners[face][i][1], corners[face][i][2], 0, 0, 0,
                    0xFFFFFFFF,          corners[face][i][3], corners[face][i][4]};
        device->SetTexture(0, faces[face]);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColouredVertex));
    }
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
}

void PreviewRenderer::DrawSea(IDirect3DTexture9* water, IDirect3DTexture9* caustic)
{
    const ColouredVertex quad[4] = {{-40000, -2, 40000, 0, 1, 0, 0xFFFFFFFF, 0, 0},
                                    {40000, -2, 40000, 0, 1, 0, 0xFFFFFFFF, 10, 0},
                                    {-40000, -2, -40000, 0, 1, 0, 0xFFFFFFFF, 0, 10},
                                    {40000, -2, -40000, 0, 1, 0, 0xFFFFFFFF, 10, 10}};
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_WORLD, &world);
    D3DMATERIAL9 white = {};
    white.Diffuse = white.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&white);
    device->SetTexture(0, water);
    device->SetTexture(1, caustic);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetFVF(ColouredFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColouredVertex));
    device->SetTexture(1, nullptr);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

void PreviewRenderer::DrawMesh(const PreviewMesh& m, const D3DXMATRIX& world, int subset)
{
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    for (size_t i = 0; i < m.materials.size(); ++i)
    {
        if (subset >= 0 && int(i) != subset) continue;
        device->SetMaterial(&m.materials[i]);
        device->SetTexture(0, m.textures[i]);
        m.mesh->DrawSubset(DWORD(i));
    }
    device->SetTexture(0, nullptr);
}

bool PreviewRenderer::End(const std::string& path)
{
    device->EndScene();
    const bool copied = SUCCEEDED(device->GetRenderTargetData(target, copy));
    device->SetRenderTarget(0, savedTarget);
    device->SetDepthStencilSurface(savedDepth);
    SafeRelease(savedTarget);
    SafeRelease(savedDepth);
    D3DLOCKED_RECT locked;
    if (!copied || FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return false;
    assetgen::Image image(width, height);
    for (int y = 0; y < height; ++y)
    {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch;
        for (int x = 0; x < width; ++x)
            image.At(x, y) = {row[x * 4 + 2] / 255.0f, row[x * 4 + 1] / 255.0f,
                              row[x * 4] / 255.0f};
    }
    copy->UnlockRect();
    return assetgen::BinaryFile::Write(path, assetgen::ImageFile::EncodeBMP(image));
}
