// Downloads from a small HTTP server of the test's own on 127.0.0.1 (inside
// the network namespace of scripts/netns-run.sh, so nothing can go further).
#include "NetPeers.h"
#include "TinyHttpServer.h"

#include "net/tavInternet.h"

#include <gtest/gtest.h>

#include <random>

using nettest::TinyHttpServer;

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

TinyHttpServer::Reply Body(const std::string& body)
{
    TinyHttpServer::Reply r;
    r.body = body;
    return r;
}

} // namespace

// A small page (100 bytes: pieces of 49, 49 and 2) and a 3 MB one come back
// whole and byte for byte, through the kept handle and the one-call form.
// The body is text: a zero byte ends its 49-byte piece; the next piece is
// kept from its start.
TEST(Internet, SmallAndLargeBodiesArriveWholeAndAZeroByteEndsItsPieceOnly)
{
    TinyHttpServer server;
    const std::string small = Text(100, 1), large = Text(3 << 20, 2);
    server.Set("/small.txt", Body(small));
    server.Set("/large.txt", Body(large));

    tavInternet net;
    ASSERT_NE(net.internet, nullptr);
    std::string out = "left over";
    net.Fetch(server.Url("/small.txt").c_str(), out);
    EXPECT_EQ(out, small);
    net.Fetch(server.Url("/large.txt").c_str(), out);
    EXPECT_TRUE(out == large) << "got " << out.size() << " bytes of " << large.size();

    EXPECT_TRUE(tavInternet::FetchUrl(out, server.Url("/small.txt").c_str()));
    EXPECT_EQ(out, small);
    // Twice the same URL: both from the server, never from the cache.
    EXPECT_EQ(server.Requests(), 3);
    server.Set("/small.txt", Body("changed"));
    net.Fetch(server.Url("/small.txt").c_str(), out);
    EXPECT_EQ(out, "changed");

    std::string zero = Text(100, 3);
    zero[10] = '\0';
    server.Set("/zero", Body(zero));
    tavInternet::FetchUrl(out, server.Url("/zero").c_str());
    EXPECT_EQ(out, zero.substr(0, 10) + zero.substr(49));
}

// No failure is reported: a 404 gives the server's page like any other, a
// closed port, an unknown scheme or a server that never answers gives
// nothing, and a server that stops mid-body leaves what came before.
TEST(Internet, FailuresLeaveNothingOrWhatCameSoFarAndAStallIsWaitedFor)
{
    TinyHttpServer server;
    std::string out = "old";
    EXPECT_TRUE(tavInternet::FetchUrl(out, server.Url("/missing").c_str()));
    EXPECT_EQ(out, "no such page");

    const DWORD start = GetTickCount();
    out = "old";
    nettest::WinsockScope winsock;
    EXPECT_TRUE(tavInternet::FetchUrl(
        out, ("http://127.0.0.1:" + std::to_string(nettest::FreePort()) + "/").c_str()));
    EXPECT_EQ(out, "");
    EXPECT_LT(GetTickCount() - start, 5000u) << "a refused connection fails at once";

    out = "old";
    tavInternet::FetchUrl(out, "nonsense://127.0.0.1/");
    EXPECT_EQ(out, "");

    TinyHttpServer::Reply cut = Body(Text(1000, 4));
    cut.breakAt = 490;
    cut.closeAtBreak = true;
    server.Set("/cut", cut);
    tavInternet::FetchUrl(out, server.Url("/cut").c_str());
    EXPECT_EQ(out, cut.body.substr(0, 490));

    tavInternet none;
    none.Close();
    none.Close();
    out = "kept";
    none.Fetch(server.Url("/missing").c_str(), out);
    EXPECT_EQ(out, "kept") << "no handle: nothing happens";

    // A server that pauses in the middle of the body is waited for; one that
    // reads the request and hangs up without an answer gives nothing.
    TinyHttpServer::Reply slow = Body(Text(5000, 5));
    slow.breakAt = 2000;
    slow.pauseMs = 600;
    server.Set("/slow", slow);
    tavInternet::FetchUrl(out, server.Url("/slow").c_str());
    EXPECT_EQ(out, slow.body);

    TinyHttpServer::Reply silent;
    silent.noAnswer = true;
    silent.pauseMs = 300;
    server.Set("/silent", silent);
    out = "old";
    tavInternet::FetchUrl(out, server.Url("/silent").c_str());
    EXPECT_EQ(out, "");
}
