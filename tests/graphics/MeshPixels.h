#pragma once
// Helpers of the engine mesh tests: a camera on the -z side, flat colours
// (lit by white ambient light alone, so a material's Ambient is its colour)
// and the pixel a world point lands on.
#include "RenderCheck.h"

#include "graphics/tavMaterial.h"

#include <d3dx9.h>

// Eye at `eye` looking at `at`, lighting on with white ambient light and no
// culling.
void LookFlat(TAV& engine, const D3DXVECTOR3& eye, const D3DXVECTOR3& at);
// Ambient = `colour`, no textures.
void Paint(tavMaterial& material, D3DCOLOR colour);
// The pixel under a world point (identity world transform).
D3DCOLOR PixelAt(IDirect3DDevice9* device, const RenderCheck& check, const D3DXVECTOR3& world);
// The bytes of a file, empty when missing.
std::vector<uint8_t> FileBytes(const std::string& path);
