// The listener and the connecter: the wire format, Start's refusals, peers that come
// and go, load and abuse. In the namespace of scripts/netns-run.sh (local host 127.0.0.1).
#include "NetPeers.h"

#include "net/tavErrorText.h"

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
struct TCP : ::testing::Test
{
    void SetUp() override
    {
        if (!LocalHostIsLoopback()) GTEST_SKIP() << NoLoopbackHost;
    }
    WinsockScope winsock;
};
using TCPTraffic = TCP;

// A message of `n` payload bytes 1, 2, 3...: the total length first.
Bytes Message(size_t n)
{
    Bytes b = {uint8_t(n + 2), uint8_t((n + 2) >> 8)};
    for (size_t i = 1; i <= n; ++i)
        b.push_back(uint8_t(i));
    return b;
}

// Packet `seq` of stream `stream`, every size the format allows (the smallest
// and the largest first): the receiver checks it without a copy of what was sent.
void Fill(Bytes& out, uint32_t stream, uint32_t seq)
{
    std::mt19937 rng(stream * 7919u + seq);
    const uint32_t kind = rng() % 4, large = uint32_t(tavPacketAssembler::MaxPayload);
    out.resize(seq < 2     ? (seq ? large : 1)
               : kind == 0 ? 1 + rng() % 16
               : kind < 3  ? 17 + rng() % 4080
                           : 4097 + rng() % (large - 4096));
    uint32_t x = stream * 2654435761u ^ seq * 40503u;
    for (uint8_t& b : out)
        b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
}

// The packets of one stream as they come: next in order, exact bytes.
struct StreamCheck
{
    uint32_t stream = 0, next = 0, bad = 0;
    uint64_t bytes = 0;
    Bytes expected;
    std::atomic<uint32_t>* count = nullptr;
    void Take(const Packet* p)
    {
        Fill(expected, stream, next++);
        bytes += p->size;
        bad += p->size != expected.size() || memcmp(p->data, expected.data(), p->size) != 0;
        ++*count;
    }
};
} // namespace

