#pragma once
// The client side of a DirectPlay 8 client/server session over TCP/IP.
// Connect completes asynchronously: DirectPlay reports the result to the
// message handler, on its own worker threads. Creation failures throw
// std::runtime_error with the text of the step that failed; every other
// call returns DirectPlay's result unchanged, or E_FAIL before Create.

#include <windows.h>
#include <dplay8.h>

class tavDPClient
{
public:
    tavDPClient() : client(nullptr), deviceAddress(nullptr), hostAddress(nullptr), connectHandle(0)
    {
    }
    ~tavDPClient() { Release(); }
    tavDPClient(const tavDPClient&) = delete;
    tavDPClient& operator=(const tavDPClient&) = delete;

    // Releases what an earlier Create made, then creates and initialises the
    // client with `handler`, a device address and a host address, both
    // TCP/IP. COM must be initialised on the calling thread.
    void Create(PFNDPNMESSAGEHANDLER handler, void* userContext);
    // Starts connecting to `host` on `port` (texts in the ANSI code page, at
    // most 510 characters kept); the password, when given, is the session's.
    // The operation's handle is kept in connectHandle.
    HRESULT Connect(const GUID& application, const char* host, DWORD port, const char* password);
    HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeoutMs,
                 void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags);
    // Cancels the connection attempt in progress.
    HRESULT CancelConnect();
    HRESULT Close();
    HRESULT ReturnBuffer(DPNHANDLE buffer);
    // Fills in `info` (its size is set here).
    HRESULT GetConnectionInfo(DPN_CONNECTION_INFO* info);
    // Closes and releases the interfaces; safe to call twice.
    void Release();

    IDirectPlay8Client* client;
    IDirectPlay8Address* deviceAddress;
    IDirectPlay8Address* hostAddress;
    DPNHANDLE connectHandle;
};
