#pragma once
// Test peers for tavNet: a listener and a connecter that record what their
// callbacks saw, plain sockets on 127.0.0.1 for the other end, and the
// process's handle and thread counts for leak checks.

#include "net/tavTCPConnecter.h"
#include "net/tavTCPListener.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nettest
{
typedef std::vector<uint8_t> Bytes;

// What callbacks on other threads saw, kept under a lock, and waits for it.
struct Record
{
    bool Wait(const std::function<bool()>& done, int ms = 5000)
    {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::milliseconds(ms), done);
    }
    template <typename V> bool WaitSize(const V& v, size_t n)
    {
        return Wait([&] { return v.size() >= n; });
    }
    template <typename V, typename X> void Add(V& v, X&& x)
    {
        std::lock_guard<std::mutex> hold(lock);
        v.push_back(std::forward<X>(x));
        changed.notify_all();
    }
    std::mutex lock;
    std::condition_variable changed;
};

class RecordingListener : public tavNet::tavTCPListener, public Record
{
public:
    ~RecordingListener() override { Shutdown(); }
    void OnAccept(tavNet::ClientSlot* c) override { Add(accepted, c->slot); }
    void OnDisconnect(tavNet::ClientSlot* c) override { Add(disconnected, c->slot); }
    void OnReceive(tavNet::ClientSlot* c, tavNet::Packet* p) override
    {
        onReceive ? onReceive(c, p)
                  : Add(packets, std::make_pair(c->slot, Bytes(p->data, p->data + p->size)));
    }
    void OnError(int code) override { Add(errors, code); }
    bool WaitAccepts(size_t n) { return WaitSize(accepted, n); }
    bool WaitDisconnects(size_t n) { return WaitSize(disconnected, n); }
    bool WaitPackets(size_t n) { return WaitSize(packets, n); }
    // The client count drops just after OnDisconnect returns.
    bool WaitClientCount(uint32_t n)
    {
        for (int waited = 0; GetClientCount() != n && waited < 2000; waited += 5)
            Sleep(5);
        return GetClientCount() == n;
    }
    std::vector<int32_t> accepted, disconnected; // slots, in order
    std::vector<int> errors;
    std::vector<std::pair<int32_t, Bytes>> packets; // slot and payload
    // Called on the server thread for each packet, instead of recording it.
    std::function<void(tavNet::ClientSlot*, const tavNet::Packet*)> onReceive;
};

class RecordingConnecter : public tavNet::tavTCPConnecter, public Record
{
public:
    ~RecordingConnecter() override { Disconnect(); }
    void OnConnect() override { Add(events, 'c'); }
    void OnDisconnect() override { Add(events, 'd'); }
    void OnPacket(tavNet::Packet* p) override
    {
        onPacket ? onPacket(p) : Add(packets, Bytes(p->data, p->data + p->size));
    }
    void OnError(int code) override { Add(errors, code); }
    bool WaitPackets(size_t n) { return WaitSize(packets, n); }
    bool WaitDisconnect()
    {
        return Wait([&] { return !events.empty() && events.back() == 'd'; });
    }
    std::string events; // 'c' for each OnConnect, 'd' for each OnDisconnect
    std::vector<int> errors;
    std::vector<Bytes> packets;
    std::function<void(const tavNet::Packet*)> onPacket;
};

// The statistics of a listener or connecter: sent, calls, extra calls, received, packets.
template <typename Side> std::vector<uint32_t> StatsOf(const Side& side)
{
    std::vector<uint32_t> s(5);
    side.GetStats(s[0], s[1], s[2], s[3], s[4]);
    return s;
}
// True when the local host, where the listener binds, is 127.0.0.1 (as in the
// namespace of scripts/netns-run.sh); elsewhere tests that listen skip.
bool LocalHostIsLoopback();
extern const char* const NoLoopbackHost;
// Blocking sockets on 127.0.0.1: a port nothing listens on, connected
// (INVALID_SOCKET on failure), listening (its port in `port`), sending all (false
// on a failure), and reading `n` bytes within `ms` (fewer when the peer closes).
uint16_t FreePort();
SOCKET RawConnect(uint16_t port);
SOCKET RawListen(uint16_t& port);
bool RawSend(SOCKET s, const Bytes& bytes);
Bytes RawReceive(SOCKET s, size_t n, int ms = 5000);
// Kernel handles and threads of this process.
uint32_t HandleCount();
uint32_t ThreadCount();
// Winsock started for the raw sockets of one test.
struct WinsockScope
{
    WinsockScope()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 0), &data);
    }
    ~WinsockScope() { WSACleanup(); }
};
} // namespace nettest