TEST_F(TCP, TheWireFormatStartsRefusalsAndEachReadAsAPacketUntilMessagesAreJoined)
{
    const Bytes twelve = Message(10), ten(twelve.begin() + 2, twelve.end());
    const Bytes tooLarge(tavPacketAssembler::MaxPayload + 1, 0x55);
    const uint32_t large = uint32_t(tooLarge.size());
    RecordingListener listener;
    const uint16_t port = FreePort();
    uint32_t size = 7;
    EXPECT_FALSE(listener.Start(port, 0));
    EXPECT_EQ(listener.GetClients(size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(RawConnect(port), INVALID_SOCKET) << "nothing may listen after a refused Start";
    ASSERT_TRUE(listener.Start(port, 2)); // the same object, on the local host
    const SOCKET client = RawConnect(port);
    ASSERT_TRUE(listener.WaitAccepts(1));
    const ClientSlot* clients = listener.GetClients(size);
    EXPECT_EQ(clients[0].address + " " + std::to_string(clients[0].slot) + " " +
                  std::to_string(clients[1].slot) + " " + std::to_string(size),
              "127.0.0.1 0 -1 2");
    // Ten bytes go out as twelve in one send call; a free slot, one past the table
    // and a payload too large send nothing.
    EXPECT_EQ(std::vector<uint32_t>(
                  {listener.SendTo(0, ten.data(), 10), listener.SendTo(1, ten.data(), 10),
                   listener.SendTo(2, ten.data(), 10), listener.SendTo(0, tooLarge.data(), large),
                   listener.SendToAll(ten.data(), 10)}),
              std::vector<uint32_t>({12, 0, 0, 0, 12}));
    Bytes twice = twelve;
    twice.insert(twice.end(), twelve.begin(), twelve.end());
    EXPECT_EQ(RawReceive(client, 24), twice) << "the stream stays whole";
    // Without joining, each read of up to 56 bytes is one packet: the bytes
    // after its first two, whatever the length prefix said.
    const Bytes hundred = Message(100);
    ASSERT_TRUE(RawSend(client, twelve));
    ASSERT_TRUE(listener.WaitPackets(1));
    ASSERT_TRUE(RawSend(client, hundred));
    ASSERT_TRUE(listener.WaitPackets(3));
    EXPECT_EQ(listener.packets[0].second, ten);
    EXPECT_EQ(listener.packets[1].second, Bytes(hundred.begin() + 2, hundred.begin() + 56));
    EXPECT_EQ(listener.packets[2].second, Bytes(hundred.begin() + 58, hundred.end()));
    EXPECT_EQ(StatsOf(listener), (std::vector<uint32_t>{24, 2, 0, 108, 3}));
    closesocket(client);
    ASSERT_TRUE(listener.WaitDisconnects(1));
    EXPECT_TRUE(listener.errors.empty());
    // Started again on a bound socket: the bind fails with its code and the table is freed.
    EXPECT_FALSE(listener.Start(port, 2));
    ASSERT_EQ(listener.errors, std::vector<int>{WSAEINVAL});
    EXPECT_STREQ(tavNet::ErrorText(listener.errors[0]), "tavNet: Invalid argument. ");
    EXPECT_EQ(listener.GetClients(size), nullptr);
    const Bytes stream = {5, 0, 'a', 'b', 'c', 2, 0, 4, 0, 'x', 'y'};
    const std::vector<Bytes> payloads = {{'a', 'b', 'c'}, {'x', 'y'}};

    // A connect that fails is silent and leaves the connecter usable.
    RecordingConnecter connecter;
    connecter.Connect("127.0.0.1", FreePort());
    connecter.Connect(nullptr, FreePort());
    EXPECT_FALSE(connecter.IsConnected());
    EXPECT_EQ(connecter.Send(ten.data(), 10), 0u);
    uint16_t rawPort = 0;
    const SOCKET server = RawListen(rawPort);
    connecter.Connect("127.0.0.1", rawPort);
    ASSERT_TRUE(connecter.IsConnected());
    SOCKET accepted = accept(server, nullptr, nullptr);
    EXPECT_EQ(connecter.Send(tooLarge.data(), large), 0u);
    EXPECT_EQ(connecter.Send(ten.data(), 10), 12u);
    EXPECT_EQ(RawReceive(accepted, 12), twelve);
    EXPECT_EQ(StatsOf(connecter), (std::vector<uint32_t>{12, 1, 0, 0, 0}));
    connecter.Disconnect();
    EXPECT_EQ(connecter.events, "cd");
    EXPECT_EQ(RawReceive(accepted, 1, 2000), Bytes{}) << "the socket is closed";
    closesocket(accepted);
    // It joins messages cut anywhere; the peer's close ends it, a second Disconnect is silent.
    connecter.Connect("127.0.0.1", rawPort);
    accepted = accept(server, nullptr, nullptr);
    ASSERT_TRUE(RawSend(accepted, Bytes(stream.begin(), stream.begin() + 4)));
    Sleep(20);
    ASSERT_TRUE(RawSend(accepted, Bytes(stream.begin() + 4, stream.end())));
    ASSERT_TRUE(connecter.WaitPackets(2));
    EXPECT_EQ(connecter.packets, payloads);
    closesocket(accepted);
    ASSERT_TRUE(connecter.WaitDisconnect());
    EXPECT_FALSE(connecter.IsConnected());
    connecter.Disconnect();
    EXPECT_EQ(connecter.events, "cdcd");
    EXPECT_TRUE(connecter.errors.empty());
    closesocket(server);
}

// 64 connecters and the listener send 10,048 packets each way, both ways at once.
TEST_F(TCPTraffic, SixtyFourConnectersExchangePacketsWholeOnceAndInOrder)
{
    const uint32_t peers = 64, perPeer = 10000 / peers + 1, total = peers * perPeer;
    RecordingListener listener;
    listener.JoinMessages(true);
    const uint16_t port = FreePort();
    ASSERT_TRUE(listener.Start(port, peers));
    std::atomic<uint32_t> got(0);
    std::vector<StreamCheck> checks(2 * peers); // at the listener by slot, then at each connecter
    for (uint32_t i = 0; i < 2 * peers; ++i)
        checks[i].stream = i < peers ? i : 1000 + i - peers, checks[i].count = &got;
    listener.onReceive = [&](ClientSlot* c, const Packet* p) { checks[size_t(c->slot)].Take(p); };
    std::vector<RecordingConnecter> connecters(peers);
    for (uint32_t i = 0; i < peers; ++i)
    {
        StreamCheck* check = &checks[peers + i];
        connecters[i].onPacket = [check](const Packet* p) { check->Take(p); };
        connecters[i].Connect("127.0.0.1", port);
        ASSERT_TRUE(listener.WaitAccepts(i + 1));
        ASSERT_EQ(listener.accepted[i], int32_t(i));
    }
    uint64_t sentToPeers = 0, sentToListener = 0;
    auto send = [&](bool down, uint64_t& sent)
    {
        Bytes b;
        for (uint32_t seq = 0; seq < perPeer; ++seq)
            for (uint32_t i = 0; i < peers; ++i)
            {
                Fill(b, down ? 1000 + i : i, seq);
                sent += down ? listener.SendTo(i, b.data(), uint32_t(b.size()))
                             : connecters[i].Send(b.data(), uint32_t(b.size()));
            }
    };
    std::thread down(send, true, std::ref(sentToPeers));
    send(false, sentToListener);
    down.join();
    for (int waited = 0; got < 2 * total && waited < 60000; waited += 10)
        Sleep(10);
    ASSERT_EQ(got.load(), 2 * total);
    // Each stream whole and in order; the statistics add up (u32 counters: modulo 2^32).
    uint64_t atListener = 0, atPeers = 0;
    for (uint32_t i = 0; i < 2 * peers; ++i)
    {
        EXPECT_EQ(std::make_pair(checks[i].bad, checks[i].next), std::make_pair(0u, perPeer)) << i;
        (i < peers ? atListener : atPeers) += checks[i].bytes;
    }
    for (auto& c : connecters)
        EXPECT_EQ(StatsOf(c)[1] - StatsOf(c)[2] + StatsOf(c)[4], 2 * perPeer);
    EXPECT_TRUE(listener.errors.empty());
    const std::vector<uint32_t> l = StatsOf(listener);
    EXPECT_EQ(std::vector<uint32_t>({l[0], l[1] - l[2], l[3], l[4]}),
              std::vector<uint32_t>({uint32_t(sentToPeers), total, uint32_t(atListener), total}));
    EXPECT_EQ(sentToPeers, atPeers + 2ull * total);
    EXPECT_EQ(sentToListener, atListener + 2ull * total);
}

// Each misbehaving peer loses its own connection and nothing else: a connecter is
// served after every one, a peer that merely closes is no error, every slot comes back.
TEST_F(TCPTraffic, MisbehavingPeersLoseOnlyTheirOwnConnectionAndAFullTableKeepsTheNextWaiting)
{
    RecordingListener listener;
    listener.JoinMessages(true);
    uint16_t port = FreePort();
    ASSERT_TRUE(listener.Start(port, 8));
    listener.onReceive = [&](ClientSlot* c, const Packet* p)
    {
        listener.Add(listener.packets, std::make_pair(c->slot, Bytes(p->data, p->data + p->size)));
        if (p->size == 5 && memcmp(p->data, "echo!", 5) == 0)
            listener.SendTo(uint32_t(c->slot), p->data, p->size);
    };
    RecordingConnecter witness;
    witness.Connect("127.0.0.1", port);
    ASSERT_TRUE(listener.WaitAccepts(1));
    size_t echoes = 0;
    auto served = [&] { return witness.Send("echo!", 5) && witness.WaitPackets(++echoes); };
    Sleep(350); // several of its 100 ms read timeouts
    EXPECT_TRUE(witness.IsConnected()) << "an idle connection was ended";
    EXPECT_TRUE(served()) << "after idling";
    const SOCKET silent = RawConnect(port); // connects, never sends, keeps its slot
    ASSERT_TRUE(listener.WaitAccepts(2));
    Bytes random(20000);
    uint32_t x = 9;
    for (uint8_t& b : random)
        b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
    const std::vector<Bytes> faults = {random,
                                       {0, 0, 5, 0, 'l', 'o', 's', 't'}, // a bad length
                                       {1, 0, 'x'},                      // another
                                       {0x00, 0x10, 'p', 'a', 'r', 't'}, // 4096 announced
                                       {7}};                             // a lone byte
    for (size_t i = 0; i < faults.size(); ++i)
    {
        const SOCKET peer = RawConnect(port);
        RawSend(peer, faults[i]);
        Sleep(50);
        closesocket(peer);
        ASSERT_TRUE(listener.WaitDisconnects(i + 1)) << "fault " << i;
        EXPECT_TRUE(served()) << "after fault " << i;
    }
    EXPECT_TRUE(listener.errors.empty() && witness.errors.empty());
    for (auto& packet : listener.packets) // all in: the witness was served last
        EXPECT_TRUE(packet.second != Bytes({'l', 'o', 's', 't'}) && packet.second.size() != 4094)
            << "a packet after a bad length or a cut-off one arrived";
    EXPECT_TRUE(listener.WaitClientCount(2));
    closesocket(silent);
    witness.Disconnect();
    ASSERT_TRUE(listener.WaitDisconnects(faults.size() + 2));
    EXPECT_TRUE(listener.WaitClientCount(0));

    // A fourth client of a three-slot table waits in the backlog, and is accepted
    // into the slot that frees up, searching on from the last one used.
    RecordingListener three;
    port = FreePort();
    ASSERT_TRUE(three.Start(port, 3));
    SOCKET peers[4];
    for (size_t i = 0; i < 4; ++i)
    {
        peers[i] = RawConnect(port);
        ASSERT_NE(peers[i], INVALID_SOCKET);
        ASSERT_TRUE(i == 3 || three.WaitAccepts(i + 1));
    }
    RawSend(peers[3], {4, 0, 'h', 'i'});
    Sleep(400);
    EXPECT_EQ(three.accepted.size(), 3u);
    EXPECT_TRUE(three.packets.empty());
    closesocket(peers[0]); // slot 0 frees; the search starts at slot 2 and wraps
    ASSERT_TRUE(three.WaitAccepts(4));
    EXPECT_EQ(three.accepted, (std::vector<int32_t>{0, 1, 2, 0}));
    ASSERT_TRUE(three.WaitPackets(1));
    EXPECT_EQ(three.packets[0], std::make_pair(int32_t(0), Bytes{'h', 'i'}));
    EXPECT_TRUE(three.errors.empty());
    for (int i = 1; i < 4; ++i)
        closesocket(peers[i]);
    ASSERT_TRUE(three.WaitDisconnects(4));
    EXPECT_TRUE(three.WaitClientCount(0));
}

TEST_F(TCPTraffic, ConnectionCyclesAndAShutdownInTrafficLeaveNoThreadOrHandleBehind)
{
    // Waits for the counts to fall back to within the slack of those taken.
    auto settled = [](uint32_t handles, uint32_t threads, uint32_t slack, uint32_t threadSlack,
                      const char* after)
    {
        for (int waited = 0;
             (HandleCount() > handles + slack || ThreadCount() > threads + threadSlack) &&
             waited < 5000;
             waited += 20)
            Sleep(20);
        EXPECT_LE(HandleCount(), handles + slack) << "a handle left behind " << after;
        EXPECT_LE(ThreadCount(), threads + threadSlack) << after;
    };
    {
        // Connections made, used and ended by the peer. The system keeps a few handles
        // of its own during the first hundred or so cycles, and now and then a worker
        // thread of its own: count from cycle 200 on, with two to spare (a leak per
        // connection would show as hundreds).
        RecordingListener listener;
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 4));
        uint32_t handles = 0, threads = 0;
        size_t n = 0;
        for (int round = 0; round < 40; ++round)
        {
            RecordingConnecter c; // a new object every ten cycles
            for (int i = 0; i < 10; ++i)
            {
                c.Connect("127.0.0.1", port);
                c.Send("ping", 4);
                c.Disconnect();
                ASSERT_TRUE(listener.WaitDisconnects(++n)) << "cycle " << n;
            }
            if (round == 19) handles = HandleCount(), threads = ThreadCount();
        }
        EXPECT_EQ(listener.accepted.size(), n);
        EXPECT_TRUE(listener.WaitClientCount(0));
        EXPECT_TRUE(listener.errors.empty());
        settled(handles, threads, 2, 2, "by ended connections");
    }
    // Destroying the listener while packets fly both ways ends its thread and
    // closes every socket (each connecter sees its end); a leak per connection
    // would show as several handles more than the two the system may keep.
    const uint32_t handles = HandleCount(), threads = ThreadCount();
    auto listener = std::make_unique<RecordingListener>();
    const uint16_t port = FreePort();
    listener->JoinMessages(true);
    ASSERT_TRUE(listener->Start(port, 8));
    std::atomic<uint32_t> bounced(0);
    RecordingListener* server = listener.get(); // still valid while reset() destroys it
    listener->onReceive = [server, &bounced](ClientSlot* c, const Packet* p)
    { server->SendTo(uint32_t(c->slot), p->data, p->size), ++bounced; };
    {
        RecordingConnecter peers[8];
        for (RecordingConnecter& c : peers)
        {
            c.onPacket = [&c](const Packet* p) { c.Send(p->data, p->size); };
            c.Connect("127.0.0.1", port);
            ASSERT_TRUE(c.IsConnected());
            const Bytes b(300 + 100 * (&c - peers), uint8_t(&c - peers));
            for (int k = 0; k < 4; ++k)
                c.Send(b.data(), uint32_t(b.size()));
        }
        while (bounced < 2000)
            Sleep(5);
        EXPECT_GE(ThreadCount(), threads + 9) << "the server thread and one per connecter";
        listener.reset();
        for (RecordingConnecter& c : peers)
            EXPECT_TRUE(c.WaitDisconnect()) << "its socket was closed";
    }
    settled(handles, threads, 2, 0, "by the shutdown");
}
