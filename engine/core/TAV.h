#pragma once
// The engine object: one per process, built by the program entry on its
// stack, alive for the whole run. It inherits every engine service, so a
// scene holding a pointer to it reaches the log, the timer, the texture pool,
// the console, the input, the camera, the sound, the configuration file and
// the GUI through that one pointer.

#include "audio/tavDSound.h"
#include "console/tavConsole.h"
#include "console/tavGUI.h"
#include "core/tavScene.h"
#include "core/tavSettings.h"
#include "diag/tavINI.h"
#include "diag/tavLockedData.h"
#include "diag/tavLog.h"
#include "diag/tavPCount.h"
#include "diag/tavThread.h"
#include "graphics/tavCamera.h"
#include "graphics/tavTexPool.h"
#include "input/tavDInput.h"
#include "util/tavRandom.h"

#include <d3d9.h>

#include <cstdint>
#include <new>
#include <string>

class tavFader;

// Hot key ids registered on the main window.
enum : int
{
    TAV_HOTKEY_QUIT = 45040,       // Alt+F4
    TAV_HOTKEY_PASTE = 45041,      // Ctrl+V
    TAV_HOTKEY_SCREENSHOT = 45042, // Print Screen
    TAV_HOTKEY_TOGGLE = 45043,     // Alt+Enter (registered, does nothing)
};

