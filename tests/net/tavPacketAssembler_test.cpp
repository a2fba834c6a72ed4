#include "net/tavPacketAssembler.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using tavNet::tavPacketAssembler;
typedef std::vector<uint8_t> Bytes;

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
                           tavPacketAssembler::Result* last = nullptr)
{
    tavPacketAssembler assembler;
    Collect sink;
    size_t from = 0;
    for (size_t i = 0; i <= cuts.size(); ++i)
    {
        const size_t to = i < cuts.size() ? cuts[i] : stream.size();
        const tavPacketAssembler::Result r = assembler.Feed(stream.data() + from, to - from, sink);
        if (last) *last = r;
        from = to;
    }
    return sink.payloads;
}
} // namespace

// Any cut of any stream is the fuzz harness's business; these are the boundaries.
TEST(PacketAssembler, FramesCarryTheTotalLengthFirstUpToTheLargestPayload)
{
    const Bytes ten = Framed(Payload(10, 1));
    EXPECT_EQ(ten, (Bytes{12, 0, 1, 8, 15, 22, 29, 36, 43, 50, 57, 64}));
    const Bytes largest = Payload(tavPacketAssembler::MaxPayload, 3), small = Payload(5, 4);
    const Bytes two = Framed(small, Framed(largest));
    EXPECT_EQ(two[0] + two[1], 0xFF + 0xFF);
    // Cut inside the prefix, inside the payload and inside the second message.
    EXPECT_EQ(FeedCut(two, {1, 2, 300, 0xFFFF + 4}), (std::vector<Bytes>{largest, small}));
    Bytes out = {9, 9};
    const Bytes tooLarge(tavPacketAssembler::MaxPayload + 1);
    EXPECT_FALSE(tavPacketAssembler::Frame(tooLarge.data(), tooLarge.size(), out));
    EXPECT_EQ(out, (Bytes{9, 9}));
}

TEST(PacketAssembler, ALengthBelowTwoBreaksTheStreamUntilReset)
{
    for (uint8_t length : {0, 1})
    {
        const Bytes good = Payload(4, 1);
        Bytes stream = Framed(good);
        stream.insert(stream.end(), {length, 0});
        stream = Framed(Payload(3, 2), stream);
        tavPacketAssembler::Result last;
        EXPECT_EQ(FeedCut(stream, {7}, &last), std::vector<Bytes>{good}) << int(length);
        EXPECT_EQ(last, tavPacketAssembler::Result::BadLength) << int(length);
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

// A reset (the peer went away) drops a partial message; the next stream starts clean.
TEST(PacketAssembler, APartialMessageWaitsAndAResetDropsIt)
{
    tavPacketAssembler assembler;
    Collect sink;
    const uint8_t head[] = {0x10, 0x27, 'a', 'b', 'c'}; // 10000 bytes announced
    assembler.Feed(head, sizeof head, sink);
    EXPECT_EQ(
        std::make_tuple(assembler.IsPartial(), assembler.ExpectedSize(), assembler.BufferedSize()),
        std::make_tuple(true, 9998u, size_t(3)));
    EXPECT_TRUE(sink.payloads.empty());
    assembler.Reset();
    EXPECT_FALSE(assembler.IsPartial());
    const uint8_t next[] = {3, 0, 'z'};
    assembler.Feed(next, 1, sink); // a lone prefix byte is kept, not dropped
    assembler.Feed(next + 1, 2, sink);
    EXPECT_EQ(sink.payloads, std::vector<Bytes>{(Bytes{'z'})});
}
