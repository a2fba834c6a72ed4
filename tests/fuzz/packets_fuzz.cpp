// The tavNet wire format: any byte stream, cut into pieces anywhere, gives
// exactly the payloads a plain reading of the whole stream gives, in order,
// and ends broken exactly where a length below 2 stands. The first bytes of
// the input choose where the stream is cut.
#include "net/tavPacketAssembler.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
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
        if (size == 0 || size > tavPacketAssembler::MaxPayload) abort();
        payloads.emplace_back(data, data + size);
    }
};

// Message by message over the whole stream, the obvious way.
std::vector<Bytes> PlainReading(const Bytes& s, bool& broken, bool& partial)
{
    std::vector<Bytes> out;
    size_t at = 0;
    broken = partial = false;
    while (at < s.size())
    {
        if (at + 2 > s.size())
        {
            partial = true;
            break;
        }
        const size_t total = s[at] | s[at + 1] << 8;
        if (total < 2)
        {
            broken = true;
            break;
        }
        if (at + total > s.size())
        {
            partial = true;
            break;
        }
        if (total > 2) out.emplace_back(s.begin() + at + 2, s.begin() + at + total);
        at += total;
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::vector<size_t> pieces(in.ConsumeIntegralInRange<size_t>(0, 16));
    for (size_t& p : pieces)
        p = in.ConsumeIntegralInRange<size_t>(0, 300);
    const Bytes stream = in.ConsumeRemainingBytes<uint8_t>();

    bool broken, partial;
    const std::vector<Bytes> expected = PlainReading(stream, broken, partial);

    tavPacketAssembler assembler;
    Collect sink;
    size_t at = 0;
    tavPacketAssembler::Result result = tavPacketAssembler::Result::Ok;
    for (size_t i = 0; at < stream.size(); ++i)
    {
        const size_t n =
            i < pieces.size() ? std::min(pieces[i], stream.size() - at) : stream.size() - at;
        result = assembler.Feed(stream.data() + at, n, sink);
        at += n;
    }
    if (sink.payloads != expected) abort();
    if ((result == tavPacketAssembler::Result::BadLength) != broken ||
        assembler.IsBroken() != broken)
        abort();
    if (!broken && assembler.IsPartial() != partial) abort();
    if (assembler.BufferedSize() > tavPacketAssembler::MaxPayload) abort();
    return 0;
}
