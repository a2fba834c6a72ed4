#pragma once
// The client side of tavNet: one connection to a host, read on a thread of
// its own. Messages arrive whole, once and in order through OnPacket,
// however TCP cut them up.
//
// The callbacks run on the receive thread (OnPacket, OnError, and
// OnDisconnect when the peer goes away); OnConnect and OnDisconnect after
// Disconnect run on the caller's thread. A class that overrides them and
// keeps state of its own calls Disconnect from its destructor, so that no
// callback runs on a half-destroyed object.

#include "diag/tavLockedData.h"
#include "diag/tavThread.h"
#include "net/tavPacketAssembler.h"
#include "net/tavSocket.h"

#include <atomic>
#include <cstdint>

namespace tavNet
{

class tavTCPConnecter : public tavSocket
{
public:
    // Starts Winsock and creates the socket; not connected.
    tavTCPConnecter();
    // Disconnect, then cleans up Winsock.
    virtual ~tavTCPConnecter();

    // Connects to the first address of `host` (a name or a dotted address)
    // on `port`; nothing when host is null. Zeroes the statistics first. On
    // success OnConnect runs and the receive thread starts; a failed connect
    // reports nothing (IsConnected stays false). An open connection is
    // disconnected first.
    void Connect(const char* host, uint16_t port);
    // One message; the bytes that went on the wire (the payload plus 2), 0
    // with no socket or a payload larger than tavPacketAssembler::MaxPayload.
    uint32_t Send(const void* data, uint32_t size);
    // Ends the connection: the receive thread is joined (it notices within
    // 100 ms), a partial message is dropped, the socket closed, and
    // OnDisconnect runs when a connection was open. Safe to call twice and
    // from the connecter's own callbacks.
    void Disconnect();
    bool IsConnected() const { return !stopped; }

    void GetStats(uint32_t& bytesSent, uint32_t& sendCalls, uint32_t& extraSendCalls,
                  uint32_t& bytesReceived, uint32_t& packetsReceived) const
    {
        stats.Get(bytesSent, sendCalls, extraSendCalls, bytesReceived, packetsReceived);
    }
    // One packet of `bytes` payload bytes received.
    void CountReceived(uint32_t bytes) { stats.CountReceived(bytes); }

    virtual void OnConnect() {}
    virtual void OnDisconnect() {}
    virtual void OnPacket(Packet* /*packet*/) {}
    // A Winsock code; ErrorText turns it into words.
    virtual void OnError(int /*code*/) {}

private:
    class Deliver;

    static DWORD WINAPI ReceiveLoop(void* connecter);
    bool ReceiveOnce();
    void EndFromPeer();
    void CloseSocket();
    bool OnReceiveThread() const;

    tavThread thread;
    std::atomic<bool> stopped;
    TrafficStats stats; // zeroed by each Connect
    // The reassembly: expectedSize and the receive buffer of a message that
    // spans several reads.
    tavPacketAssembler assembler;
    // Held by a send and by the close of the socket.
    tavLockedData sendLock;
};

} // namespace tavNet
