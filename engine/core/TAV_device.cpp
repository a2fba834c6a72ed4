// The Direct3D device: creation from the configuration, presentation
// parameters, default render states and the reset after device loss.
#include "core/TAV.h"

#include "util/tavUtil.h"

#include <stdexcept>

namespace
{
struct DepthCandidate
{
    D3DFORMAT format;
    const char* line;
};

// Tried in this order; D24FS8 comes first on purpose (not D24S8).
const DepthCandidate DepthFormats[] = {
    {D3DFMT_D24FS8, "ZBuffer Format: 32-bit (24-bit depth, 8-bit stencil)"},
    {D3DFMT_D24X4S4, "ZBuffer Format: 32-bit (24-bit depth, 4-bit stencil)"},
    {D3DFMT_D24X8, "ZBuffer Format: 32-Bit (24-bit depth)"},
    {D3DFMT_D16, "ZBuffer Format: 16-bit"},
};

// The SDK version the engine is written against.
const UINT SdkVersion = 32;
} // namespace

void TAV::ReadDisplaySettings()
{
    adapter = UINT(GetInt("TAV", "Adapter", 0));
    deviceType = D3DDEVTYPE(GetInt("TAV", "Device", 1));
    format = D3DFORMAT(GetInt("TAV", "Format", 0));
    backBufferFormat = D3DFORMAT(GetInt("TAV", "BackBuffer", 0));
    fullScreen = GetBool("TAV", "FullScreen", false);
    resolution = GetInt("TAV", "Resolution", -1);
    pureDevice = GetBool("TAV", "HasPure", false);
    useAA = GetBool("TAV", "UseAA", false);
    samples = DWORD(GetInt("TAV", "Samples", 0));
    quality = DWORD(GetInt("TAV", "Quality1", 0));
    showFPS = GetBool("TAV", "ShowFPS", false);

    switch (GetInt("TAV", "Filter", 0))
    {
    case 0:
        minFilter = magFilter = mipFilter = D3DTEXF_POINT;
        break;
    case 1:
        minFilter = magFilter = D3DTEXF_LINEAR;
        mipFilter = D3DTEXF_POINT;
        break;
    case 2:
        minFilter = magFilter = mipFilter = D3DTEXF_LINEAR;
        break;
    case 3:
        minFilter = magFilter = mipFilter = D3DTEXF_ANISOTROPIC;
        break;
    default:
        break; // keeps the constructor's point filtering
    }
    is32Bit = format != D3DFMT_R5G6B5 && format != D3DFMT_X1R5G5B5;
}

