// The listener under load and abuse: many connecters at once, peers that
// send garbage or vanish mid-message, a full table, a thousand connections
// in a row, and a shutdown in the middle of traffic. Runs inside the
// network namespace of scripts/netns-run.sh (the local host is 127.0.0.1).
#include "NetPeers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

using namespace nettest;
using tavNet::ClientSlot;
using tavNet::Packet;
using tavNet::tavPacketAssembler;

namespace
{
class TCPTraffic : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!LocalHostIsLoopback()) GTEST_SKIP() << NoLoopbackHost;
    }
    WinsockScope winsock;
};

// The process's threads come back to `threads` and its handles to within
// two of `handles` (the system keeps a few of its own; a leak per
// connection would show as hundreds). Threads that were joined are gone at
// once; give the system a moment for its own.
::testing::AssertionResult Settles(uint32_t handles, uint32_t threads)
{
    for (int waited = 0; waited < 2000; waited += 20)
    {
        if (HandleCount() <= handles + 2 && ThreadCount() <= threads)
            return ::testing::AssertionSuccess();
        Sleep(20);
    }
    return ::testing::AssertionFailure() << "handles " << handles << " -> " << HandleCount()
                                         << ", threads " << threads << " -> " << ThreadCount();
}

// Packet `seq` of stream `stream`: its size and bytes follow from the two,
// so the receiver can check each one without a copy of what was sent.
uint32_t SizeOf(uint32_t stream, uint32_t seq)
{
    if (seq == 0) return 1;
    if (seq == 1) return uint32_t(tavPacketAssembler::MaxPayload);
    std::mt19937 rng(stream * 7919u + seq);
    switch (rng() % 4)
    {
    case 0:
        return 1 + rng() % 16;
    case 1:
    case 2:
        return 17 + rng() % 4080;
    default:
        return 4097 + rng() % uint32_t(tavPacketAssembler::MaxPayload - 4096);
    }
}

void Fill(Bytes& out, uint32_t stream, uint32_t seq)
{
    out.resize(SizeOf(stream, seq));
    uint32_t x = stream * 2654435761u ^ seq * 40503u;
    for (uint8_t& b : out)
    {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
}

// Checks the packets of one stream as they come: next in order, exact bytes.
struct StreamCheck
{
    uint32_t stream = 0;
    uint32_t next = 0;
    uint32_t bad = 0;
    uint64_t bytes = 0;
    Bytes expected;
    void Take(const Packet* p)
    {
        Fill(expected, stream, next++);
        bytes += p->size;
        if (p->size != expected.size() || memcmp(p->data, expected.data(), p->size) != 0) ++bad;
    }
};
} // namespace

