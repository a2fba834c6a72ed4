#include "audio/tavMP3Player.h"

// dshow.h pulls in strsafe.h, which would otherwise poison the C string
// functions for the rest of this file.
#define STRSAFE_NO_DEPRECATE
#include <dshow.h>

#include <string>

const char* const tavMP3Player::LogPath = ".\\base\\log\\graph.log";

namespace
{
template <typename T> void ReleaseInterface(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}
} // namespace

tavMP3Player::tavMP3Player()
    : graph(nullptr), control(nullptr), events(nullptr), position(nullptr), video(nullptr),
      logFile(INVALID_HANDLE_VALUE), opened(false)
{
}

tavMP3Player::~tavMP3Player()
{
    Release();
}

HRESULT tavMP3Player::Create()
{
    Release();
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, reinterpret_cast<void**>(&graph));
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position));
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video));
    if (FAILED(hr))
    {
        Release();
        return hr;
    }
    OpenGraphLog();
    return S_OK;
}

void tavMP3Player::OpenGraphLog()
{
    logFile = CreateFileA(LogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile != INVALID_HANDLE_VALUE)
        graph->SetLogFile(reinterpret_cast<DWORD_PTR>(logFile));
}

HRESULT tavMP3Player::Open(const char* path)
{
    if (!graph || !path)
        return E_POINTER;
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0)
        return E_INVALIDARG;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length);
    const HRESULT hr = graph->RenderFile(wide.c_str(), nullptr);
    opened = SUCCEEDED(hr);
    return hr;
}

HRESULT tavMP3Player::Play()
{
    if (!opened)
        return E_POINTER;
    position->put_CurrentPosition(0);
    return control->Run();
}

HRESULT tavMP3Player::Stop()
{
    if (!control)
        return S_FALSE;
    const HRESULT hr = control->Stop();
    // Playing means "not at the end yet", so a stopped piece is moved to
    // its end: it then reads as finished, and Play starts it afresh.
    REFTIME length = 0;
    if (position && SUCCEEDED(position->get_Duration(&length)))
        position->put_CurrentPosition(length);
    return hr;
}

bool tavMP3Player::IsPlaying() const
{
    if (!position)
        return false;
    REFTIME now = 0, length = 0;
    if (FAILED(position->get_CurrentPosition(&now)) || FAILED(position->get_Duration(&length)))
        return false;
    return now < length;
}

void tavMP3Player::Release()
{
    if (control)
        control->Stop();
    if (graph && logFile != INVALID_HANDLE_VALUE)
        graph->SetLogFile(0);
    ReleaseInterface(video);
    ReleaseInterface(position);
    ReleaseInterface(events);
    ReleaseInterface(control);
    ReleaseInterface(graph);
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
    opened = false;
}
