#pragma once
// Counts the draw calls made on one Direct3D 9 device, whoever makes them:
// while an instance lives, the device's four draw entries are routed
// through counters. One instance at a time.

#include <d3d9.h>

class DrawCallCounter
{
public:
    explicit DrawCallCounter(IDirect3DDevice9* device);
    // Puts the device's own entries back.
    ~DrawCallCounter();
    DrawCallCounter(const DrawCallCounter&) = delete;
    DrawCallCounter& operator=(const DrawCallCounter&) = delete;

    bool IsHooked() const { return vtable != nullptr; }
    long Count() const;
    void Reset();

private:
    void** vtable;
};
