// An example of tavNet in the engine's test host: the console command
// "netecho <port>" opens a listener on the port and a connecter to it in this one
// process, sends a line the listener echoes, and shows in the console and the log
// how it came back. Runs in the network namespace of scripts/netns-run.sh.
#include "NetPeers.h"

#include "net/tavErrorText.h"
#include "support/TestEngine.h"

#include <chrono>
#include <cstdio>

namespace
{
class NetEchoEngine : public TestEngine
{
public:
    HRESULT GameInitialize() override
    {
        BindFunction("netecho", 1601, 1);
        return TestEngine::GameInitialize();
    }
    void OnCommandInts(uint32_t id, int port, int, int) override
    {
        if (id != 1601) return;
        nettest::RecordingListener listener;
        listener.JoinMessages(true);
        listener.onReceive = [&](tavNet::ClientSlot* c, const tavNet::Packet* p)
        { listener.SendTo(uint32_t(c->slot), p->data, p->size); };
        const std::string at = std::to_string(port), greeting = "hello over tavNet";
        if (port <= 0 || port > 65535 || !listener.Start(uint16_t(port), 4))
            return Report("netecho: cannot listen on port " + at + " (" +
                          tavNet::ErrorText(listener.errors.empty() ? 0 : listener.errors[0]) +
                          ")");
        Report("netecho: listening on port " + at);
        nettest::RecordingConnecter connecter;
        connecter.Connect("127.0.0.1", uint16_t(port));
        const auto start = std::chrono::steady_clock::now();
        const uint32_t wire = connecter.Send(greeting.data(), uint32_t(greeting.size()));
        if (!connecter.WaitPackets(1) ||
            nettest::Bytes(greeting.begin(), greeting.end()) != connecter.packets[0])
            return Report("netecho: no echo from 127.0.0.1:" + at);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        char line[160];
        std::snprintf(line, sizeof line, "in %.2f ms", took.count());
        Report("netecho: \"" + greeting + "\" came back (" + std::to_string(wire) +
               " bytes on the wire) " + line);
    }
    void Report(const std::string& line) { Print(line.c_str(), 0xFF60FF60), Write(line); }
};

struct NetEcho : EngineTest
{
    TestEngine* NewEngine() override { return new NetEchoEngine(); }
};
} // namespace

TEST_F(NetEcho, TheRoundTripShowsInTheConsoleAndTheLogAndABadPortIsReported)
{
    if (!nettest::LocalHostIsLoopback()) GTEST_SKIP() << nettest::NoLoopbackHost;
    ASSERT_EQ(StartEngine(), S_OK);
    nettest::WinsockScope winsock;
    const std::string port = std::to_string(nettest::FreePort());
    engine->Execute("netecho " + port);
    Pump();
    engine->Execute("netecho 0");
    const auto& lines = engine->GetLines();
    ASSERT_GE(lines.size(), 3u);
    const std::string echo = lines[lines.size() - 2].text;
    EXPECT_EQ(lines[lines.size() - 3].text, "netecho: listening on port " + port);
    EXPECT_EQ(echo.find("netecho: \"hello over tavNet\" came back (19 bytes on the wire) in "), 0u)
        << echo;
    EXPECT_EQ(lines.back().text, "netecho: cannot listen on port 0 (tavNet: No error value yet.)");
    EXPECT_NE(Log().find(echo), std::string::npos);
}
