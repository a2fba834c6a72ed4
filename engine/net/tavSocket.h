#pragma once
// The common base of the tavNet TCP classes: one Winsock socket and the
// types their callbacks receive. Winsock must have been started (the
// listener and the connecter each start and clean it up once).

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavNet
{

// One received message, handed to a receive callback by pointer. `data`
// belongs to the caller and is valid only during the call.
struct Packet
{
    uint32_t referenceCount; // 1 during the call
    uint32_t size;           // payload bytes, never 0
    const uint8_t* data;
};

// One entry of a listener's client table.
struct ClientSlot
{
    std::string address; // the peer as "%d.%d.%d.%d"; empty when free
    uint32_t port;       // the peer's port, host byte order; 0 when free
    SOCKET socket;       // INVALID_SOCKET when free
    int32_t slot;        // -1 when free, else this entry's own index
    uint32_t reserved;   // 0
};

// The send and receive statistics of one side. Sends and receives run on
// different threads, so every counter is atomic.
struct TrafficStats
{
    std::atomic<uint32_t> bytesSent{0}, sendCalls{0}, extraSendCalls{0};
    std::atomic<uint32_t> bytesReceived{0}, packetsReceived{0};

    // One message that took `calls` successful send calls for `bytes`.
    void CountSent(uint32_t bytes, uint32_t calls);
    // One packet of `bytes` payload bytes.
    void CountReceived(uint32_t bytes);
    void Get(uint32_t& sent, uint32_t& calls, uint32_t& extraCalls, uint32_t& received,
             uint32_t& packets) const;
    void Zero();
};

class tavSocket
{
public:
    tavSocket() : handle(INVALID_SOCKET), type(SOCK_STREAM), protocol(IPPROTO_TCP) {}

    // socket(AF_INET, type, protocol); true when a socket came back. An
    // open socket is not closed first.
    bool Create();
    bool IsValid() const { return handle != INVALID_SOCKET; }
    // closesocket; the handle is INVALID_SOCKET afterwards (nothing when it
    // already is).
    void Close();

    // The first IPv4 address gethostbyname gives for `name`, in network
    // byte order; INADDR_NONE when it gives none. "" is the local host.
    static unsigned long HostAddress(const char* name);
    // gethostname: 0 on success, else SOCKET_ERROR.
    static int GetHostName(char* buffer, int length);

    SOCKET handle;
    int type;
    int protocol;

protected:
    // How long a send waits for a peer that stopped reading before it gives
    // the message up.
    static constexpr DWORD SendStallMs = 5000;
    // Bytes taken from the system per recv.
    static constexpr int ReceiveChunk = 8192;

    struct SendResult
    {
        uint32_t bytes; // bytes the system took
        uint32_t calls; // successful send calls
    };
    // Frames one message (length prefix, then the payload) and sends all of
    // it, in as many send calls as the system wants. A socket that cannot
    // take more waits until it can, up to SendStallMs at a time. A message
    // larger than the format allows sends nothing. When a message is left
    // half sent the peer could no longer find where the next one starts,
    // so the connection is shut down.
    static SendResult SendMessageOn(SOCKET socket, const void* data, size_t size);
    // SendMessageOn, counted in `stats`; the bytes sent.
    static uint32_t SendCounted(SOCKET socket, const void* data, size_t size,
                                TrafficStats& stats);
};

} // namespace tavNet
