#pragma once
// The server side of a DirectPlay 8 client/server session over TCP/IP.
// DirectPlay calls the message handler on its own worker threads; this
// wrapper adds no locking. Creation failures throw std::runtime_error with
// the text of the step that failed; every other call returns DirectPlay's
// result unchanged, or E_FAIL before Create.

#include <windows.h>
#include <dplay8.h>

class tavDPServer
{
public:
    tavDPServer() : server(nullptr), deviceAddress(nullptr) {}
    ~tavDPServer() { Release(); }
    tavDPServer(const tavDPServer&) = delete;
    tavDPServer& operator=(const tavDPServer&) = delete;

    // Releases what an earlier Create made, then creates and initialises the
    // server with `handler` and a TCP/IP device address. COM must be
    // initialised on the calling thread.
    void Create(PFNDPNMESSAGEHANDLER handler, void* userContext);
    // Hosts a client/server session on `port` (texts in the ANSI code page,
    // at most 510 characters kept); a password, when given, is required of
    // every client.
    HRESULT Host(const GUID& application, const char* sessionName, DWORD port, DWORD maxPlayers,
                 const char* password);
    HRESULT SendTo(DPNID player, const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeoutMs,
                   void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags);
    HRESULT Close();
    HRESULT DestroyClient(DPNID player);
    HRESULT ReturnBuffer(DPNHANDLE buffer);
    // Fills in `info` (its size is set here).
    HRESULT GetConnectionInfo(DPNID player, DPN_CONNECTION_INFO* info);
    // Closes and releases the interfaces; safe to call twice.
    void Release();

    IDirectPlay8Server* server;
    IDirectPlay8Address* deviceAddress;
};
