// The wire format's boundaries; any cut of any stream is the fuzz harness's business.
#include "net/tavPacketAssembler.h"

#include <gtest/gtest.h>

#include <vector>

using tavNet::tavPacketAssembler;
typedef std::vector<uint8_t> Bytes;
typedef tavPacketAssembler::Result Result;

namespace
{
struct Collect : tavPacketAssembler::Sink
{
    std::vector<Bytes> payloads;
    void OnPayload(const uint8_t* data, uint32_t size) override
    {
        payloads.emplace_back(data, data + size);
    }
};

Bytes Payload(size_t size, uint8_t seed)
{
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = uint8_t(seed + i * 7);
    return b;
}

// `payload` framed, after `before`.
Bytes Framed(const Bytes& payload, Bytes before = {})
{
    Bytes out;
    EXPECT_TRUE(tavPacketAssembler::Frame(payload.data(), payload.size(), out));
    before.insert(before.end(), out.begin(), out.end());
    return before;
}

// Feeds `stream` cut at the given ascending offsets; the last Feed's result in `last`.
std::vector<Bytes> FeedCut(const Bytes& stream, const std::vector<size_t>& cuts,
                           Result* last = nullptr)
{
    tavPacketAssembler assembler;
    Collect sink;
    for (size_t i = 0, from = 0; i <= cuts.size(); ++i)
    {
        const size_t to = i < cuts.size() ? cuts[i] : stream.size();
        const Result r = assembler.Feed(stream.data() + from, to - from, sink);
        if (last) *last = r;
        from = to;
    }
    return sink.payloads;
}
} // namespace

TEST(PacketAssembler, FramesCarryTheTotalLengthFirstUpToTheLargestPayload)
{
    EXPECT_EQ(Framed(Payload(10, 1)), (Bytes{12, 0, 1, 8, 15, 22, 29, 36, 43, 50, 57, 64}));
    const Bytes largest = Payload(tavPacketAssembler::MaxPayload, 3), small = Payload(5, 4);
    const Bytes two = Framed(small, Framed(largest));
    EXPECT_EQ(two[0] + two[1], 0xFF + 0xFF);
    // Cut inside the prefix, inside the payload and inside the second message.
    EXPECT_EQ(FeedCut(two, {1, 2, 300, 0xFFFF + 4}), (std::vector<Bytes>{largest, small}));
    Bytes out = {9, 9};
    const Bytes tooLarge(tavPacketAssembler::MaxPayload + 1);
    EXPECT_FALSE(tavPacketAssembler::Frame(tooLarge.data(), tooLarge.size(), out));
    EXPECT_EQ(out, (Bytes{9, 9}));
    // A partial message waits; a reset (the peer went away) drops it, and a lone
    // prefix byte of the next stream is kept.
    tavPacketAssembler assembler;
    Collect sink;
    const uint8_t head[] = {0x10, 0x27, 'a', 'b', 'c'}, next[] = {3, 0, 'z'}; // 10000 announced
    assembler.Feed(head, sizeof head, sink);
    EXPECT_TRUE(assembler.IsPartial() && sink.payloads.empty());
    EXPECT_EQ(std::make_pair(assembler.ExpectedSize(), assembler.BufferedSize()),
              std::make_pair(9998u, size_t(3)));
    assembler.Reset();
    EXPECT_FALSE(assembler.IsPartial());
    assembler.Feed(next, 1, sink);
    assembler.Feed(next + 1, 2, sink);
    EXPECT_EQ(sink.payloads, std::vector<Bytes>{(Bytes{'z'})});
}

TEST(PacketAssembler, ALengthBelowTwoBreaksTheStreamUntilReset)
{
    for (uint8_t length : {0, 1})
    {
        const Bytes good = Payload(4, 1);
        Bytes stream = Framed(good);
        stream.insert(stream.end(), {length, 0});
        Result last;
        EXPECT_EQ(FeedCut(Framed(Payload(3, 2), stream), {7}, &last), std::vector<Bytes>{good});
        EXPECT_EQ(last, Result::BadLength) << int(length);
    }
    tavPacketAssembler assembler;
    Collect sink;
    const uint8_t bad[] = {1, 0, 5, 0, 1, 2, 3};
    EXPECT_EQ(assembler.Feed(bad, sizeof bad, sink), Result::BadLength);
    EXPECT_EQ(assembler.Feed(bad + 2, 5, sink), Result::BadLength);
    EXPECT_TRUE(sink.payloads.empty());
    assembler.Reset();
    EXPECT_EQ(assembler.Feed(bad + 2, 5, sink), Result::Ok);
    EXPECT_EQ(sink.payloads, std::vector<Bytes>{(Bytes{1, 2, 3})});
}
