#pragma once
// The server side of tavNet: accepts up to a fixed number of clients on one
// port and serves them all from one thread with select.
//
// What OnReceive gets: by default each recv of up to 56 bytes from a client
// is one packet, the bytes after its first two (the length prefix), so a
// message longer than 54 payload bytes, or two that TCP delivered together,
// arrive in pieces. JoinMessages(true) makes the listener read the wire
// format instead: each message then arrives whole, once and in order per
// client, however TCP cut it up, and a client whose length prefix is below
// 2 is dropped.
//
// The callbacks run on the server thread (OnAccept, OnDisconnect,
// OnReceive, OnError); lock what they share with other threads (the
// listener is a tavLockedData for that). A class that overrides them and
// keeps state of its own calls Shutdown from its destructor, so that no
// callback runs on a half-destroyed object.

#include "diag/tavLockedData.h"
#include "diag/tavThread.h"
#include "net/tavPacketAssembler.h"
#include "net/tavSocket.h"

#include <atomic>
#include <cstdint>

namespace tavNet
{

class tavTCPListener : public tavSocket, public tavLockedData
{
public:
    // Starts Winsock, creates the listening socket (SO_REUSEADDR on); the
    // server thread is not started yet.
    tavTCPListener();
    // Shutdown, then closes the listening socket and cleans up Winsock.
    virtual ~tavTCPListener();

    // Binds to `port` on the local host's first address and listens with a
    // backlog of `maxClients`; the client table then has `maxClients`
    // free slots and the server thread runs. False without touching the
    // socket when maxClients is 0. A failing bind (the table is freed) or
    // listen reports OnError with the Winsock code and gives false.
    bool Start(uint16_t port, uint32_t maxClients);
    // Whole messages for OnReceive (see the top of this file); off until
    // called. Set it before Start.
    void JoinMessages(bool join) { joinMessages = join; }
    // Stops the server thread (it notices within one select timeout,
    // 100 ms, plus a callback that is running) and closes every client
    // socket without callbacks. Safe to call twice; not from a callback.
    void Shutdown();

    // One message to the client in `slotIndex`; the bytes that went on the
    // wire (the payload plus 2), 0 when the slot is free or out of range or
    // the payload is larger than tavPacketAssembler::MaxPayload.
    uint32_t SendTo(uint32_t slotIndex, const void* data, uint32_t size);
    // SendTo every slot in use; the sum of the bytes sent.
    uint32_t SendToAll(const void* data, uint32_t size);

    void GetStats(uint32_t& bytesSent, uint32_t& sendCalls, uint32_t& extraSendCalls,
                  uint32_t& bytesReceived, uint32_t& packetsReceived) const
    {
        stats.Get(bytesSent, sendCalls, extraSendCalls, bytesReceived, packetsReceived);
    }
    // One packet of `bytes` payload bytes received.
    void CountReceived(uint32_t bytes) { stats.CountReceived(bytes); }
    bool IsStopping() const { return stop; }
    // The client table (null before Start) and its size. Entries change on
    // the server thread.
    ClientSlot* GetClients(uint32_t& tableSize) const;
    uint32_t GetClientCount() const { return clientCount; }

    virtual void OnAccept(ClientSlot* /*client*/) {}
    // The client's socket is still open during the call.
    virtual void OnDisconnect(ClientSlot* /*client*/) {}
    virtual void OnReceive(ClientSlot* /*client*/, Packet* /*packet*/) {}
    // A Winsock code; ErrorText turns it into words.
    virtual void OnError(int /*code*/) {}
    // Nothing in the engine raises it; free for applications.
    virtual void Notify() {}

private:
    struct SlotState;
    // Bytes of one read when messages are not joined: one packet at most.
    static constexpr int PacketRead = 56;

    static DWORD WINAPI ServerLoop(void* listener);
    void ServePass();
    ClientSlot* Accept();
    void ReceiveFrom(uint32_t index);
    void ReceiveJoined(uint32_t index, const char* bytes, int received);
    void Drop(uint32_t index);
    void CloseClients();
    void FreeTable();

    std::atomic<bool> stop;
    bool joinMessages;
    uint32_t nextSlot;
    uint32_t firstPolled; // where the read set starts when the table exceeds it
    std::atomic<uint32_t> clientCount;
    uint32_t maxClients;
    ClientSlot* clients;
    SlotState* slotStates; // beside each slot: its reassembly and send lock
    tavThread thread;
    TrafficStats stats;
};

} // namespace tavNet
