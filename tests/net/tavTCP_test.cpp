// The listener and the connecter one exchange at a time: the wire format,
// Start's refusals and failures, peers that come and go. Runs inside the
// network namespace of scripts/netns-run.sh, where the local host is
// 127.0.0.1, so Start binds where it always does and nothing leaves
// loopback.
#include "NetPeers.h"

#include "net/tavErrorText.h"

#include <gtest/gtest.h>

using namespace nettest;
using tavNet::tavPacketAssembler;

namespace
{
class TCP : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!LocalHostIsLoopback()) GTEST_SKIP() << NoLoopbackHost;
    }
    WinsockScope winsock;
};

Bytes Counting(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = uint8_t(i + 1);
    return b;
}
} // namespace

// Start's refusals and failures, the wire format from either side, and reads
// before the listener joins messages.
TEST_F(TCP, StartTheWireFormatAndEachReadAsAPacketUntilMessagesAreJoined)
{
    {
        RecordingListener listener;
        const SOCKET before = listener.handle;
        const uint16_t port = FreePort();
        EXPECT_FALSE(listener.Start(port, 0));
        EXPECT_EQ(listener.handle, before);
        uint32_t size = 7;
        EXPECT_EQ(listener.GetClients(size), nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(RawConnect(port), INVALID_SOCKET) << "nothing may listen after a refused Start";
        EXPECT_TRUE(listener.errors.empty());

        // The same object starts normally afterwards, on the local host.
        ASSERT_TRUE(listener.Start(port, 2));
        const SOCKET peer = RawConnect(port);
        ASSERT_NE(peer, INVALID_SOCKET);
        ASSERT_TRUE(listener.WaitAccepts(1));
        const tavNet::ClientSlot* clients = listener.GetClients(size);
        EXPECT_EQ(size, 2u);
        EXPECT_EQ(clients[0].address, "127.0.0.1");
        EXPECT_NE(clients[0].port, 0u);
        EXPECT_EQ(clients[0].slot, 0);
        EXPECT_EQ(clients[1].slot, -1);
        closesocket(peer);

        // Started again on a bound socket: the bind fails with its code and
        // the table is freed.
        EXPECT_FALSE(listener.Start(port, 2));
        ASSERT_EQ(listener.errors, std::vector<int>{WSAEINVAL});
        EXPECT_STREQ(tavNet::ErrorText(listener.errors[0]), "tavNet: Invalid argument. ");
        EXPECT_EQ(listener.GetClients(size), nullptr);
    }

    {
        // Ten bytes go out as twelve, the length first, from either side; the
        // statistics count one call per message.
        const Bytes ten = Counting(10);
        Bytes expected(12);
        expected[0] = 12;
        std::copy(ten.begin(), ten.end(), expected.begin() + 2);

        uint16_t port = 0;
        const SOCKET server = RawListen(port);
        RecordingConnecter connecter;
        connecter.Connect("127.0.0.1", port);
        ASSERT_TRUE(connecter.IsConnected());
        const SOCKET accepted = accept(server, nullptr, nullptr);
        EXPECT_EQ(connecter.Send(ten.data(), 10), 12u);
        EXPECT_EQ(RawReceive(accepted, 12), expected);
        const Stats c = StatsOf(connecter);
        EXPECT_EQ(c.sent, 12u);
        EXPECT_EQ(c.calls, 1u);
        EXPECT_EQ(c.extra, 0u);

        RecordingListener listener;
        const uint16_t listenPort = FreePort();
        ASSERT_TRUE(listener.Start(listenPort, 4));
        const SOCKET client = RawConnect(listenPort);
        ASSERT_TRUE(listener.WaitAccepts(1));
        EXPECT_EQ(listener.SendTo(0, ten.data(), 10), 12u);
        EXPECT_EQ(RawReceive(client, 12), expected);
        EXPECT_EQ(listener.SendTo(1, ten.data(), 10), 0u) << "a free slot";
        EXPECT_EQ(listener.SendTo(99, ten.data(), 10), 0u) << "past the table";
        EXPECT_EQ(listener.SendToAll(ten.data(), 10), 12u);
        EXPECT_EQ(RawReceive(client, 12), expected);
        const Stats l = StatsOf(listener);
        EXPECT_EQ(l.sent, 24u);
        EXPECT_EQ(l.calls, 2u);

        // Too large for the length: nothing goes out, and the stream stays whole.
        const Bytes tooLarge(tavPacketAssembler::MaxPayload + 1, 0x55);
        EXPECT_EQ(connecter.Send(tooLarge.data(), uint32_t(tooLarge.size())), 0u);
        EXPECT_EQ(listener.SendTo(0, tooLarge.data(), uint32_t(tooLarge.size())), 0u);
        EXPECT_EQ(connecter.Send(ten.data(), 10), 12u);
        EXPECT_EQ(RawReceive(accepted, 12), expected);
        for (SOCKET s : {client, accepted, server})
            closesocket(s);
    }

    {
        // Without joining, each read of up to 56 bytes is one packet: the bytes
        // after its first two, whatever the length prefix said.
        RecordingListener listener;
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 2));
        const SOCKET client = RawConnect(port);
        ASSERT_TRUE(listener.WaitAccepts(1));
        Bytes hundred = Counting(102);
        hundred[0] = 102;
        hundred[1] = 0;
        ASSERT_TRUE(RawSend(client, {12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        ASSERT_TRUE(listener.WaitPackets(1));
        ASSERT_TRUE(RawSend(client, hundred));
        ASSERT_TRUE(listener.WaitPackets(3));
        EXPECT_EQ(listener.packets[0].second, Counting(10));
        EXPECT_EQ(listener.packets[1].second, Bytes(hundred.begin() + 2, hundred.begin() + 56));
        EXPECT_EQ(listener.packets[2].second, Bytes(hundred.begin() + 58, hundred.end()));
        const Stats s = StatsOf(listener);
        EXPECT_EQ(s.received, 10u + 54u + 44u);
        EXPECT_EQ(s.packets, 3u);
        closesocket(client);
        ASSERT_TRUE(listener.WaitDisconnects(1));
        EXPECT_TRUE(listener.errors.empty());
    }
}

TEST_F(TCP, CutMessagesArriveWholeClosingIsNoErrorAndAFailedConnectIsSilent)
{
    {
        // Messages cut anywhere by the sender arrive whole on both sides once the
        // listener joins them, and a peer that closes is a disconnect, not an error.
        Bytes stream = {5, 0, 'a', 'b', 'c', 2, 0, 4, 0, 'x', 'y'};
        RecordingListener listener;
        listener.JoinMessages(true);
        const uint16_t port = FreePort();
        ASSERT_TRUE(listener.Start(port, 2));
        const SOCKET client = RawConnect(port);
        for (uint8_t b : stream)
        {
            ASSERT_TRUE(RawSend(client, {b}));
            Sleep(2);
        }
        ASSERT_TRUE(listener.WaitPackets(2));
        EXPECT_EQ(listener.packets[0].second, (Bytes{'a', 'b', 'c'}));
        EXPECT_EQ(listener.packets[1].second, (Bytes{'x', 'y'}));
        closesocket(client);
        ASSERT_TRUE(listener.WaitDisconnects(1));
        EXPECT_EQ(listener.disconnected, std::vector<int32_t>{0});
        EXPECT_TRUE(listener.errors.empty());
        EXPECT_TRUE(listener.WaitClientCount(0));
        EXPECT_EQ(StatsOf(listener).received, 5u);
        EXPECT_EQ(StatsOf(listener).packets, 2u);

        uint16_t rawPort = 0;
        const SOCKET server = RawListen(rawPort);
        RecordingConnecter connecter;
        connecter.Connect("127.0.0.1", rawPort);
        const SOCKET accepted = accept(server, nullptr, nullptr);
        ASSERT_TRUE(RawSend(accepted, Bytes(stream.begin(), stream.begin() + 4)));
        Sleep(20);
        ASSERT_TRUE(RawSend(accepted, Bytes(stream.begin() + 4, stream.end())));
        ASSERT_TRUE(connecter.WaitPackets(2));
        EXPECT_EQ(connecter.packets[1], (Bytes{'x', 'y'}));
        closesocket(accepted);
        ASSERT_TRUE(connecter.WaitDisconnects(1));
        EXPECT_FALSE(connecter.IsConnected());
        EXPECT_TRUE(connecter.errors.empty());
        EXPECT_EQ(connecter.connects, 1);
        connecter.Disconnect();
        EXPECT_EQ(connecter.disconnects, 1) << "a second Disconnect reports nothing";
        closesocket(server);
    }

    {
        RecordingConnecter connecter;
        const uint16_t closed = FreePort();
        connecter.Connect("127.0.0.1", closed);
        connecter.Connect(nullptr, closed);
        EXPECT_FALSE(connecter.IsConnected());
        EXPECT_EQ(connecter.connects, 0);
        EXPECT_EQ(connecter.disconnects, 0);
        EXPECT_TRUE(connecter.errors.empty());
        const Bytes one = {1};
        EXPECT_EQ(connecter.Send(one.data(), 1), 0u);

        uint16_t port = 0;
        const SOCKET server = RawListen(port);
        connecter.Connect("127.0.0.1", port);
        EXPECT_TRUE(connecter.IsConnected());
        const SOCKET accepted = accept(server, nullptr, nullptr);
        EXPECT_EQ(connecter.Send(one.data(), 1), 3u);
        EXPECT_EQ(RawReceive(accepted, 3), (Bytes{3, 0, 1}));
        connecter.Disconnect();
        EXPECT_EQ(connecter.disconnects, 1);
        EXPECT_EQ(RawReceive(accepted, 1, 2000), Bytes{}) << "the socket is closed";
        closesocket(accepted);
        closesocket(server);
    }
}
