// tavNet over loopback, next to plain Winsock doing the same in the same run.
// Prints:
//   BENCH tcp-packets-per-s <ours> packets/s ratio=<ours/raw> vs a plain Winsock loop
//   BENCH tcp-roundtrip-us <ours> us ratio=<ours/raw> vs a plain Winsock ping-pong
// Packets of 100 payload bytes, one way, through tavTCPConnecter into
// tavTCPListener; the plain loop sends the same 102 bytes per send call and
// reads them in large pieces. Each figure is the median of five rounds,
// ours and plain alternating. Needs the local host on 127.0.0.1 (run it
// under scripts/netns-run.sh).
#include "NetPeers.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace
{
const uint32_t Payload = 100, Packets = 100000, RoundTrips = 2000, Rounds = 5;

double Now()
{
    static LARGE_INTEGER frequency = []
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Counts packets, or echoes them.
class BenchListener : public tavNet::tavTCPListener
{
public:
    ~BenchListener() override { Shutdown(); }
    void OnReceive(tavNet::ClientSlot* client, tavNet::Packet* packet) override
    {
        if (echo) SendTo(uint32_t(client->slot), packet->data, packet->size);
        ++received;
    }
    bool echo = false;
    std::atomic<uint32_t> received{0};
};

class BenchConnecter : public tavNet::tavTCPConnecter
{
public:
    BenchConnecter() : back(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~BenchConnecter() override
    {
        Disconnect();
        CloseHandle(back);
    }
    void OnPacket(tavNet::Packet*) override { SetEvent(back); }
    HANDLE back;
};

// A plain connected pair on loopback: `a` connects, `b` is accepted.
struct RawPair
{
    SOCKET a, b;
    RawPair()
    {
        uint16_t port = 0;
        const SOCKET server = nettest::RawListen(port);
        a = nettest::RawConnect(port);
        b = accept(server, nullptr, nullptr);
        closesocket(server);
    }
    ~RawPair()
    {
        closesocket(a);
        closesocket(b);
    }
};

bool SendAll(SOCKET s, const char* data, int size)
{
    while (size > 0)
    {
        const int n = send(s, data, size, 0);
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

bool ReceiveAll(SOCKET s, char* data, int size)
{
    while (size > 0)
    {
        const int n = recv(s, data, size, 0);
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

double OursPacketsPerSecond()
{
    BenchListener listener;
    const uint16_t port = nettest::FreePort();
    listener.JoinMessages(true);
    if (!listener.Start(port, 1)) return 0;
    BenchConnecter connecter;
    connecter.Connect("127.0.0.1", port);
    std::vector<uint8_t> payload(Payload, 'x');
    const double start = Now();
    for (uint32_t i = 0; i < Packets; ++i)
        connecter.Send(payload.data(), Payload);
    while (listener.received < Packets && Now() - start < 60)
        Sleep(0);
    return listener.received / (Now() - start);
}

double RawPacketsPerSecond()
{
    RawPair pair;
    const size_t total = size_t(Packets) * (Payload + 2);
    std::thread reader(
        [&]
        {
            std::vector<char> buffer(65536);
            size_t got = 0;
            while (got < total)
            {
                const int n = recv(pair.b, buffer.data(), int(buffer.size()), 0);
                if (n <= 0) break;
                got += size_t(n);
            }
        });
    std::vector<char> message(Payload + 2, 'x');
    message[0] = char(Payload + 2);
    message[1] = 0;
    const double start = Now();
    for (uint32_t i = 0; i < Packets; ++i)
        SendAll(pair.a, message.data(), int(message.size()));
    reader.join();
    return Packets / (Now() - start);
}

double OursRoundTripMicroseconds()
{
    BenchListener listener;
    listener.echo = true;
    const uint16_t port = nettest::FreePort();
    listener.JoinMessages(true);
    if (!listener.Start(port, 1)) return 0;
    BenchConnecter connecter;
    connecter.Connect("127.0.0.1", port);
    std::vector<uint8_t> payload(Payload, 'p');
    const double start = Now();
    for (uint32_t i = 0; i < RoundTrips; ++i)
    {
        connecter.Send(payload.data(), Payload);
        if (WaitForSingleObject(connecter.back, 5000) != WAIT_OBJECT_0) return 0;
    }
    return (Now() - start) * 1e6 / RoundTrips;
}

double RawRoundTripMicroseconds()
{
    RawPair pair;
    std::thread echo(
        [&]
        {
            std::vector<char> message(Payload + 2);
            for (uint32_t i = 0; i < RoundTrips; ++i)
                if (!ReceiveAll(pair.b, message.data(), int(message.size())) ||
                    !SendAll(pair.b, message.data(), int(message.size())))
                    break;
        });
    std::vector<char> message(Payload + 2, 'p');
    const double start = Now();
    for (uint32_t i = 0; i < RoundTrips; ++i)
    {
        SendAll(pair.a, message.data(), int(message.size()));
        ReceiveAll(pair.a, message.data(), int(message.size()));
    }
    const double elapsed = Now() - start;
    echo.join();
    return elapsed * 1e6 / RoundTrips;
}
} // namespace

int main()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    if (tavNet::tavSocket::HostAddress("") != htonl(INADDR_LOOPBACK))
    {
        std::fprintf(stderr, "the local host is not 127.0.0.1: run under scripts/netns-run.sh\n");
        return 1;
    }
    std::vector<double> ours, raw, oursTrip, rawTrip;
    for (uint32_t round = 0; round < Rounds; ++round)
    {
        raw.push_back(RawPacketsPerSecond());
        ours.push_back(OursPacketsPerSecond());
        rawTrip.push_back(RawRoundTripMicroseconds());
        oursTrip.push_back(OursRoundTripMicroseconds());
        std::printf("round %u: %.0f / %.0f packets/s, %.1f / %.1f us (ours / plain)\n", round + 1,
                    ours.back(), raw.back(), oursTrip.back(), rawTrip.back());
    }
    const double packets = Median(ours), trip = Median(oursTrip);
    std::printf("BENCH tcp-packets-per-s %.0f packets/s ratio=%.2f vs a plain Winsock loop\n",
                packets, packets / Median(raw));
    std::printf("BENCH tcp-roundtrip-us %.1f us ratio=%.2f vs a plain Winsock ping-pong\n", trip,
                trip / Median(rawTrip));
    WSACleanup();
    return 0;
}
