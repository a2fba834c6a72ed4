#include "support/DrawCallCounter.h"

extern "C" int tavTestDrawSlot(int which);

namespace
{
long drawCalls = 0;
void* original[4] = {};

typedef HRESULT(STDMETHODCALLTYPE* DrawPrimitiveFn)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT,
                                                    UINT);
typedef HRESULT(STDMETHODCALLTYPE* DrawIndexedFn)(IDirect3DDevice9*, D3DPRIMITIVETYPE, INT, UINT,
                                                  UINT, UINT, UINT);
typedef HRESULT(STDMETHODCALLTYPE* DrawUpFn)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, const void*,
                                             UINT);
typedef HRESULT(STDMETHODCALLTYPE* DrawIndexedUpFn)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, UINT,
                                                    UINT, const void*, D3DFORMAT, const void*,
                                                    UINT);

HRESULT STDMETHODCALLTYPE CountDraw(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, UINT s, UINT n)
{
    ++drawCalls;
    return reinterpret_cast<DrawPrimitiveFn>(original[0])(d, t, s, n);
}

HRESULT STDMETHODCALLTYPE CountIndexed(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, INT b, UINT m,
                                       UINT v, UINT s, UINT n)
{
    ++drawCalls;
    return reinterpret_cast<DrawIndexedFn>(original[1])(d, t, b, m, v, s, n);
}

HRESULT STDMETHODCALLTYPE CountUp(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, UINT n, const void* v,
                                  UINT stride)
{
    ++drawCalls;
    return reinterpret_cast<DrawUpFn>(original[2])(d, t, n, v, stride);
}

HRESULT STDMETHODCALLTYPE CountIndexedUp(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, UINT m, UINT v,
                                         UINT n, const void* i, D3DFORMAT f, const void* vv,
                                         UINT stride)
{
    ++drawCalls;
    return reinterpret_cast<DrawIndexedUpFn>(original[3])(d, t, m, v, n, i, f, vv, stride);
}

void* const counters[4] = {
    reinterpret_cast<void*>(&CountDraw), reinterpret_cast<void*>(&CountIndexed),
    reinterpret_cast<void*>(&CountUp), reinterpret_cast<void*>(&CountIndexedUp)};

bool Patch(void** slot, void* value)
{
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_EXECUTE_READWRITE, &old)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof(void*), old, &old);
    return true;
}
} // namespace

DrawCallCounter::DrawCallCounter(IDirect3DDevice9* device) : vtable(nullptr)
{
    if (!device) return;
    void** table = *reinterpret_cast<void***>(device);
    for (int i = 0; i < 4; ++i)
        original[i] = table[tavTestDrawSlot(i)];
    for (int i = 0; i < 4; ++i)
        if (!Patch(&table[tavTestDrawSlot(i)], counters[i])) return;
    vtable = table;
    drawCalls = 0;
}

DrawCallCounter::~DrawCallCounter()
{
    if (!vtable) return;
    for (int i = 0; i < 4; ++i)
        Patch(&vtable[tavTestDrawSlot(i)], original[i]);
}

long DrawCallCounter::Count() const
{
    return drawCalls;
}
void DrawCallCounter::Reset()
{
    drawCalls = 0;
}
