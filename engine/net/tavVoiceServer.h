#pragma once
// The DirectPlay Voice server, on the host of a DirectPlay session.
// Creation failures throw std::runtime_error with the text of the step
// that failed; the other calls return DirectPlay Voice's result unchanged,
// or E_FAIL before Create. DirectPlay Voice calls the message handler on
// its own worker threads.

#include "net/tavDVoice.h"

#include <dplay8.h>

class tavVoiceServer
{
public:
    tavVoiceServer() : voice(nullptr) {}
    ~tavVoiceServer() { Release(); }
    tavVoiceServer(const tavVoiceServer&) = delete;
    tavVoiceServer& operator=(const tavVoiceServer&) = delete;

    // Stops and releases an earlier one, then creates the voice server and
    // initialises it on `session` with `handler`.
    void Create(IDirectPlay8Server* session, PDVMESSAGEHANDLER handler,
                void* userContext = nullptr);
    // Stops the voice session, then releases; safe to call twice.
    void Release();

    IDirectPlayVoiceServer* voice;
};
