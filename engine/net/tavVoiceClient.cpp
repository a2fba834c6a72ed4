#include "net/tavVoiceClient.h"

#include "net/tavDPText.h"

void tavVoiceClient::Create(IDirectPlay8Client* session, PDVMESSAGEHANDLER handler,
                            void* userContext)
{
    Create(static_cast<IUnknown*>(session), handler, userContext);
}

void tavVoiceClient::Create(IDirectPlay8Peer* session, PDVMESSAGEHANDLER handler, void* userContext)
{
    Create(static_cast<IUnknown*>(session), handler, userContext);
}

void tavVoiceClient::Create(IUnknown* session, PDVMESSAGEHANDLER handler, void* userContext)
{
    Release();
    tavDP::Check(CoCreateInstance(CLSID_DirectPlayVoiceClient, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlayVoiceClient, reinterpret_cast<void**>(&voice)),
                 "Failed to create COM instance of IDirectPlayVoiceClient.\n");
    tavDP::Check(voice->Initialize(session, handler, userContext, nullptr, 0),
                 "Failed to initialize DirectPlayVoiceClient.\n");
}

HRESULT tavVoiceClient::Connect(DVSOUNDDEVICECONFIG* soundConfig, DVCLIENTCONFIG* clientConfig,
                                DWORD flags)
{
    return voice ? voice->Connect(soundConfig, clientConfig, flags) : E_FAIL;
}

HRESULT tavVoiceClient::Disconnect(DWORD flags)
{
    return voice ? voice->Disconnect(flags) : E_FAIL;
}

void tavVoiceClient::Release()
{
    if (voice) voice->Disconnect(DVFLAGS_SYNC);
    tavDP::ReleaseInterface(voice);
}