HRESULT TAV::InitDirectX(HINSTANCE inst, const char* caption)
{
    // 1-3. Display settings.
    BeginSection("DirectX Initialization");
    ReadDisplaySettings();
    instance = inst;
    WriteValue("32-Bit Format: ", is32Bit);

    // 4. The main window, unless the host gave one.
    if (!window)
    {
        window = MakeWindow(instance, caption, fullScreen);
        if (!window)
        {
            Write("Failed to create a suitable DirectX window.");
            EndSection();
            return E_FAIL;
        }
        CenterWindow(window);
        ShowWindow(window, SW_SHOW);
    }

    // 5. Direct3D.
    direct3d = Direct3DCreate9(SdkVersion);
    if (!direct3d)
    {
        Write("Failed creating DirectX 9.0a Interface.");
        EndSection();
        return E_FAIL;
    }

    // 6. Capabilities (start-up goes on without them).
    ZeroMemory(&caps, sizeof(caps));
    Write(FAILED(direct3d->GetDeviceCaps(adapter, deviceType, &caps)) ? "Failed getting caps."
                                                                     : "Retrieved caps.");

    // 7-8. Presentation parameters and behaviour flags.
    D3DPRESENT_PARAMETERS params;
    BuildPresentParams(params, true);
    WriteValue("Creating a device on window ", static_cast<const void*>(window));
    createFlags = caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                 : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (pureDevice && (createFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING))
        createFlags |= D3DCREATE_PUREDEVICE;

    // 9. The device.
    const HRESULT hr =
        direct3d->CreateDevice(adapter, deviceType, window, createFlags, &params, &device);
    if (ReportD3DError(hr) || !device)
    {
        Write("<font color=\"red\">Device creation failed!</font>");
        runState = 2;
        EndSection();
        if (device)
            device->Release();
        device = nullptr;
        direct3d->Release();
        direct3d = nullptr;
        return E_FAIL;
    }

    // 10. What the device can do.
    Write("<b>Created a device!</b>");
    dot3 = (caps.TextureOpCaps & D3DTEXOPCAPS_DOTPRODUCT3) && caps.MaxTextureBlendStages >= 3;
    Write(dot3 ? "DOT3 Bump mapping available" : "No DOT3 bump mapping available.");

    // 11. Services that need the device.
    try
    {
        tavTexPool::Attach(this);
        if (FAILED(SetDefaultRenderStates()))
            return E_FAIL;
        SetFilters(magFilter, mipFilter);
        if (ReportDInputError(tavDInput::Init(this, instance, window)))
            Write("Attempting to continue. ALT+F4 will emergency quit.");
        tavCamera::Attach(this);
        SetView(D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
        FrameStart();
        FrameEnd();
    }
    catch (...)
    {
        Write("Exeception caught creating texture pool, Camera or DInput interface.");
        EndSection();
        device->Release();
        device = nullptr;
        direct3d->Release();
        direct3d = nullptr;
        return E_FAIL;
    }

    // 12.
    EndSection();
    return S_OK;
}

D3DFORMAT TAV::FindDepthFormat()
{
    for (const DepthCandidate& c : DepthFormats)
    {
        if (SUCCEEDED(direct3d->CheckDeviceFormat(adapter, deviceType, format, D3DUSAGE_DEPTHSTENCIL,
                                                  D3DRTYPE_SURFACE, c.format)))
            return c.format;
    }
    return D3DFMT_UNKNOWN;
}

void TAV::BuildPresentParams(D3DPRESENT_PARAMETERS& p, bool log)
{
    ZeroMemory(&p, sizeof(p));
    D3DDISPLAYMODE desktop = {};
    direct3d->GetAdapterDisplayMode(adapter, &desktop);
    if (resolution == -1)
        resolution = int(direct3d->GetAdapterModeCount(adapter, format)) - 1;
    D3DDISPLAYMODE mode = {};
    if (FAILED(direct3d->EnumAdapterModes(adapter, format, UINT(resolution), &mode)))
    {
        runState = 2;
        Write("Failed to enumerate adapter modes!");
        return;
    }

    p.BackBufferWidth = fullScreen ? mode.Width : desktop.Width;
    p.BackBufferHeight = fullScreen ? mode.Height : desktop.Height;
    p.BackBufferFormat = fullScreen ? backBufferFormat : desktop.Format;
    p.BackBufferCount = 1;
    p.MultiSampleType = useAA ? D3DMULTISAMPLE_TYPE(samples) : D3DMULTISAMPLE_NONE;
    p.MultiSampleQuality = useAA ? quality - 1 : 0;
    p.SwapEffect = (fullScreen || useAA) ? D3DSWAPEFFECT_DISCARD : D3DSWAPEFFECT_FLIP;
    p.hDeviceWindow = window;
    p.Windowed = !fullScreen;
    p.EnableAutoDepthStencil = TRUE;
    p.Flags = 0;
    p.FullScreen_RefreshRateInHz = fullScreen ? mode.RefreshRate : 0;
    p.PresentationInterval =
        immediatePresent ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_DEFAULT;

    width = float(p.BackBufferWidth);
    height = float(p.BackBufferHeight);
    RECT r;
    if (!fullScreen && window && GetWindowRect(window, &r))
    {
        centreX = float(r.left + (r.right - r.left) / 2);
        centreY = float(r.top + (r.bottom - r.top) / 2);
    }
    else
    {
        centreX = width * 0.5f;
        centreY = height * 0.5f;
    }

    p.AutoDepthStencilFormat = FindDepthFormat();
    if (log)
    {
        const char* line = "Zbuffer Format: Unknown";
        for (const DepthCandidate& c : DepthFormats)
            if (c.format == p.AutoDepthStencilFormat)
                line = c.line;
        Write(line);
        LogPresentParams(p);
    }
}

void TAV::LogPresentParams(const D3DPRESENT_PARAMETERS& p)
{
    BeginSection("Presentation Parameters");
    WriteValue("Window: ", static_cast<const void*>(p.hDeviceWindow));
    WriteValue("Windowed: ", p.Windowed != FALSE);
    WriteValue("SwapEffect: ", uint32_t(p.SwapEffect));
    WriteValue("EnableAutoDepthStencil: ", p.EnableAutoDepthStencil != FALSE);
    WriteValue("AutoDepthStencilFormat: ", uint32_t(p.AutoDepthStencilFormat));
    WriteValue("BackBufferFormat: ", uint32_t(p.BackBufferFormat));
    WriteValue("BackBufferCount: ", uint32_t(p.BackBufferCount));
    WriteValue("BackBufferWidth: ", uint32_t(p.BackBufferWidth));
    WriteValue("BackBufferHeight: ", uint32_t(p.BackBufferHeight));
    WriteValue("FullScreen_RefreshRateInHz: ", uint32_t(p.FullScreen_RefreshRateInHz));
    WriteValue("PresentationInterval: ", uint32_t(p.PresentationInterval));
    if (useAA)
    {
        WriteValue("MultiSampleType: ", uint32_t(p.MultiSampleType));
        WriteValue("MultiSampleQuality: ", uint32_t(quality));
    }
    else
    {
        Write("No anti-aliasing.");
    }
    EndSection();
}

HRESULT TAV::ResetDevice()
{
    if (!device)
        return S_OK;
    if (FAILED(InvalidateObjects()))
        return E_FAIL;
    D3DPRESENT_PARAMETERS params;
    BuildPresentParams(params, false);
    const HRESULT hr = device->Reset(&params);
    if (hr == D3DERR_DEVICELOST)
        return S_OK;
    if (hr == S_OK)
    {
        direct3d->GetDeviceCaps(adapter, deviceType, &caps);
        return RestoreObjects();
    }
    if (ReportD3DError(hr))
    {
        Write("<font color=\"red\">Failed to reset the device!</font>");
        runState = 2;
    }
    return hr;
}

// ---- Render states ------------------------------------------------------------

HRESULT TAV::SetDefaultRenderStates()
{
    if (!device)
        return E_FAIL;
    const struct
    {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } states[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},          {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHABLENDENABLE, TRUE},       {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}, {D3DRS_SPECULARENABLE, TRUE},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},  {D3DRS_DITHERENABLE, FALSE},
    };
    for (const auto& s : states)
        if (FAILED(device->SetRenderState(s.state, s.value)))
            return E_FAIL;
    if (FAILED(SetColourModulate(0, 0)) || FAILED(StageModulate(0)) ||
        FAILED(device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2)) ||
        FAILED(device->SetVertexShader(nullptr)) || FAILED(ApplyFilters(0)) ||
        FAILED(device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0)) ||
        FAILED(device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, 0)))
        return E_FAIL;
    if (lighting && FAILED(device->SetRenderState(D3DRS_AMBIENT, ambient)))
        return E_FAIL;
    if (FAILED(device->SetRenderState(D3DRS_LIGHTING, lighting)) ||
        FAILED(device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, useAA)))
        return E_FAIL;
    return S_OK;
}

