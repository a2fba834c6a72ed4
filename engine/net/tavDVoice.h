#pragma once
// DirectPlay Voice as the platform documents it: the three interfaces the
// engine uses, their identifiers, and the structures, flags and results
// they take. The MinGW tree has no header for them.

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <dsound.h>

typedef HRESULT(WINAPI* PDVMESSAGEHANDLER)(PVOID userContext, DWORD messageType, PVOID message);
typedef DWORD DVID;

// {B9F3EB85-B781-4AC1-8D90-93A05EE37D7D}
static const GUID CLSID_DirectPlayVoiceClient = {
    0xb9f3eb85, 0xb781, 0x4ac1, {0x8d, 0x90, 0x93, 0xa0, 0x5e, 0xe3, 0x7d, 0x7d}};
// {D3F5B8E6-9B78-4A4C-94EA-CA2397B663D3}
static const GUID CLSID_DirectPlayVoiceServer = {
    0xd3f5b8e6, 0x9b78, 0x4a4c, {0x94, 0xea, 0xca, 0x23, 0x97, 0xb6, 0x63, 0xd3}};
// {0F0F094B-B01C-4091-A14D-DD0CD807711A}
static const GUID CLSID_DirectPlayVoiceTest = {
    0x0f0f094b, 0xb01c, 0x4091, {0xa1, 0x4d, 0xdd, 0x0c, 0xd8, 0x07, 0x71, 0x1a}};
// {1DFDC8EA-BCF7-41D6-B295-AB64B3B23306}
static const GUID IID_IDirectPlayVoiceClient = {
    0x1dfdc8ea, 0xbcf7, 0x41d6, {0xb2, 0x95, 0xab, 0x64, 0xb3, 0xb2, 0x33, 0x06}};
// {FAA1C173-0468-43B6-8A2A-EA8A4F2076C9}
static const GUID IID_IDirectPlayVoiceServer = {
    0xfaa1c173, 0x0468, 0x43b6, {0x8a, 0x2a, 0xea, 0x8a, 0x4f, 0x20, 0x76, 0xc9}};
// {D26AF734-208B-41DA-8224-E0CE79810BE1}
static const GUID IID_IDirectPlayVoiceTest = {
    0xd26af734, 0x208b, 0x41da, {0x82, 0x24, 0xe0, 0xce, 0x79, 0x81, 0x0b, 0xe1}};

#define DVFLAGS_SYNC 0x00000001
#define DVFLAGS_QUERYONLY 0x00000002

#define DV_FULLDUPLEX MAKE_HRESULT(0, 0x15, 0x0005)
#define DV_HALFDUPLEX MAKE_HRESULT(0, 0x15, 0x000A)
#define DVERR_RUNSETUP MAKE_HRESULT(1, 0x15, 0x0183)

struct DVCAPS
{
    DWORD dwSize;
    DWORD dwFlags;
};

struct DVCLIENTCONFIG
{
    DWORD dwSize;
    DWORD dwFlags;
    LONG lRecordVolume;
    LONG lPlaybackVolume;
    DWORD dwThreshold;
    DWORD dwBufferQuality;
    DWORD dwBufferAggressiveness;
    DWORD dwNotifyPeriod;
};

struct DVSESSIONDESC
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwSessionType;
    GUID guidCT;
    DWORD dwBufferQuality;
    DWORD dwBufferAggressiveness;
};

struct DVSOUNDDEVICECONFIG
{
    DWORD dwSize;
    DWORD dwFlags;
    GUID guidPlaybackDevice;
    IDirectSound* lpdsPlaybackDevice;
    GUID guidCaptureDevice;
    IDirectSoundCapture* lpdsCaptureDevice;
    HWND hwndAppWindow;
    IDirectSoundBuffer* lpdsMainBuffer;
    DWORD dwMainBufferFlags;
    DWORD dwMainBufferPriority;
};

// The slots in the documented order; only the first ones are called here,
// the rest keep the table's shape.
struct IDirectPlayVoiceClient : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Initialize(IUnknown* session, PDVMESSAGEHANDLER handler,
                                                 PVOID userContext, DWORD* messageMask,
                                                 DWORD maskElements) = 0;
    virtual HRESULT STDMETHODCALLTYPE Connect(DVSOUNDDEVICECONFIG* soundConfig,
                                              DVCLIENTCONFIG* clientConfig, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Disconnect(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSessionDesc(DVSESSIONDESC* desc) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClientConfig(DVCLIENTCONFIG* config) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClientConfig(DVCLIENTCONFIG* config) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCaps(DVCAPS* caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCompressionTypes(PVOID data, DWORD* size, DWORD* count,
                                                          DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTransmitTargets(DVID* targets, DWORD count,
                                                         DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTransmitTargets(DVID* targets, DWORD* count,
                                                         DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Create3DSoundBuffer(DVID player, IDirectSoundBuffer* buffer,
                                                          DWORD priority, DWORD flags,
                                                          IDirectSound3DBuffer** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete3DSoundBuffer(DVID player,
                                                          IDirectSound3DBuffer** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNotifyMask(DWORD* mask, DWORD elements) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSoundDeviceConfig(DVSOUNDDEVICECONFIG* config,
                                                           DWORD* size) = 0;
};

struct IDirectPlayVoiceServer : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Initialize(IUnknown* session, PDVMESSAGEHANDLER handler,
                                                 PVOID userContext, DWORD* messageMask,
                                                 DWORD maskElements) = 0;
    virtual HRESULT STDMETHODCALLTYPE StartSession(DVSESSIONDESC* desc, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE StopSession(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSessionDesc(DVSESSIONDESC* desc) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSessionDesc(DVSESSIONDESC* desc) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCaps(DVCAPS* caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCompressionTypes(PVOID data, DWORD* size, DWORD* count,
                                                          DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTransmitTargets(DVID source, DVID* targets, DWORD count,
                                                         DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTransmitTargets(DVID source, DVID* targets, DWORD* count,
                                                         DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNotifyMask(DWORD* mask, DWORD elements) = 0;
};

struct IDirectPlayVoiceTest : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE CheckAudioSetup(const GUID* playbackDevice,
                                                      const GUID* captureDevice, HWND parent,
                                                      DWORD flags) = 0;
};
