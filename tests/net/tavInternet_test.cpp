// Downloads from a small HTTP/1.0 server of the test's own on 127.0.0.1
// (inside the network namespace of scripts/netns-run.sh, so nothing can go further).
#include "NetPeers.h"

#include "net/tavInternet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
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
};

// On a thread of its own; a path without a reply is a 404.
class Server
{
public:
    Server() : listening(nettest::RawListen(port)), thread([this] { Serve(); }) {}
    ~Server()
    {
        stopping = true;
        thread.join();
        closesocket(listening);
    }
    void Set(const std::string& path, const Reply& reply)
    {
        std::lock_guard<std::mutex> hold(lock);
        replies[path] = reply;
    }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }
    std::atomic<int> requests{0};

private:
    void Serve()
    {
        while (!stopping)
        {
            timeval timeout = {0, 50000};
            fd_set read;
            FD_ZERO(&read);
            FD_SET(listening, &read);
            if (select(0, &read, nullptr, nullptr, &timeout) != 1) continue;
            const SOCKET client = accept(listening, nullptr, nullptr);
            std::string request;
            char buffer[2048];
            for (int n = 1; request.find("\r\n\r\n") == std::string::npos && n > 0;)
                if ((n = recv(client, buffer, sizeof buffer, 0)) > 0)
                    request.append(buffer, size_t(n));
            if (request.find("\r\n\r\n") != std::string::npos) Answer(client, request);
            closesocket(client);
        }
    }
    void Answer(SOCKET client, const std::string& request)
    {
        ++requests;
        const size_t from = request.find(' ') + 1;
        const std::string path = request.substr(from, request.find(' ', from) - from);
        std::unique_lock<std::mutex> hold(lock);
        const bool found = replies.count(path) != 0;
        const Reply r = found ? replies[path] : Reply{"no such page"};
        hold.unlock();
        if (r.noAnswer) return Sleep(r.pauseMs);
        const std::string head =
            std::string(found ? "HTTP/1.0 200 OK" : "HTTP/1.0 404 Not Found") +
            "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(r.body.size()) +
            "\r\nConnection: close\r\n\r\n";
        const size_t split = std::min(r.breakAt, r.body.size());
        const std::string first = head + r.body.substr(0, split);
        nettest::RawSend(client, Bytes(first.begin(), first.end()));
        if (split == r.body.size() || r.closeAtBreak) return;
        Sleep(r.pauseMs);
        nettest::RawSend(client, Bytes(r.body.begin() + ptrdiff_t(split), r.body.end()));
    }
    nettest::WinsockScope winsock;
    uint16_t port = 0;
    SOCKET listening;
    std::atomic<bool> stopping{false};
    std::mutex lock;
    std::map<std::string, Reply> replies;
    std::thread thread;
};
} // namespace

// A small page (pieces of 49, 49 and 2 bytes) and a 3 MB one come back whole,
// through the kept handle and the one-call form. The body is text: a zero byte
// ends its 49-byte piece; the next piece is kept from its start.
TEST(Internet, SmallAndLargeBodiesArriveWholeAndAZeroByteEndsItsPieceOnly)
{
    Server server;
    const std::string small = Text(100, 1), large = Text(3 << 20, 2);
    server.Set("/small.txt", Reply{small});
    server.Set("/large.txt", Reply{large});
    tavInternet net;
    ASSERT_NE(net.internet, nullptr);
    std::string out = "left over";
    net.Fetch(server.Url("/small.txt").c_str(), out);
    EXPECT_EQ(out, small);
    net.Fetch(server.Url("/large.txt").c_str(), out);
    EXPECT_TRUE(out == large) << "got " << out.size() << " bytes of " << large.size();
    EXPECT_TRUE(tavInternet::FetchUrl(out, server.Url("/small.txt").c_str()));
    EXPECT_EQ(out, small);
    EXPECT_EQ(server.requests, 3) << "the same URL twice: both from the server, never the cache";
    std::string zero = Text(100, 3);
    zero[10] = '\0';
    server.Set("/zero", Reply{zero});
    tavInternet::FetchUrl(out, server.Url("/zero").c_str());
    EXPECT_EQ(out, zero.substr(0, 10) + zero.substr(49));
}

// No failure is reported: a 404 gives the server's page like any other; a
// closed port, an unknown scheme or a server that never answers gives nothing;
// one that stops mid-body leaves what came before; a pause is waited for.
TEST(Internet, FailuresLeaveNothingOrWhatCameSoFarAndAStallIsWaitedFor)
{
    Server server;
    std::string out = "old";
    EXPECT_TRUE(tavInternet::FetchUrl(out, server.Url("/missing").c_str()));
    EXPECT_EQ(out, "no such page");
    const DWORD start = GetTickCount();
    EXPECT_TRUE(tavInternet::FetchUrl(
        out, ("http://127.0.0.1:" + std::to_string(nettest::FreePort()) + "/").c_str()));
    EXPECT_EQ(out, "");
    EXPECT_LT(GetTickCount() - start, 5000u) << "a refused connection fails at once";
    out = "old";
    tavInternet::FetchUrl(out, "nonsense://127.0.0.1/");
    EXPECT_EQ(out, "");
    const Reply cut{Text(1000, 4), 490, 0, true}, slow{Text(5000, 5), 2000, 600};
    server.Set("/cut", cut);
    server.Set("/slow", slow);
    server.Set("/silent", Reply{"", std::string::npos, 300, false, true});
    tavInternet::FetchUrl(out, server.Url("/cut").c_str());
    EXPECT_EQ(out, cut.body.substr(0, 490));
    tavInternet::FetchUrl(out, server.Url("/slow").c_str());
    EXPECT_EQ(out, slow.body);
    out = "old";
    tavInternet::FetchUrl(out, server.Url("/silent").c_str());
    EXPECT_EQ(out, "");
    tavInternet none;
    none.Close();
    none.Close();
    out = "kept";
    none.Fetch(server.Url("/missing").c_str(), out);
    EXPECT_EQ(out, "kept") << "no handle: nothing happens";
}
