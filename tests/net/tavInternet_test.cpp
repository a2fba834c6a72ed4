// Downloads from a small HTTP/1.0 server of the test's own on 127.0.0.1
// (inside the network namespace of scripts/netns-run.sh, so nothing can go further).
#include "NetPeers.h"

#include "net/tavInternet.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

using nettest::Bytes;

namespace
{
std::string Text(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, ' ');
    for (char& c : s)
        c = char(' ' + rng() % 95);
    return s;
}

struct Reply
{
    std::string body;
    size_t breakAt = std::string::npos; // where the body pauses or ends
    DWORD pauseMs = 0;                  // pause there, then go on
    bool closeAtBreak = false;          // or end the connection there
    bool noAnswer = false;              // read the request, wait pauseMs, close
    const char* status = "200 OK";
};

struct Server
{
    // Fetches /page, which the server answers with `r` on a thread of its own,
    // through `net` or with the one-call form.
    std::string Get(const Reply& r, tavInternet* net = nullptr)
    {
        std::thread serve(
            [this, &r]
            {
                fd_set read;
                FD_ZERO(&read);
                FD_SET(listening, &read);
                timeval timeout = {5, 0};
                if (select(0, &read, nullptr, nullptr, &timeout) != 1) return; // none came
                const SOCKET client = accept(listening, nullptr, nullptr);
                std::string request, head = "HTTP/1.0 " + std::string(r.status) +
                                            "\r\nContent-Type: text/plain\r\nContent-Length: " +
                                            std::to_string(r.body.size()) +
                                            "\r\nConnection: close\r\n\r\n";
                char buffer[2048];
                for (int n = 1; request.find("\r\n\r\n") == std::string::npos && n > 0;)
                    if ((n = recv(client, buffer, sizeof buffer, 0)) > 0)
                        request.append(buffer, size_t(n));
                const size_t split = std::min(r.breakAt, r.body.size());
                head += r.body.substr(0, split);
                if (!r.noAnswer) nettest::RawSend(client, Bytes(head.begin(), head.end()));
                Sleep(r.pauseMs);
                if (!r.noAnswer && !r.closeAtBreak)
                    nettest::RawSend(client,
                                     Bytes(r.body.begin() + ptrdiff_t(split), r.body.end()));
                closesocket(client);
                ++requests;
            });
        std::string out = "left over";
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/page";
        if (net)
            net->Fetch(url.c_str(), out);
        else
            EXPECT_TRUE(tavInternet::FetchUrl(out, url.c_str())) << "no failure is reported";
        serve.join();
        return out;
    }
    ~Server() { closesocket(listening); }
    nettest::WinsockScope winsock;
    uint16_t port = 0;
    const SOCKET listening = nettest::RawListen(port);
    int requests = 0;
};
} // namespace

// A small page (pieces of 49, 49 and 2 bytes) and a 1 MB one come back whole,
// through the kept handle and the one-call form, never from the cache. The body
// is text: a zero byte ends its 49-byte piece; the next piece is kept from its start.
// No failure is reported: a 404 gives the server's page like any other; a closed
// port, an unknown scheme or a server that never answers gives nothing; one that
// stops mid-body leaves what came before; a pause is waited for.
TEST(Internet, BodiesArriveWholeAZeroByteEndsItsPieceAndFailuresLeaveWhatCameSoFar)
{
    Server server;
    const std::string small = Text(100, 1), large = Text(1 << 20, 2);
    tavInternet net;
    ASSERT_NE(net.internet, nullptr);
    EXPECT_EQ(server.Get({small}, &net), small);
    EXPECT_TRUE(server.Get({large}, &net) == large) << "the 1 MB body differs";
    EXPECT_EQ(server.Get({"changed"}, &net), "changed");
    EXPECT_EQ(server.Get({small}), small);
    std::string zero = Text(100, 3);
    zero[10] = '\0';
    EXPECT_EQ(server.Get({zero}), zero.substr(0, 10) + zero.substr(49));
    EXPECT_EQ(server.requests, 5);
    Reply missing{"no such page"};
    missing.status = "404 Not Found";
    EXPECT_EQ(server.Get(missing), "no such page");
    std::string out = "old";
    const DWORD start = GetTickCount();
    EXPECT_TRUE(tavInternet::FetchUrl(
        out, ("http://127.0.0.1:" + std::to_string(nettest::FreePort()) + "/").c_str()));
    EXPECT_EQ(out, "");
    EXPECT_LT(GetTickCount() - start, 5000u) << "a refused connection fails at once";
    out = "old";
    tavInternet::FetchUrl(out, "nonsense://127.0.0.1/");
    EXPECT_EQ(out, "");
    const Reply cut{Text(1000, 4), 490, 0, true}, slow{Text(5000, 5), 2000, 600};
    EXPECT_EQ(server.Get(cut), cut.body.substr(0, 490));
    EXPECT_EQ(server.Get(slow), slow.body);
    EXPECT_EQ(server.Get({"", std::string::npos, 300, false, true}), "");
}