class TAV : public tavLog,
            public tavPCount,
            public tavTexPool,
            public tavConsole,
            public tavDInput,
            public tavCamera,
            public tavLockedData,
            public tavDSound,
            public tavINI,
            public tavGUI
{
public:
    TAV();
    // The shutdown (see Release).
    virtual ~TAV();
    TAV(const TAV&) = delete;
    TAV& operator=(const TAV&) = delete;

    // ---- Application hooks (override in the application's subclass) ----
    // Draws the loading screen while the current scene is not ready.
    virtual HRESULT RenderLoading();
    // A new scene became current, before its loading thread starts.
    virtual HRESULT OnSceneChange() { return S_OK; }
    // Reserved hook; the engine never calls it.
    virtual HRESULT OnReserved() { return S_OK; }
    // The application's own start-up, the last phase of Initialize.
    virtual HRESULT GameInitialize() = 0;
    // True when the device is lost or the application deactivated, false
    // when the lost device is usable again.
    virtual void OnPause(bool /*paused*/) {}
    // Console commands registered by the application (see tavConsole).
    virtual void OnCommandText(uint32_t /*id*/, std::string /*text*/) {}
    virtual void OnCommandInts(uint32_t /*id*/, int /*a*/, int /*b*/, int /*c*/) {}
    virtual void OnCommandFloats(uint32_t /*id*/, float /*a*/, float /*b*/, float /*c*/) {}
    virtual void OnCommand(uint32_t /*id*/) {}
    // Messages the engine does not handle itself; default: DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // ---- Life cycle ----
    // Start-up in phases: 0, or E_FAIL when any phase failed (another copy
    // runs, the setup utility was launched, no device, ...).
    HRESULT Initialize(const tavSettings& settings);
    // The main loop: returns when told to quit. `first` (may be null) is
    // loaded as the first scene; the engine owns it from here.
    void Run(tavScene* first);
    // One loop pass without the message pump and the sound update, for a
    // host that owns the loop. False once the engine wants to quit.
    bool Step();
    // One frame: returns 0 or E_FAIL.
    HRESULT Frame();
    // The shutdown; runs as the destructor, safe to call once more.
    void Release();

    // ---- Scenes ----
    // Queues `next`; from now on frames draw the loading screen.
    bool SetNextScene(tavScene* next);
    tavScene* GetScene() const { return scene; }
    bool IsSceneReady() const { return sceneReady; }
    bool SwitchScene();
    // Progress of the scene being loaded, clamped to 0..100.
    void SetLoadingProgress(float percent);
    float GetLoadingProgress() const { return loadingProgress; }

    // Memory for scenes and other engine-owned objects (the process heap).
    static void* Alloc(size_t bytes);
    static void Free(void* memory);

    // ---- Small operations ----
    void Quit() { quit = true; }
    bool IsQuitting() const { return quit; }
    void SetRunState(uint8_t state) { runState = state; }
    uint8_t GetRunState() const { return runState; }
    bool IsPaused() const { return paused; }
    void SetPaused(bool on);
    bool IsFullScreen() const { return fullScreen; }
    HWND GetWindow() const { return window; }
    IDirect3DDevice9* GetDevice() const { return device; }
    IDirect3D9* GetDirect3D() const { return direct3d; }
    const D3DCAPS9& GetCaps() const { return caps; }
    bool Is32Bit() const { return is32Bit; }
    bool HasDot3() const { return dot3; }
    bool ShowFPS() const { return showFPS; }
    void SetClearTarget(bool on) { clearTarget = on; }
    void SetClearColour(D3DCOLOR colour) { clearColour = colour; }
    void SetImmediatePresent(bool on) { immediatePresent = on; }
    tavFader* GetFader() const { return fader; }
    // Index 0 = min, 1 = mag, 2 = mip filter.
    DWORD GetFilter(int index) const;
    float GetCentreX() const { return centreX; }
    float GetCentreY() const { return centreY; }
    float GetWidth() const { return width; }
    float GetHeight() const { return height; }
    float RandomFloat(float min, float max);
    int RandomInt(int min, int max);
    tavRandom& GetRandom() { return random; }
    // 7 when the device can mip-map, else 1.
    UINT MipLevels() const;

    // Layouts are authored for 1280 x 1024 and scaled to the back buffer.
    float ScaleX(float v) const { return width == 1280.0f ? v : v * (1.0f / 1280.0f) * width; }
    float ScaleY(float v) const { return height == 1024.0f ? v : v * (1.0f / 1024.0f) * height; }
    float FractionX(float f) const { return f * width; }
    float FractionY(float f) const { return f * height; }

    // ---- Device (TAV_device.cpp) ----
    HRESULT InitDirectX(HINSTANCE instance, const char* caption);
    void BuildPresentParams(D3DPRESENT_PARAMETERS& out, bool log);
    HRESULT ResetDevice();
    HRESULT SetDefaultRenderStates();
    // The picture on screen as "./Shot.bmp" or the first free "./Shot%d.bmp".
    bool Screenshot();
    HWND MakeWindow(HINSTANCE instance, const char* caption, bool fullScreen);
    std::string GetClipboardText() const;

    // ---- Render states for scenes (each returns the Direct3D result) ----
    HRESULT SetAlphaBlend(bool on);
    HRESULT SetFog(bool on, D3DCOLOR colour, D3DFOGMODE tableMode, float start, float end,
                   float density, bool range = false);
    HRESULT SetCullMode(D3DCULL mode);
    HRESULT SetSpecular(bool on);
    HRESULT SetNormalizeNormals(bool on);
    HRESULT SetFillMode(D3DFILLMODE mode);
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader);
    HRESULT SetAntiAlias(bool on);
    HRESULT SetFVF(DWORD fvf);
    HRESULT SetTextureTransform(DWORD flags);
    HRESULT SetDither(bool on);
    HRESULT SetShadeMode(D3DSHADEMODE mode);
    HRESULT SetStage0Filter(D3DTEXTUREFILTERTYPE filter);
    HRESULT ApplyFilters(DWORD stage);
    // Mode 2: modulate x2, 3: modulate x4, anything else: modulate.
    HRESULT SetColourModulate(int mode, DWORD stage);
    HRESULT SetLighting(bool on, D3DCOLOR ambientColour);
    HRESULT SetLight(DWORD index, const D3DLIGHT9& light);
    HRESULT EnableLight(DWORD index, bool on);
    HRESULT SetAmbient(D3DCOLOR colour);
    HRESULT SetMipLimits(DWORD stage, float bias, DWORD maxLevel);
    HRESULT SetMaxAnisotropy(DWORD stage, DWORD value);
    HRESULT SetAddressMode(bool clamp);
    HRESULT SetZ(bool on);
    // Texture-stage presets.
    HRESULT StageModulate(DWORD stage);
    HRESULT StageTextureAlpha(DWORD stage);
    HRESULT StageDot3First(DWORD stage);
    HRESULT StageDot3Second(DWORD stage);
    HRESULT StageAdd(DWORD stage);
    HRESULT StageInverseModulate(DWORD stage);

    // ---- Error reports (TAV_errors.cpp): true when the code is a failure ----
    bool ReportD3DError(HRESULT code);
    bool ReportDSoundError(HRESULT code);
    bool ReportDPlayVoiceError(HRESULT code);
    bool ReportDPlayError(HRESULT code);
    bool ReportDInputError(HRESULT code);
    bool ReportDMusicError(HRESULT code);
    // The calling thread's last system error, as text.
    void ReportWindowsError();

    // ---- Reports printed into the console ----
    // Texture pool statistics ("texture" command).
    void ReportTexturePool();

    // ---- Configuration (TAV_config.cpp) ----
    // 0: go on; E_FAIL: stop the start-up (setup utility launched, the user
    // chose the setup utility after a failed run, or an unknown run state).
    HRESULT CheckRunState();

    // The engine's message handler (window procedure glue calls it).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window being created is ours (its messages arrive before
    // CreateWindow returns).
    void AdoptWindow(HWND hwnd);

