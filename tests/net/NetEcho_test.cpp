// The "netecho" example: a listener and a connecter in the test host's one
// process, the round trip shown in the console and the log. Runs inside the
// network namespace of scripts/netns-run.sh (the local host is 127.0.0.1).
#include "NetEchoEngine.h"

#include "NetPeers.h"

#include <gtest/gtest.h>

namespace
{
class NetEcho : public EngineTest
{
protected:
    TestEngine* NewEngine() override { return new NetEchoEngine(); }

    std::vector<std::string> Lines()
    {
        std::vector<std::string> out;
        for (const ConsoleLine& l : engine->GetLines())
            out.push_back(l.text);
        return out;
    }
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST_F(NetEcho, TheRoundTripShowsInTheConsoleAndTheLogAndABadPortIsReported)
{
    {
        if (!nettest::LocalHostIsLoopback()) GTEST_SKIP() << nettest::NoLoopbackHost;
        ASSERT_EQ(StartEngine(), S_OK);
        nettest::WinsockScope winsock;
        const uint16_t port = nettest::FreePort();
        engine->Execute("netecho " + std::to_string(port));
        Pump();

        const std::vector<std::string> lines = Lines();
        ASSERT_GE(lines.size(), 3u);
        const size_t n = lines.size();
        EXPECT_EQ(lines[n - 3], "netecho: listening on port " + std::to_string(port));
        EXPECT_TRUE(Contains(lines[n - 2],
                             "netecho: \"hello over tavNet\" came back (19 bytes on the wire) in "))
            << lines[n - 2];
        EXPECT_EQ(lines[n - 1], "netecho: listener received 1 packet(s), 17 bytes; sent 19 bytes");
        const std::string log = Log();
        for (size_t i = n - 3; i < n; ++i)
            EXPECT_TRUE(Contains(log, lines[i])) << lines[i];
        std::printf("%s\n", lines[n - 2].c_str());
    }

    {
        engine->Execute("netecho 0");
        EXPECT_EQ(Lines().back(), "netecho: cannot listen on port 0 (tavNet: No error value yet.)");
    }
}