// 64 connecters and the listener send 10,000 packets each way, of every
// size the format allows, both ways at once.
TEST_F(TCPTraffic, SixtyFourConnectersExchangePacketsWholeOnceAndInOrder)
{
    const uint32_t peers = 64, perPeer = 10000 / peers + 1; // 10,048 each way
    RecordingListener listener;
    listener.JoinMessages(true);
    const uint16_t port = FreePort();
    ASSERT_TRUE(listener.Start(port, peers));

    std::vector<StreamCheck> atListener(peers); // indexed by slot
    std::vector<int32_t> peerOfSlot(peers, -1);
    std::atomic<uint32_t> listenerGot(0);
    listener.onReceive = [&](ClientSlot* client, const Packet* p)
    {
        atListener[uint32_t(client->slot)].Take(p);
        ++listenerGot;
    };
    std::vector<std::unique_ptr<RecordingConnecter>> connecters;
    std::vector<StreamCheck> atPeer(peers);
    std::atomic<uint32_t> peersGot(0);
    for (uint32_t i = 0; i < peers; ++i)
    {
        connecters.emplace_back(new RecordingConnecter);
        atPeer[i].stream = 1000 + i;
        StreamCheck* check = &atPeer[i];
        connecters[i]->onPacket = [check, &peersGot](const Packet* p)
        {
            check->Take(p);
            ++peersGot;
        };
        connecters[i]->Connect("127.0.0.1", port);
        ASSERT_TRUE(connecters[i]->IsConnected());
        ASSERT_TRUE(listener.WaitAccepts(i + 1));
        const int32_t slot = listener.accepted[i];
        peerOfSlot[uint32_t(slot)] = int32_t(i);
        atListener[uint32_t(slot)].stream = i;
    }

    // Both directions at once: the listener's sends on a thread of their own.
    uint64_t sentToPeers = 0, sentToListener = 0;
    std::thread down(
        [&]
        {
            Bytes b;
            for (uint32_t seq = 0; seq < perPeer; ++seq)
                for (uint32_t slot = 0; slot < peers; ++slot)
                {
                    Fill(b, 1000 + uint32_t(peerOfSlot[slot]), seq);
                    sentToPeers += listener.SendTo(slot, b.data(), uint32_t(b.size()));
                }
        });
    Bytes b;
    for (uint32_t seq = 0; seq < perPeer; ++seq)
        for (uint32_t i = 0; i < peers; ++i)
        {
            Fill(b, i, seq);
            sentToListener += connecters[i]->Send(b.data(), uint32_t(b.size()));
        }
    down.join();

    const uint32_t total = peers * perPeer;
    for (int waited = 0; (listenerGot < total || peersGot < total) && waited < 60000; waited += 10)
        Sleep(10);
    ASSERT_EQ(listenerGot.load(), total);
    ASSERT_EQ(peersGot.load(), total);

    uint64_t payloadAtListener = 0, payloadAtPeers = 0;
    for (uint32_t i = 0; i < peers; ++i)
    {
        EXPECT_EQ(atListener[i].bad, 0u) << "slot " << i;
        EXPECT_EQ(atListener[i].next, perPeer) << "slot " << i;
        EXPECT_EQ(atPeer[i].bad, 0u) << "connecter " << i;
        EXPECT_EQ(atPeer[i].next, perPeer) << "connecter " << i;
        payloadAtListener += atListener[i].bytes;
        payloadAtPeers += atPeer[i].bytes;
    }
    EXPECT_TRUE(listener.errors.empty());

    // The statistics add up on both sides (u32 counters: compared modulo 2^32).
    const Stats l = StatsOf(listener);
    EXPECT_EQ(l.sent, uint32_t(sentToPeers));
    EXPECT_EQ(l.calls - l.extra, total) << "one first call per message";
    EXPECT_EQ(l.received, uint32_t(payloadAtListener));
    EXPECT_EQ(l.packets, total);
    EXPECT_EQ(uint64_t(sentToPeers), payloadAtPeers + 2ull * total);
    EXPECT_EQ(uint64_t(sentToListener), payloadAtListener + 2ull * total);
    uint64_t peerSent = 0, peerReceived = 0, peerPackets = 0;
    for (auto& c : connecters)
    {
        const Stats s = StatsOf(*c);
        peerSent += s.sent;
        peerReceived += s.received;
        peerPackets += s.packets;
        EXPECT_EQ(s.calls - s.extra, perPeer);
    }
    EXPECT_EQ(peerSent, sentToListener);
    EXPECT_EQ(peerReceived, payloadAtPeers);
    EXPECT_EQ(peerPackets, total);
}

