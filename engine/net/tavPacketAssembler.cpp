#include "net/tavPacketAssembler.h"

#include <algorithm>
#include <cstring>

namespace tavNet
{

bool tavPacketAssembler::Frame(const void* data, size_t size, std::vector<uint8_t>& out)
{
    if (size > MaxPayload) return false;
    const size_t total = size + PrefixSize;
    out.resize(total);
    out[0] = uint8_t(total & 0xFF);
    out[1] = uint8_t(total >> 8);
    if (size) std::memcpy(out.data() + PrefixSize, data, size);
    return true;
}

void tavPacketAssembler::Reset()
{
    prefixBytes = 0;
    expectedSize = 0;
    receiveBuffer.clear();
    receiveBuffer.shrink_to_fit();
    broken = false;
}

// Collects what is missing of the length prefix; returns the bytes used.
size_t tavPacketAssembler::TakePrefix(const uint8_t* bytes, size_t size)
{
    const size_t used = std::min(size, PrefixSize - prefixBytes);
    std::memcpy(prefix + prefixBytes, bytes, used);
    prefixBytes += used;
    return used;
}

tavPacketAssembler::Result tavPacketAssembler::Feed(const uint8_t* bytes, size_t size, Sink& sink)
{
    while (size > 0 && !broken)
    {
        // 1. A message starts: its length first, which may itself be split.
        if (prefixBytes < PrefixSize)
        {
            const size_t taken = TakePrefix(bytes, size);
            bytes += taken;
            size -= taken;
            if (prefixBytes < PrefixSize) break;
            const uint32_t total = uint32_t(prefix[0]) | uint32_t(prefix[1]) << 8;
            if (total < PrefixSize)
            {
                broken = true;
                break;
            }
            expectedSize = total - uint32_t(PrefixSize);
            if (expectedSize == 0)
            {
                prefixBytes = 0;
                continue;
            }
            // 2. The whole payload is at hand: hand it out where it lies.
            if (size >= expectedSize)
            {
                sink.OnPayload(bytes, expectedSize);
                bytes += expectedSize;
                size -= expectedSize;
                prefixBytes = 0;
                expectedSize = 0;
                continue;
            }
            receiveBuffer.reserve(expectedSize);
        }
        // 3. Part of a payload: keep it until the rest arrives.
        const size_t used = std::min(size, size_t(expectedSize) - receiveBuffer.size());
        receiveBuffer.insert(receiveBuffer.end(), bytes, bytes + used);
        bytes += used;
        size -= used;
        if (receiveBuffer.size() == expectedSize)
        {
            sink.OnPayload(receiveBuffer.data(), expectedSize);
            receiveBuffer.clear();
            prefixBytes = 0;
            expectedSize = 0;
        }
    }
    return broken ? Result::BadLength : Result::Ok;
}

} // namespace tavNet
