#include "graphics/tavStateBlock.h"

tavStateBlock::~tavStateBlock()
{
    if (block) block->Release();
}

HRESULT tavStateBlock::Create(IDirect3DDevice9* device)
{
    if (!device) return E_FAIL;
    if (block) return S_OK;
    const HRESULT hr = device->CreateStateBlock(D3DSBT_ALL, &block);
    if (FAILED(hr)) block = nullptr;
    return hr;
}

HRESULT tavStateBlock::Capture(IDirect3DDevice9* device)
{
    const HRESULT hr = Create(device);
    return FAILED(hr) ? hr : block->Capture();
}

HRESULT tavStateBlock::BeginRecording(IDirect3DDevice9* device)
{
    return device ? device->BeginStateBlock() : E_FAIL;
}

HRESULT tavStateBlock::EndRecording(IDirect3DDevice9* device)
{
    if (!device) return E_FAIL;
    IDirect3DStateBlock9* recorded = nullptr;
    const HRESULT hr = device->EndStateBlock(&recorded);
    if (FAILED(hr) || !recorded) return FAILED(hr) ? hr : E_FAIL;
    if (block) block->Release();
    block = recorded;
    return hr;
}

HRESULT tavStateBlock::Release(IDirect3DDevice9* device)
{
    if (!device) return E_FAIL;
    if (block) block->Release();
    block = nullptr;
    return S_OK;
}

HRESULT tavStateBlock::Apply() const
{
    return block ? block->Apply() : E_FAIL;
}
