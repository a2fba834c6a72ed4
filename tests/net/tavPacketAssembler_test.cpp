#include "net/tavPacketAssembler.h"

#include <gtest/gtest.h>

#include <vector>

using tavNet::tavPacketAssembler;

namespace
{
typedef std::vector<uint8_t> Bytes;

struct Collect : tavPacketAssembler::Sink
{
    std::vector<Bytes> payloads;
    void OnPayload(const uint8_t* data, uint32_t size) override
    {
        payloads.emplace_back(data, data + size);
    }
};

Bytes Framed(const Bytes& payload)
{
    Bytes out;
    EXPECT_TRUE(tavPacketAssembler::Frame(payload.data(), payload.size(), out));
    return out;
}

Bytes Payload(size_t size, uint8_t seed)
{
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = uint8_t(seed + i * 7);
    return b;
}

// Feeds `stream` cut at the given offsets (ascending).
std::vector<Bytes> FeedCut(const Bytes& stream, const std::vector<size_t>& cuts,
                           tavPacketAssembler::Result* last = nullptr)
{
    tavPacketAssembler assembler;
    Collect sink;
    size_t from = 0;
    tavPacketAssembler::Result r = tavPacketAssembler::Result::Ok;
    for (size_t i = 0; i <= cuts.size(); ++i)
    {
        const size_t to = i < cuts.size() ? cuts[i] : stream.size();
        r = assembler.Feed(stream.data() + from, to - from, sink);
        from = to;
    }
    if (last) *last = r;
    return sink.payloads;
}
} // namespace

TEST(PacketAssembler, TenBytesGoOutAsTwelveStartingWithTheLengthTwelve)
{
    const Bytes framed = Framed(Payload(10, 1));
    ASSERT_EQ(framed.size(), 12u);
    EXPECT_EQ(framed[0], 12);
    EXPECT_EQ(framed[1], 0);
    EXPECT_EQ(Bytes(framed.begin() + 2, framed.end()), Payload(10, 1));
}

TEST(PacketAssembler, TheLargestPayloadFillsTheLengthAndOneMoreIsRefused)
{
    const Bytes largest = Payload(tavPacketAssembler::MaxPayload, 3);
    const Bytes framed = Framed(largest);
    EXPECT_EQ(framed[0], 0xFF);
    EXPECT_EQ(framed[1], 0xFF);
    // Cut anywhere, and a second message after it, itself cut: each
    // payload comes out whole and alone.
    Bytes two = framed;
    const Bytes small = Payload(5, 4), framedSmall = Framed(small);
    two.insert(two.end(), framedSmall.begin(), framedSmall.end());
    EXPECT_EQ(FeedCut(two, {1, 2, 300, framed.size() + 4}), (std::vector<Bytes>{largest, small}));

    Bytes out = {9, 9};
    const Bytes tooLarge(tavPacketAssembler::MaxPayload + 1);
    EXPECT_FALSE(tavPacketAssembler::Frame(tooLarge.data(), tooLarge.size(), out));
    EXPECT_EQ(out, (Bytes{9, 9}));
}

// Any cut of any stream is the fuzz harness's business (tests/fuzz/packets_fuzz.cpp);
// these are the boundaries.
TEST(PacketAssembler, ALengthBelowTwoBreaksTheStreamUntilReset)
{
    for (uint8_t length : {0, 1})
    {
        const Bytes good = Payload(4, 1);
        Bytes stream = Framed(good);
        stream.insert(stream.end(), {length, 0});
        const Bytes more = Framed(Payload(3, 2));
        stream.insert(stream.end(), more.begin(), more.end());

        tavPacketAssembler::Result last;
        EXPECT_EQ(FeedCut(stream, {7}), std::vector<Bytes>{good});
        FeedCut(stream, {}, &last);
        EXPECT_EQ(last, tavPacketAssembler::Result::BadLength);
    }
    tavPacketAssembler assembler;
    Collect sink;
    const uint8_t bad[] = {1, 0, 5, 0, 1, 2, 3};
    EXPECT_EQ(assembler.Feed(bad, sizeof bad, sink), tavPacketAssembler::Result::BadLength);
    EXPECT_EQ(assembler.Feed(bad + 2, 5, sink), tavPacketAssembler::Result::BadLength);
    EXPECT_TRUE(sink.payloads.empty());
    assembler.Reset();
    EXPECT_EQ(assembler.Feed(bad + 2, 5, sink), tavPacketAssembler::Result::Ok);
    EXPECT_EQ(sink.payloads, std::vector<Bytes>{(Bytes{1, 2, 3})});
}

// A length larger than what follows waits for the rest; a reset (the peer
// went away) drops the partial message and the next stream starts clean.
TEST(PacketAssembler, APartialMessageWaitsAndAResetDropsIt)
{
    tavPacketAssembler assembler;
    Collect sink;
    const uint8_t head[] = {0x10, 0x27, 'a', 'b', 'c'}; // 10000 bytes announced
    assembler.Feed(head, sizeof head, sink);
    EXPECT_TRUE(assembler.IsPartial());
    EXPECT_EQ(assembler.ExpectedSize(), 9998u);
    EXPECT_EQ(assembler.BufferedSize(), 3u);
    EXPECT_TRUE(sink.payloads.empty());

    assembler.Reset();
    EXPECT_FALSE(assembler.IsPartial());
    const uint8_t next[] = {3, 0, 'z'};
    assembler.Feed(next, 1, sink); // a lone prefix byte is kept, not dropped
    assembler.Feed(next + 1, 2, sink);
    EXPECT_EQ(sink.payloads, std::vector<Bytes>{(Bytes{'z'})});
}