TEST_F(TCPTraffic, MisbehavingPeersLoseOnlyTheirOwnConnectionAndAFullTableKeepsTheNextWaiting)
{
    {
        // Peers that misbehave each lose their own connection and nothing else: a
        // well-behaved connecter is served between every one of them, no OnError
        // is reported for a peer that merely closes, and every slot comes back.
        RecordingListener listener;
        listener.JoinMessages(true);
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 8));
        listener.onReceive = [&](ClientSlot* client, const Packet* p)
        {
            {
                std::lock_guard<std::mutex> hold(listener.lock);
                listener.packets.emplace_back(client->slot, Bytes(p->data, p->data + p->size));
                listener.changed.notify_all();
            }
            if (p->size == 5 && memcmp(p->data, "echo!", 5) == 0)
                listener.SendTo(uint32_t(client->slot), p->data, p->size);
        };
        RecordingConnecter witness;
        witness.Connect("127.0.0.1", port);
        ASSERT_TRUE(listener.WaitAccepts(1));
        size_t echoes = 0;
        auto witnessIsServed = [&]
        {
            witness.Send("echo!", 5);
            return witness.WaitPackets(++echoes);
        };
        // Idle for several of its 100 ms read timeouts: no error, still served.
        Sleep(350);
        EXPECT_TRUE(witness.IsConnected()) << "an idle connection was ended";
        EXPECT_TRUE(witnessIsServed()) << "after idling";
        EXPECT_TRUE(witness.errors.empty());

        // A peer that connects and never sends keeps its slot throughout.
        const SOCKET silent = RawConnect(port);
        ASSERT_TRUE(listener.WaitAccepts(2));

        std::mt19937 rng(9);
        Bytes random(20000);
        for (uint8_t& x : random)
            x = uint8_t(rng());
        Bytes cutOff = {0x00, 0x10, 'p', 'a', 'r', 't'}; // 4096 announced, 4 follow
        const std::vector<Bytes> faults = {
            random, {0, 0, 5, 0, 'l', 'o', 's', 't'}, {1, 0, 'x'}, cutOff, {7}};
        size_t disconnects = 0;
        for (const Bytes& fault : faults)
        {
            const SOCKET peer = RawConnect(port);
            ASSERT_NE(peer, INVALID_SOCKET);
            RawSend(peer, fault);
            Sleep(50);
            closesocket(peer);
            ASSERT_TRUE(listener.WaitDisconnects(++disconnects)) << "fault " << disconnects;
            EXPECT_TRUE(witnessIsServed()) << "after fault " << disconnects;
        }
        {
            std::lock_guard<std::mutex> hold(listener.lock);
            EXPECT_TRUE(listener.errors.empty());
            // Nothing of the cut-off message, the lone byte or the bad lengths
            // came through: every packet is the witness's or the random peer's.
            for (auto& [slot, payload] : listener.packets)
                if (payload == Bytes{'l', 'o', 's', 't'} || payload.size() == 4094)
                    ADD_FAILURE() << "a packet after a bad length or a cut-off one arrived";
        }
        EXPECT_TRUE(listener.WaitClientCount(2));

        closesocket(silent);
        witness.Disconnect();
        ASSERT_TRUE(listener.WaitDisconnects(disconnects + 2));
        EXPECT_TRUE(listener.WaitClientCount(0));
        uint32_t size = 0;
        const ClientSlot* clients = listener.GetClients(size);
        for (uint32_t i = 0; i < size; ++i)
        {
            EXPECT_EQ(clients[i].slot, -1);
            EXPECT_EQ(clients[i].socket, INVALID_SOCKET);
            EXPECT_EQ(clients[i].port, 0u);
            EXPECT_TRUE(clients[i].address.empty());
        }
    }

    {
        // A fourth client of a three-slot table waits in the backlog, and is
        // accepted into the slot that frees up, searching on from the last one used.
        RecordingListener listener;
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 3));
        SOCKET peers[4];
        for (int i = 0; i < 3; ++i)
        {
            peers[i] = RawConnect(port);
            ASSERT_TRUE(listener.WaitAccepts(size_t(i + 1)));
        }
        peers[3] = RawConnect(port);
        ASSERT_NE(peers[3], INVALID_SOCKET) << "the backlog takes it";
        RawSend(peers[3], {4, 0, 'h', 'i'});
        Sleep(400);
        EXPECT_EQ(listener.accepted.size(), 3u);
        EXPECT_TRUE(listener.packets.empty());

        closesocket(peers[0]); // slot 0 frees; the search starts at slot 2 and wraps
        ASSERT_TRUE(listener.WaitAccepts(4));
        EXPECT_EQ(listener.accepted, (std::vector<int32_t>{0, 1, 2, 0}));
        ASSERT_TRUE(listener.WaitPackets(1));
        EXPECT_EQ(listener.packets[0], std::make_pair(int32_t(0), Bytes{'h', 'i'}));
        EXPECT_TRUE(listener.errors.empty());
        for (int i = 1; i < 4; ++i)
            closesocket(peers[i]);
        ASSERT_TRUE(listener.WaitDisconnects(4));
        EXPECT_TRUE(listener.WaitClientCount(0));
    }
}

