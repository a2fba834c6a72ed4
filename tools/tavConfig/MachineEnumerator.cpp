#include "MachineEnumerator.h"

#include <d3d9.h>

namespace
{
// The display formats a player may choose, and the back buffers of each.
struct FormatChoice
{
    D3DFORMAT display;
    D3DFORMAT backBuffers[2];
};
const FormatChoice FormatChoices[] = {
    {D3DFMT_X8R8G8B8, {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}},
    {D3DFMT_R5G6B5, {D3DFMT_R5G6B5, D3DFMT_UNKNOWN}},
    {D3DFMT_X1R5G5B5, {D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5}},
    {D3DFMT_A2R10G10B10, {D3DFMT_A2R10G10B10, D3DFMT_UNKNOWN}},
};
// The engine's order of preference; it takes the first one the format has.
const D3DFORMAT DepthFormats[] = {D3DFMT_D24FS8, D3DFMT_D24X4S4, D3DFMT_D24X8, D3DFMT_D16};
const D3DDEVTYPE DeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};

struct Probe
{
    IDirect3D9* d3d;
    UINT adapter;
    D3DDEVTYPE type;
};

int BestFilter(const D3DCAPS9& caps)
{
    const DWORD f = caps.TextureFilterCaps;
    if (!(f & D3DPTFILTERCAPS_MINFLINEAR) || !(f & D3DPTFILTERCAPS_MAGFLINEAR)) return 0;
    if (!(f & D3DPTFILTERCAPS_MIPFLINEAR)) return 1;
    if (!(f & D3DPTFILTERCAPS_MINFANISOTROPIC) || caps.MaxAnisotropy < 2) return 2;
    return 3;
}

// The types the surface and the engine's depth buffer both support.
std::vector<SampleOffer> Samples(const Probe& p, D3DFORMAT surface, BOOL windowed, int depth)
{
    std::vector<SampleOffer> offers;
    for (int type = 1; type <= 16; ++type)
    {
        DWORD levels = 0;
        const auto t = D3DMULTISAMPLE_TYPE(type);
        if (FAILED(p.d3d->CheckDeviceMultiSampleType(p.adapter, p.type, surface, windowed, t,
                                                     &levels)))
            continue;
        if (depth && FAILED(p.d3d->CheckDeviceMultiSampleType(p.adapter, p.type, D3DFORMAT(depth),
                                                              windowed, t, nullptr)))
            continue;
        offers.push_back(SampleOffer{type, levels ? int(levels) : 1});
    }
    return offers;
}

bool Surface(const Probe& p, const FormatChoice& choice, D3DFORMAT desktop, SurfaceOffer& out)
{
    out.format = int(choice.display);
    const UINT count = p.d3d->GetAdapterModeCount(p.adapter, choice.display);
    for (UINT i = 0; i < count; ++i)
    {
        D3DDISPLAYMODE mode = {};
        if (SUCCEEDED(p.d3d->EnumAdapterModes(p.adapter, choice.display, i, &mode)))
            out.modes.push_back(
                DisplayMode{int(mode.Width), int(mode.Height), int(mode.RefreshRate)});
    }
    if (out.modes.empty()) return false;
    for (D3DFORMAT depth : DepthFormats)
        if (SUCCEEDED(p.d3d->CheckDeviceFormat(p.adapter, p.type, choice.display,
                                               D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, depth)))
            out.depthFormats.push_back(int(depth));
    const int depth = out.depthFormats.empty() ? 0 : out.depthFormats.front();
    for (D3DFORMAT backBuffer : choice.backBuffers)
        if (backBuffer != D3DFMT_UNKNOWN &&
            SUCCEEDED(p.d3d->CheckDeviceType(p.adapter, p.type, choice.display, backBuffer, FALSE)))
            out.backBuffers.push_back(
                BackBufferOffer{int(backBuffer), Samples(p, backBuffer, FALSE, depth)});
    out.windowedSamples = Samples(p, desktop, TRUE, depth);
    return !out.backBuffers.empty();
}

AdapterOffer Adapter(IDirect3D9* d3d, UINT ordinal)
{
    AdapterOffer adapter{};
    D3DADAPTER_IDENTIFIER9 id = {};
    adapter.name = SUCCEEDED(d3d->GetAdapterIdentifier(ordinal, 0, &id)) ? id.Description : "";
    if (adapter.name.empty()) adapter.name = "Adapter " + std::to_string(ordinal);
    D3DDISPLAYMODE desktop = {};
    d3d->GetAdapterDisplayMode(ordinal, &desktop);
    adapter.desktopFormat = int(desktop.Format);
    adapter.desktop =
        DisplayMode{int(desktop.Width), int(desktop.Height), int(desktop.RefreshRate)};
    for (D3DDEVTYPE type : DeviceTypes)
    {
        D3DCAPS9 caps = {};
        if (FAILED(d3d->GetDeviceCaps(ordinal, type, &caps))) continue;
        DeviceOffer device{int(type),
                           (caps.DevCaps & D3DDEVCAPS_PUREDEVICE) &&
                               (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT),
                           BestFilter(caps),
                           {}};
        const Probe probe{d3d, ordinal, type};
        for (const FormatChoice& choice : FormatChoices)
        {
            SurfaceOffer surface{};
            if (Surface(probe, choice, desktop.Format, surface)) device.formats.push_back(surface);
        }
        if (!device.formats.empty()) adapter.devices.push_back(device);
    }
    return adapter;
}
} // namespace

MachineOffer EnumerateMachine()
{
    MachineOffer offer;
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) return offer;
    const UINT count = d3d->GetAdapterCount();
    for (UINT i = 0; i < count; ++i)
        offer.adapters.push_back(Adapter(d3d, i));
    d3d->Release();
    return offer;
}
