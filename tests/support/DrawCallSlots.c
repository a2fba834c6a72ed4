/* Positions of the draw entries in the device's interface table, taken from
   the C declaration of the interface (C++ has no such struct). */
#define CINTERFACE
#define COBJMACROS
#include <stddef.h>
#include <d3d9.h>

int tavTestDrawSlot(int which)
{
    switch (which)
    {
    case 0:
        return (int)(offsetof(IDirect3DDevice9Vtbl, DrawPrimitive) / sizeof(void*));
    case 1:
        return (int)(offsetof(IDirect3DDevice9Vtbl, DrawIndexedPrimitive) / sizeof(void*));
    case 2:
        return (int)(offsetof(IDirect3DDevice9Vtbl, DrawPrimitiveUP) / sizeof(void*));
    default:
        return (int)(offsetof(IDirect3DDevice9Vtbl, DrawIndexedPrimitiveUP) / sizeof(void*));
    }
}