HRESULT TAV::SetAlphaBlend(bool on)
{
    HRESULT hr = device->SetRenderState(D3DRS_ALPHABLENDENABLE, on);
    if (SUCCEEDED(hr))
        hr = device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    if (SUCCEEDED(hr))
        hr = device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    return hr;
}

namespace
{
DWORD FloatBits(float f)
{
    DWORD d;
    static_assert(sizeof(d) == sizeof(f), "render states take floats as 32-bit words");
    memcpy(&d, &f, sizeof(d));
    return d;
}
} // namespace

HRESULT TAV::SetFog(bool on, D3DCOLOR colour, D3DFOGMODE tableMode, float start, float end,
                    float density, bool range)
{
    HRESULT hr = device->SetRenderState(D3DRS_FOGENABLE, on);
    if (!on || FAILED(hr))
        return hr;
    const struct
    {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } states[] = {
        {D3DRS_FOGCOLOR, colour},
        {D3DRS_FOGSTART, FloatBits(start)},
        {D3DRS_FOGEND, FloatBits(end)},
        {D3DRS_FOGDENSITY, FloatBits(density)},
        {D3DRS_FOGTABLEMODE, DWORD(tableMode)},
    };
    for (const auto& s : states)
        if (FAILED(hr = device->SetRenderState(s.state, s.value)))
            return hr;
    if (range)
        hr = device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
    return hr;
}

HRESULT TAV::SetCullMode(D3DCULL mode) { return device->SetRenderState(D3DRS_CULLMODE, mode); }
HRESULT TAV::SetSpecular(bool on) { return device->SetRenderState(D3DRS_SPECULARENABLE, on); }
HRESULT TAV::SetNormalizeNormals(bool on) { return device->SetRenderState(D3DRS_NORMALIZENORMALS, on); }
HRESULT TAV::SetFillMode(D3DFILLMODE mode) { return device->SetRenderState(D3DRS_FILLMODE, mode); }
HRESULT TAV::SetVertexShader(IDirect3DVertexShader9* shader) { return device->SetVertexShader(shader); }
HRESULT TAV::SetAntiAlias(bool on) { return device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, on); }
HRESULT TAV::SetFVF(DWORD fvf) { return device->SetFVF(fvf); }
HRESULT TAV::SetDither(bool on) { return device->SetRenderState(D3DRS_DITHERENABLE, on); }
HRESULT TAV::SetShadeMode(D3DSHADEMODE mode) { return device->SetRenderState(D3DRS_SHADEMODE, mode); }
HRESULT TAV::SetAmbient(D3DCOLOR colour) { return device->SetRenderState(D3DRS_AMBIENT, colour); }
HRESULT TAV::SetLight(DWORD index, const D3DLIGHT9& light) { return device->SetLight(index, &light); }
HRESULT TAV::EnableLight(DWORD index, bool on) { return device->LightEnable(index, on); }

