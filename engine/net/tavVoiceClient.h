#pragma once
// A DirectPlay Voice client, on a client/server or a peer-to-peer session.
// Creation failures throw std::runtime_error with the text of the step
// that failed; the other calls return DirectPlay Voice's result unchanged,
// or E_FAIL before Create. DirectPlay Voice calls the message handler on
// its own worker threads.

#include "net/tavDVoice.h"

#include <dplay8.h>

class tavVoiceClient
{
public:
    tavVoiceClient() : voice(nullptr) {}
    ~tavVoiceClient() { Release(); }
    tavVoiceClient(const tavVoiceClient&) = delete;
    tavVoiceClient& operator=(const tavVoiceClient&) = delete;

    // Disconnects and releases an earlier one, then creates the voice client
    // and initialises it on a client/server or a peer-to-peer session.
    void Create(IDirectPlay8Client* session, PDVMESSAGEHANDLER handler,
                void* userContext = nullptr);
    void Create(IDirectPlay8Peer* session, PDVMESSAGEHANDLER handler, void* userContext = nullptr);
    HRESULT Connect(DVSOUNDDEVICECONFIG* soundConfig, DVCLIENTCONFIG* clientConfig, DWORD flags);
    HRESULT Disconnect(DWORD flags);
    // Disconnects (waiting for it), then releases; safe to call twice.
    void Release();

    IDirectPlayVoiceClient* voice;

private:
    void Create(IUnknown* session, PDVMESSAGEHANDLER handler, void* userContext);
};
