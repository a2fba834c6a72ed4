#pragma once
// Test peers for the tavNet classes: a listener and a connecter that record
// what their callbacks saw, plain Winsock sockets for the other end, and
// the process's handle and thread counts for leak checks. Every address is
// 127.0.0.1.

#include "net/tavTCPConnecter.h"
#include "net/tavTCPListener.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nettest
{
typedef std::vector<uint8_t> Bytes;

// Waits up to `ms` for `done`, checking it under `lock` whenever `changed`
// is signalled.
bool WaitUntil(std::mutex& lock, std::condition_variable& changed, int ms,
               const std::function<bool()>& done);

class RecordingListener : public tavNet::tavTCPListener
{
public:
    ~RecordingListener() override { Shutdown(); }

    void OnAccept(tavNet::ClientSlot* client) override;
    void OnDisconnect(tavNet::ClientSlot* client) override;
    void OnReceive(tavNet::ClientSlot* client, tavNet::Packet* packet) override;
    void OnError(int code) override;

    // Waits for the counts to reach at least the given values.
    bool WaitAccepts(size_t n, int ms = 5000);
    bool WaitDisconnects(size_t n, int ms = 5000);
    bool WaitPackets(size_t n, int ms = 5000);
    // Waits for the client count to come down to `n` (it drops just after
    // OnDisconnect returns).
    bool WaitClientCount(uint32_t n, int ms = 2000);

    std::mutex lock;
    std::condition_variable changed;
    std::vector<int32_t> accepted;     // slot of each accept, in order
    std::vector<int32_t> disconnected; // slot of each disconnect
    std::vector<int> errors;
    std::vector<std::pair<int32_t, Bytes>> packets; // slot and payload
    // Called on the server thread for each packet, instead of recording it.
    std::function<void(tavNet::ClientSlot*, const tavNet::Packet*)> onReceive;
};

class RecordingConnecter : public tavNet::tavTCPConnecter
{
public:
    ~RecordingConnecter() override { Disconnect(); }

    void OnConnect() override;
    void OnDisconnect() override;
    void OnPacket(tavNet::Packet* packet) override;
    void OnError(int code) override;

    bool WaitPackets(size_t n, int ms = 5000);
    bool WaitDisconnects(size_t n, int ms = 5000);

    std::mutex lock;
    std::condition_variable changed;
    int connects = 0;
    int disconnects = 0;
    std::vector<int> errors;
    std::vector<Bytes> packets;
    std::function<void(const tavNet::Packet*)> onPacket;
};

// The statistics of a listener or connecter, in one value.
struct Stats
{
    uint32_t sent = 0, calls = 0, extra = 0, received = 0, packets = 0;
};
template <typename Side> Stats StatsOf(const Side& side)
{
    Stats s;
    side.GetStats(s.sent, s.calls, s.extra, s.received, s.packets);
    return s;
}

// True when the local host (where the listener binds) is 127.0.0.1, as in
// the namespace of scripts/netns-run.sh. Elsewhere it is this machine's
// interface address, which no test may use: tests that listen skip then.
bool LocalHostIsLoopback();
extern const char* const NoLoopbackHost;

// A port on 127.0.0.1 that nothing listens on right now.
uint16_t FreePort();
// A plain blocking socket connected to 127.0.0.1:port (INVALID_SOCKET on failure).
SOCKET RawConnect(uint16_t port);
// A plain socket listening on 127.0.0.1; its port in `port`.
SOCKET RawListen(uint16_t& port);
// Sends all of `bytes`; false on a failure.
bool RawSend(SOCKET s, const Bytes& bytes);
// Reads exactly `n` bytes (blocking, up to `ms`); fewer when the peer closes.
Bytes RawReceive(SOCKET s, size_t n, int ms = 5000);

// Kernel handles and threads of this process, for leak checks.
uint32_t HandleCount();
uint32_t ThreadCount();

// Winsock started for the raw sockets of one test.
class WinsockScope
{
public:
    WinsockScope();
    ~WinsockScope();
};
} // namespace nettest
