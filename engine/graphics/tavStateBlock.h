#pragma once
// One recorded or captured set of device states, made on first need. Every
// operation takes the device and fails with E_FAIL without one.

#include <d3d9.h>

class tavStateBlock
{
public:
    tavStateBlock() : block(nullptr) {}
    ~tavStateBlock();
    tavStateBlock(const tavStateBlock&) = delete;
    tavStateBlock& operator=(const tavStateBlock&) = delete;

    // Makes a block of every state (D3DSBT_ALL) unless one exists.
    HRESULT Create(IDirect3DDevice9* device);
    // Makes the block if needed, then captures the device's current states
    // into it.
    HRESULT Capture(IDirect3DDevice9* device);
    // Starts recording; the states set until EndRecording go into the block.
    HRESULT BeginRecording(IDirect3DDevice9* device);
    // Ends the recording; the block becomes the recorded one (a block held
    // before is released).
    HRESULT EndRecording(IDirect3DDevice9* device);
    HRESULT Release(IDirect3DDevice9* device);

    // Sets the block's states on its device; E_FAIL while there is none.
    HRESULT Apply() const;
    // The block (null until made); the caller adds its own reference to keep it.
    IDirect3DStateBlock9* GetBlock() const { return block; }

private:
    IDirect3DStateBlock9* block;
};
