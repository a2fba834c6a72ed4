#pragma once
// The tavNet wire format and its reassembly. A message is a 16-bit
// little-endian total length (the two length bytes included), then
// total - 2 payload bytes. TCP hands the bytes over in pieces of its own
// choosing: one recv may end inside a length prefix, inside a payload, or
// carry several messages. The assembler takes the pieces in order and hands
// out each payload whole, once, in order. Portable: no Windows headers.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavNet
{

class tavPacketAssembler
{
public:
    static constexpr size_t PrefixSize = 2;
    // The largest payload a 16-bit total length can carry.
    static constexpr size_t MaxPayload = 0xFFFF - PrefixSize;

    // Receives each whole payload. `data` is valid only during the call.
    class Sink
    {
    public:
        virtual void OnPayload(const uint8_t* data, uint32_t size) = 0;

    protected:
        ~Sink() = default;
    };

    enum class Result
    {
        Ok,
        // A total length below 2: no message can be that short, and nothing
        // after it can be trusted to start a message. The stream is dead
        // until Reset; the peer should be dropped.
        BadLength,
    };

    // Writes one message for `size` payload bytes into `out` (replacing its
    // contents). False, and `out` untouched, when the payload is larger than
    // MaxPayload: its length would not fit the prefix.
    static bool Frame(const void* data, size_t size, std::vector<uint8_t>& out);

    // Takes the next bytes of the stream. Every payload completed by them
    // goes to `sink` before Feed returns; a message of total length 2 (no
    // payload) is consumed and delivers nothing. A piece that ends inside a
    // message is kept until the rest arrives.
    Result Feed(const uint8_t* bytes, size_t size, Sink& sink);

    // Forgets a partial message (a disconnect drops it) and a broken stream.
    void Reset();

    bool IsBroken() const { return broken; }
    // True while a message has begun and not yet ended.
    bool IsPartial() const { return prefixBytes != 0; }
    // Payload bytes of the message being collected (0 when none is).
    uint32_t ExpectedSize() const { return expectedSize; }
    size_t BufferedSize() const { return receiveBuffer.size(); }

private:
    size_t TakePrefix(const uint8_t* bytes, size_t size);

    uint8_t prefix[PrefixSize] = {0, 0};
    size_t prefixBytes = 0; // 0, 1 or 2 bytes of the current prefix at hand
    uint32_t expectedSize = 0;
    std::vector<uint8_t> receiveBuffer; // a payload split across pieces
    bool broken = false;
};

} // namespace tavNet
