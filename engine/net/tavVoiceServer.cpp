#include "net/tavVoiceServer.h"

#include "net/tavDPText.h"

void tavVoiceServer::Create(IDirectPlay8Server* session, PDVMESSAGEHANDLER handler,
                            void* userContext)
{
    Release();
    tavDP::Check(CoCreateInstance(CLSID_DirectPlayVoiceServer, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlayVoiceServer, reinterpret_cast<void**>(&voice)),
                 "Failed to create COM instance of IDirectPlayVoiceServer.\n");
    tavDP::Check(voice->Initialize(session, handler, userContext, nullptr, 0),
                 "Failed to initialize DirectPlay Voice Server.\n");
}

void tavVoiceServer::Release()
{
    if (voice) voice->StopSession(0);
    tavDP::ReleaseInterface(voice);
}
