#include "net/tavSocket.h"

#include "net/tavPacketAssembler.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace tavNet
{

namespace
{
// True when `socket` can take more bytes within `timeoutMs`.
bool WaitWritable(SOCKET socket, DWORD timeoutMs)
{
    fd_set write;
    FD_ZERO(&write);
    FD_SET(socket, &write);
    timeval timeout = {long(timeoutMs / 1000), long(timeoutMs % 1000) * 1000};
    return select(0, nullptr, &write, nullptr, &timeout) == 1;
}
} // namespace

void TrafficStats::CountSent(uint32_t bytes, uint32_t calls)
{
    if (calls > 0) extraSendCalls += calls - 1;
    sendCalls += calls;
    bytesSent += bytes;
}

void TrafficStats::CountReceived(uint32_t bytes)
{
    ++packetsReceived;
    bytesReceived += bytes;
}

void TrafficStats::Get(uint32_t& sent, uint32_t& calls, uint32_t& extraCalls,
                       uint32_t& received, uint32_t& packets) const
{
    sent = bytesSent;
    calls = sendCalls;
    extraCalls = extraSendCalls;
    received = bytesReceived;
    packets = packetsReceived;
}

void TrafficStats::Zero()
{
    bytesSent = sendCalls = extraSendCalls = bytesReceived = packetsReceived = 0;
}

bool tavSocket::Create()
{
    handle = socket(AF_INET, type, protocol);
    return handle != INVALID_SOCKET;
}

void tavSocket::Close()
{
    if (handle == INVALID_SOCKET) return;
    closesocket(handle);
    handle = INVALID_SOCKET;
}

unsigned long tavSocket::HostAddress(const char* name)
{
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
        return INADDR_NONE;
    return reinterpret_cast<const in_addr*>(host->h_addr_list[0])->s_addr;
}

int tavSocket::GetHostName(char* buffer, int length)
{
    return gethostname(buffer, length);
}

tavSocket::SendResult tavSocket::SendMessageOn(SOCKET socket, const void* data, size_t size)
{
    SendResult result = {0, 0};
    std::vector<uint8_t> message;
    if (!tavPacketAssembler::Frame(data, size, message)) return result;
    const char* bytes = reinterpret_cast<const char*>(message.data());
    size_t left = message.size();
    while (left > 0)
    {
        const int sent =
            send(socket, bytes + result.bytes, int(std::min<size_t>(left, INT_MAX)), 0);
        if (sent == SOCKET_ERROR)
        {
            if (WSAGetLastError() == WSAEWOULDBLOCK && WaitWritable(socket, SendStallMs)) continue;
            break;
        }
        result.bytes += uint32_t(sent);
        left -= size_t(sent);
        ++result.calls;
    }
    if (left > 0 && result.bytes > 0) shutdown(socket, SD_BOTH);
    return result;
}

uint32_t tavSocket::SendCounted(SOCKET socket, const void* data, size_t size, TrafficStats& stats)
{
    const SendResult sent = SendMessageOn(socket, data, size);
    stats.CountSent(sent.bytes, sent.calls);
    return sent.bytes;
}

} // namespace tavNet