HRESULT TAV::SetTextureTransform(DWORD flags)
{
    return device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, flags);
}

HRESULT TAV::SetStage0Filter(D3DTEXTUREFILTERTYPE filter)
{
    HRESULT hr = device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    return SUCCEEDED(hr) ? device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter) : hr;
}

HRESULT TAV::ApplyFilters(DWORD stage)
{
    HRESULT hr = device->SetSamplerState(stage, D3DSAMP_MINFILTER, minFilter);
    if (SUCCEEDED(hr))
        hr = device->SetSamplerState(stage, D3DSAMP_MAGFILTER, magFilter);
    if (SUCCEEDED(hr))
        hr = device->SetSamplerState(stage, D3DSAMP_MIPFILTER, mipFilter);
    return hr;
}

HRESULT TAV::SetColourModulate(int mode, DWORD stage)
{
    const DWORD op = mode == 2 ? D3DTOP_MODULATE2X : (mode == 3 ? D3DTOP_MODULATE4X : D3DTOP_MODULATE);
    return SetStageColour(stage, op, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

HRESULT TAV::SetLighting(bool on, D3DCOLOR ambientColour)
{
    lighting = on;
    ambient = ambientColour;
    if (on)
    {
        const HRESULT hr = device->SetRenderState(D3DRS_AMBIENT, ambient);
        if (FAILED(hr))
            return hr;
    }
    return device->SetRenderState(D3DRS_LIGHTING, on);
}

HRESULT TAV::SetMipLimits(DWORD stage, float bias, DWORD maxLevel)
{
    HRESULT hr = device->SetSamplerState(stage, D3DSAMP_MAXMIPLEVEL, maxLevel);
    return SUCCEEDED(hr) ? device->SetSamplerState(stage, D3DSAMP_MIPMAPLODBIAS, FloatBits(bias)) : hr;
}

HRESULT TAV::SetMaxAnisotropy(DWORD stage, DWORD value)
{
    return device->SetSamplerState(stage, D3DSAMP_MAXANISOTROPY, value);
}

HRESULT TAV::SetAddressMode(bool clamp)
{
    const DWORD mode = clamp ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
    HRESULT hr = device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode);
    return SUCCEEDED(hr) ? device->SetSamplerState(0, D3DSAMP_ADDRESSV, mode) : hr;
}

HRESULT TAV::SetZ(bool on)
{
    if (!device)
        return E_FAIL;
    HRESULT hr = device->SetRenderState(D3DRS_ZENABLE, on ? D3DZB_TRUE : D3DZB_FALSE);
    return SUCCEEDED(hr) ? device->SetRenderState(D3DRS_ZWRITEENABLE, on) : hr;
}

// ---- Texture-stage presets ------------------------------------------------------

HRESULT TAV::SetStageColour(DWORD stage, DWORD op, DWORD arg1, DWORD arg2)
{
    HRESULT hr = device->SetTextureStageState(stage, D3DTSS_COLOROP, op);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_COLORARG1, arg1);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    return hr;
}

HRESULT TAV::SetStageAlpha(DWORD stage, DWORD op, DWORD arg1, DWORD arg2)
{
    HRESULT hr = device->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, arg1);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, arg2);
    return hr;
}

HRESULT TAV::StageModulate(DWORD stage)
{
    HRESULT hr = SetStageColour(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    if (SUCCEEDED(hr))
        hr = SetStageAlpha(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    if (SUCCEEDED(hr))
        hr = device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    return hr;
}

HRESULT TAV::StageTextureAlpha(DWORD stage)
{
    HRESULT hr = SetStageColour(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    return SUCCEEDED(hr) ? SetStageAlpha(stage, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE) : hr;
}

HRESULT TAV::StageDot3First(DWORD stage)
{
    HRESULT hr = SetStageColour(stage, D3DTOP_DOTPRODUCT3, D3DTA_TEXTURE, D3DTA_TFACTOR);
    return SUCCEEDED(hr) ? SetStageAlpha(stage, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE) : hr;
}

HRESULT TAV::StageDot3Second(DWORD stage)
{
    HRESULT hr =
        SetStageColour(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT | D3DTA_COMPLEMENT);
    return SUCCEEDED(hr) ? SetStageAlpha(stage, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT) : hr;
}

HRESULT TAV::StageAdd(DWORD stage)
{
    return SetStageColour(stage, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT);
}

HRESULT TAV::StageInverseModulate(DWORD stage)
{
    HRESULT hr =
        SetStageColour(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT | D3DTA_COMPLEMENT);
    return SUCCEEDED(hr) ? SetStageAlpha(stage, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT) : hr;
}
