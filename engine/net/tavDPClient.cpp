#include "net/tavDPClient.h"

#include "net/tavDPText.h"

void tavDPClient::Create(PFNDPNMESSAGEHANDLER handler, void* userContext)
{
    Release();
    tavDP::Check(CoCreateInstance(CLSID_DirectPlay8Client, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlay8Client, reinterpret_cast<void**>(&client)),
                 "Failed to create COM instance of IDirectPlay8Client.\n");
    tavDP::Check(client->Initialize(userContext, handler, 0),
                 "Failed to initialize DirectPlay Client.\n");
    tavDP::Check(CoCreateInstance(CLSID_DirectPlay8Address, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlay8Address,
                                  reinterpret_cast<void**>(&deviceAddress)),
                 "Failed to create DirectPlay Device.\n");
    tavDP::Check(CoCreateInstance(CLSID_DirectPlay8Address, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlay8Address, reinterpret_cast<void**>(&hostAddress)),
                 "Failed to create DirectPlay Host Address.\n");
    tavDP::Check(deviceAddress->SetSP(&CLSID_DP8SP_TCPIP),
                 "Failed to set service provider for device.\n");
    tavDP::Check(hostAddress->SetSP(&CLSID_DP8SP_TCPIP),
                 "Failed to set service provider for host address.\n");
}

HRESULT tavDPClient::Connect(const GUID& application, const char* host, DWORD port,
                             const char* password)
{
    if (!client || !deviceAddress || !hostAddress) return E_FAIL;
    wchar_t hostName[tavDP::TextLength], secret[tavDP::TextLength];
    tavDP::Widen(host, hostName);
    tavDP::Widen(password, secret);

    DPN_APPLICATION_DESC desc = {};
    desc.dwSize = sizeof desc;
    desc.guidApplication = application;
    if (password)
    {
        desc.dwFlags |= DPNSESSION_REQUIREPASSWORD;
        desc.pwszPassword = secret;
    }
    hostAddress->AddComponent(DPNA_KEY_PORT, &port, sizeof port, DPNA_DATATYPE_DWORD);
    hostAddress->AddComponent(DPNA_KEY_HOSTNAME, hostName,
                              DWORD((wcslen(hostName) + 1) * sizeof(wchar_t)),
                              DPNA_DATATYPE_STRING);
    return client->Connect(&desc, hostAddress, deviceAddress, nullptr, nullptr, nullptr, 0, nullptr,
                           &connectHandle, 0);
}

HRESULT tavDPClient::Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeoutMs,
                          void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags)
{
    if (!client) return E_FAIL;
    return client->Send(buffers, bufferCount, timeoutMs, asyncContext, asyncHandle, flags);
}

HRESULT tavDPClient::CancelConnect()
{
    return client ? client->CancelAsyncOperation(connectHandle, 0) : E_FAIL;
}

HRESULT tavDPClient::Close()
{
    return client ? client->Close(0) : E_FAIL;
}

HRESULT tavDPClient::ReturnBuffer(DPNHANDLE buffer)
{
    return client ? client->ReturnBuffer(buffer, 0) : E_FAIL;
}

HRESULT tavDPClient::GetConnectionInfo(DPN_CONNECTION_INFO* info)
{
    if (!client || !info) return E_FAIL;
    info->dwSize = sizeof *info;
    return client->GetConnectionInfo(info, 0);
}

void tavDPClient::Release()
{
    if (client) client->Close(0);
    tavDP::ReleaseInterface(hostAddress);
    tavDP::ReleaseInterface(deviceAddress);
    tavDP::ReleaseInterface(client);
    connectHandle = 0;
}