private:
    // Start-up phases (TAV_init.cpp).
    HRESULT InitConfigPhase(const tavSettings& settings);
    HRESULT InitDirectXPhase(const tavSettings& settings);
    void RegisterHotKeys();
    HRESULT InitServicesPhase(const tavSettings& settings);
    void InitConsole(const tavSettings& settings);
    void InitFader(const tavSettings& settings);
    void InitGUI(const tavSettings& settings);
    void InitSound(const tavSettings& settings);
    HRESULT InitGamePhase();
    void LaunchSetupUtility(const char* fallbackName, bool firstText);

    // Device helpers (TAV_device.cpp).
    void ReadDisplaySettings();
    D3DFORMAT FindDepthFormat();
    void LogPresentParams(const D3DPRESENT_PARAMETERS& p);
    HRESULT SetStageColour(DWORD stage, DWORD op, DWORD arg1, DWORD arg2);
    HRESULT SetStageAlpha(DWORD stage, DWORD op, DWORD arg1, DWORD arg2);
    bool ReadFrontBuffer(IDirect3DSurface9* surface);
    bool ReadFrontBufferViaSystem(IDirect3DSurface9* surface);
    bool ReadLastBackBuffer(IDirect3DSurface9* surface);
    bool IsEmptyPicture(IDirect3DSurface9* surface);

    // Scene helpers (TAV_scene.cpp).
    static DWORD WINAPI LoadingThread(void* engine);
    HRESULT RenderScene();
    HRESULT InvalidateObjects();
    HRESULT RestoreObjects();
    void DeleteScenesAtShutdown();
    void FreeScene(tavScene*& s);

    // Loop helpers (TAV_loop.cpp).
    HRESULT FrameWhilePaused(bool& carryOn);
    void PumpMessages();

    // Shutdown helpers (TAV_release.cpp).
    void UnregisterHotKeys();
    void ForgetWindowOwner();

    bool ReportComponentError(const char* prefix, HRESULT code);

    IDirect3D9* direct3d;
    IDirect3DDevice9* device;
    D3DCAPS9 caps;
    tavScene* scene;
    tavScene* nextScene;
    tavFader* fader;
    tavRandom random;
    tavThread loader;
    bool fullScreen;
    bool immediatePresent;
    bool clearTarget;
    bool paused;
    bool showFPS;
    bool quit;
    bool useAA;
    bool is32Bit;
    bool lighting;
    bool switchPending;
    bool dot3;
    bool updateCamera;
    bool sceneReady;
    bool active;
    DWORD quality;
    DWORD samples;
    uint32_t iconResource;
    int resolution;
    float width, height;
    float centreX, centreY;
    float loadingProgress;
    uint8_t runState;
    D3DCOLOR clearColour;
    D3DCOLOR ambient;
    DWORD createFlags;
    HWND window;
    HINSTANCE instance;
    UINT adapter;
    D3DDEVTYPE deviceType;
    D3DFORMAT format;
    D3DFORMAT backBufferFormat;
    DWORD minFilter, magFilter, mipFilter;

    // Not part of the engine's published state: book-keeping of this object.
    std::string logPath;    // copies: the settings' strings need only outlive Initialize
    std::string configPath;
    bool comInitialized;
    bool released;
    bool hotKeysRegistered;
    bool pureDevice;
};

// Allocates a scene of type T on the process heap and constructs it with
// the engine; null when memory ran out. The engine frees it after Destroy.
template <typename T> T* tavNewScene(TAV* engine)
{
    void* memory = TAV::Alloc(sizeof(T));
    return memory ? new (memory) T(engine) : nullptr;
}