TEST_F(TCPTraffic, AThousandCyclesAndAShutdownInTrafficLeaveNoThreadHandleOrSlotBehind)
{
    {
        // A thousand connections made, used and ended leave the slots, the
        // process's handles and its threads where they were.
        RecordingListener listener;
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 4));
        auto cycle = [&](RecordingConnecter& c, size_t n)
        {
            c.Connect("127.0.0.1", port);
            c.Send("ping", 4);
            c.Disconnect();
            return listener.WaitDisconnects(n);
        };
        // The system keeps a few handles of its own for good during the first
        // hundred or so cycles (measured: 17 to 20, flat from then on): count from
        // cycle 200 on.
        uint32_t handles = 0, threads = 0;
        size_t n = 0;
        for (int round = 0; round < 100; ++round)
        {
            RecordingConnecter c; // a new object every ten cycles
            for (int i = 0; i < 10; ++i)
                ASSERT_TRUE(cycle(c, ++n)) << "cycle " << n;
            EXPECT_EQ(c.connects, 10);
            EXPECT_EQ(c.disconnects, 10);
            if (round == 19)
            {
                handles = HandleCount();
                threads = ThreadCount();
            }
        }
        EXPECT_EQ(listener.accepted.size(), 1000u);
        EXPECT_TRUE(listener.WaitClientCount(0));
        EXPECT_TRUE(listener.errors.empty());
        EXPECT_TRUE(Settles(handles, threads));
    }

    {
        // Destroying the listener while packets fly both ways ends its thread,
        // closes every socket (each connecter sees its end) and leaves no thread or
        // handle behind once the connecters are gone too.
        const uint32_t handles = HandleCount(), threads = ThreadCount();
        {
            auto listener = std::make_unique<RecordingListener>();
            RecordingListener* server = listener.get();
            const uint16_t port = FreePort();
            listener->JoinMessages(true);
            ASSERT_TRUE(listener->Start(port, 8));
            std::atomic<uint32_t> bounced(0);
            listener->onReceive = [server, &bounced](ClientSlot* client, const Packet* p)
            {
                server->SendTo(uint32_t(client->slot), p->data, p->size);
                ++bounced;
            };
            std::vector<std::unique_ptr<RecordingConnecter>> peers;
            for (int i = 0; i < 8; ++i)
            {
                peers.emplace_back(new RecordingConnecter);
                RecordingConnecter* c = peers.back().get();
                c->onPacket = [c](const Packet* p) { c->Send(p->data, p->size); };
                c->Connect("127.0.0.1", port);
                ASSERT_TRUE(c->IsConnected());
                const Bytes b(300 + 100 * i, uint8_t(i));
                for (int k = 0; k < 4; ++k)
                    c->Send(b.data(), uint32_t(b.size()));
            }
            while (bounced < 2000)
                Sleep(5);
            EXPECT_GE(ThreadCount(), threads + 9) << "the server thread and one per connecter";
            listener.reset(); // with packets in flight
            for (auto& c : peers)
                EXPECT_TRUE(c->WaitDisconnects(1)) << "its socket was closed";
        }
        EXPECT_TRUE(Settles(handles, threads));
    }
}
