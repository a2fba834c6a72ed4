#include "net/tavDPServer.h"

#include "net/tavDPText.h"

void tavDPServer::Create(PFNDPNMESSAGEHANDLER handler, void* userContext)
{
    Release();
    tavDP::Check(CoCreateInstance(CLSID_DirectPlay8Server, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlay8Server, reinterpret_cast<void**>(&server)),
                 "Failed to create COM instance of IDirectPlay8Server.");
    tavDP::Check(server->Initialize(userContext, handler, 0),
                 "Failed to initialize IDirectPlay8Server.");
    tavDP::Check(CoCreateInstance(CLSID_DirectPlay8Address, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlay8Address,
                                  reinterpret_cast<void**>(&deviceAddress)),
                 "Failed to create COM instance of device address.");
    tavDP::Check(deviceAddress->SetSP(&CLSID_DP8SP_TCPIP), "Failed to set service provider.");
}

HRESULT tavDPServer::Host(const GUID& application, const char* sessionName, DWORD port,
                          DWORD maxPlayers, const char* password)
{
    if (!server || !deviceAddress) return E_FAIL;
    wchar_t name[tavDP::TextLength], secret[tavDP::TextLength];
    tavDP::Widen(sessionName, name);
    tavDP::Widen(password, secret);

    DPN_APPLICATION_DESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DPNSESSION_CLIENT_SERVER;
    desc.guidApplication = application;
    desc.dwMaxPlayers = maxPlayers;
    desc.pwszSessionName = name;
    if (password)
    {
        desc.dwFlags |= DPNSESSION_REQUIREPASSWORD;
        desc.pwszPassword = secret;
    }
    deviceAddress->AddComponent(DPNA_KEY_PORT, &port, sizeof port, DPNA_DATATYPE_DWORD);
    return server->Host(&desc, &deviceAddress, 1, nullptr, nullptr, nullptr, 0);
}

HRESULT tavDPServer::SendTo(DPNID player, const DPN_BUFFER_DESC* buffers, DWORD bufferCount,
                            DWORD timeoutMs, void* asyncContext, DPNHANDLE* asyncHandle,
                            DWORD flags)
{
    if (!server) return E_FAIL;
    return server->SendTo(player, buffers, bufferCount, timeoutMs, asyncContext, asyncHandle,
                          flags);
}

HRESULT tavDPServer::Close()
{
    return server ? server->Close(0) : E_FAIL;
}

HRESULT tavDPServer::DestroyClient(DPNID player)
{
    return server ? server->DestroyClient(player, nullptr, 0, 0) : E_FAIL;
}

HRESULT tavDPServer::ReturnBuffer(DPNHANDLE buffer)
{
    return server ? server->ReturnBuffer(buffer, 0) : E_FAIL;
}

HRESULT tavDPServer::GetConnectionInfo(DPNID player, DPN_CONNECTION_INFO* info)
{
    if (!server || !info) return E_FAIL;
    info->dwSize = sizeof *info;
    return server->GetConnectionInfo(player, info, 0);
}

void tavDPServer::Release()
{
    if (server) server->Close(0);
    tavDP::ReleaseInterface(deviceAddress);
    tavDP::ReleaseInterface(server);
}
