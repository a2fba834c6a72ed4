#include "graphics/tavSkyBox.h"

#include "core/TAV.h"

#include <string>

namespace
{
struct Corner
{
    float x, y, z, u, v;
};

// Four corners per face, each face a two-triangle strip; normals point into
// the cube.
const Corner corners[tavSkyBox::FaceCount][4] = {
    {{-2, 2, 2, 0, 0}, {2, 2, 2, 1, 0}, {-2, -2, 2, 0, 1}, {2, -2, 2, 1, 1}},
    {{-2, -2, 2, 0, 0}, {2, -2, 2, 1, 0}, {-2, -2, -2, 0, 1}, {2, -2, -2, 1, 1}},
    {{2, 2, -2, 0, 0}, {-2, 2, -2, 1, 0}, {2, -2, -2, 0, 1}, {-2, -2, -2, 1, 1}},
    {{-2, 2, -2, 0, 0}, {2, 2, -2, 1, 0}, {-2, 2, 2, 0, 1}, {2, 2, 2, 1, 1}},
    {{-2, 2, -2, 0, 0}, {-2, 2, 2, 1, 0}, {-2, -2, -2, 0, 1}, {-2, -2, 2, 1, 1}},
    {{2, 2, 2, 0, 0}, {2, 2, -2, 1, 0}, {2, -2, 2, 0, 1}, {2, -2, -2, 1, 1}},
};
const float normals[tavSkyBox::FaceCount][3] = {
    {0, 0, -1}, {0, 1, 0}, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0},
};
} // namespace

tavSkyBox::tavSkyBox(TAV* e) : engine(e), faces(e), angle(0.0f), rotationSpeed(0.0f)
{
    D3DXMatrixIdentity(&transform);
    for (int& t : faceTexture)
        t = -1;
    tavPrimitiveVertex vertices[FaceCount * 4];
    for (int f = 0; f < FaceCount; ++f)
        for (int i = 0; i < 4; ++i)
        {
            const Corner& c = corners[f][i];
            vertices[f * 4 + i] = {
                c.x, c.y, c.z, normals[f][0], normals[f][1], normals[f][2], 0xFFFFFFFF, c.u, c.v};
        }
    faces.Create(FaceCount * 4, 12, vertices);
}

std::string tavSkyBox::FaceFileName(const char* pattern, int face)
{
    // Not printf: a stray conversion in the pattern must not read arguments
    // that are not there.
    std::string name;
    for (const char* p = pattern ? pattern : ""; *p; ++p)
    {
        if (p[0] == '%' && p[1] == 'd')
            name += std::to_string(face), ++p;
        else if (p[0] == '%' && p[1] == '%')
            name += '%', ++p;
        else
            name += *p;
    }
    return name;
}

void tavSkyBox::Load(const char* pattern)
{
    for (int d = 0; d < FaceCount; ++d)
        faceTexture[d] =
            engine->LoadTextureFiltered(FaceFileName(pattern, d).c_str(), 0, 1, D3DX_FILTER_NONE);
}

void tavSkyBox::SetPosition(float x, float y, float z)
{
    D3DXMatrixTranslation(&transform, x, y, z);
}

int tavSkyBox::GetFaceTexture(int face) const
{
    return face >= 0 && face < FaceCount ? faceTexture[face] : -1;
}

void tavSkyBox::Render(bool drawBottom)
{
    IDirect3DDevice9* device = engine ? engine->GetDevice() : nullptr;
    if (!device) return;
    if (rotationSpeed != 0.0f) angle += rotationSpeed * float(engine->GetFrameTime());
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, angle);
    D3DXMatrixMultiply(&world, &world, &transform);
    engine->SetWorldTransform(world);
    SetSkyStates(device);
    for (int i = 0; i < FaceCount; ++i)
    {
        faces.SetTexture(faceTexture[i]);
        if (i != Bottom || drawBottom) faces.Render(4 * i, 2);
    }
    RestoreStates(device);
}

void tavSkyBox::SetSkyStates(IDirect3DDevice9* device)
{
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    // Clamped and linear, so that no seam shows where two faces meet.
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
}

void tavSkyBox::RestoreStates(IDirect3DDevice9* device)
{
    engine->ApplyFilters(0);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}
