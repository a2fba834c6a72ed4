#include "net/tavTCPConnecter.h"

namespace tavNet
{

// Hands each whole payload to OnPacket while the connection stands.
class tavTCPConnecter::Deliver : public tavPacketAssembler::Sink
{
public:
    explicit Deliver(tavTCPConnecter& c) : connecter(c) {}
    void OnPayload(const uint8_t* data, uint32_t size) override
    {
        if (connecter.stopped) return; // a callback disconnected: the rest is not wanted
        Packet packet = {1, size, data};
        connecter.CountReceived(size);
        connecter.OnPacket(&packet);
    }

private:
    tavTCPConnecter& connecter;
};

tavTCPConnecter::tavTCPConnecter()
    : stopped(true)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    thread.SetRoutine(ReceiveLoop, this);
    Create();
}

tavTCPConnecter::~tavTCPConnecter()
{
    Disconnect();
    CloseSocket();
    WSACleanup();
}

void tavTCPConnecter::Connect(const char* host, uint16_t port)
{
    if (!host) return;
    Disconnect();
    thread.Join(); // a loop that ended on a peer close may still be leaving
    stats.Zero();
    if (handle == INVALID_SOCKET && !Create()) return;

    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = HostAddress(host);
    if (remote.sin_addr.s_addr == INADDR_NONE ||
        connect(handle, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR)
    {
        // A socket whose connect failed is not reliably usable for another
        // attempt: the next Connect starts from a new one.
        CloseSocket();
        return;
    }
    // A blocking socket whose reads give up after 100 ms, so the receive
    // loop sees a Disconnect in time without a select per read, and whose
    // sends give up on a peer that stopped reading, so neither a sender nor
    // Disconnect can be held forever.
    const DWORD readTimeout = 100, sendTimeout = SendStallMs;
    setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&readTimeout),
               sizeof readTimeout);
    setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
               sizeof sendTimeout);
    assembler.Reset();
    stopped = false;
    OnConnect();
    thread.Start();
}

uint32_t tavTCPConnecter::Send(const void* data, uint32_t size)
{
    tavLockGuard guard(sendLock);
    if (handle == INVALID_SOCKET) return 0;
    return SendCounted(handle, data, size, stats);
}

void tavTCPConnecter::Disconnect()
{
    const bool wasConnected = !stopped.exchange(true);
    if (OnReceiveThread())
    {
        // From a callback: the loop ends after it and drops what it holds.
        CloseSocket();
    }
    else
    {
        // Wakes the loop's select at once instead of at its next timeout.
        if (wasConnected && handle != INVALID_SOCKET) shutdown(handle, SD_BOTH);
        thread.Join();
        assembler.Reset();
        CloseSocket();
    }
    if (wasConnected) OnDisconnect();
}

void tavTCPConnecter::CloseSocket()
{
    tavLockGuard guard(sendLock);
    Close();
}

bool tavTCPConnecter::OnReceiveThread() const
{
    return thread.GetHandle() && GetThreadId(thread.GetHandle()) == GetCurrentThreadId();
}

DWORD WINAPI tavTCPConnecter::ReceiveLoop(void* connecter)
{
    tavTCPConnecter* self = static_cast<tavTCPConnecter*>(connecter);
    while (!self->stopped && self->ReceiveOnce())
    {
    }
    if (self->stopped) self->assembler.Reset();
    return 0;
}

// Waits up to 100 ms for bytes and takes what came; false when the
// connection ended.
bool tavTCPConnecter::ReceiveOnce()
{
    char bytes[ReceiveChunk];
    const int received = recv(handle, bytes, sizeof bytes, 0);
    if (stopped) return false;
    if (received <= 0)
    {
        if (received != 0)
        {
            const int code = WSAGetLastError();
            if (code == WSAETIMEDOUT || code == WSAEWOULDBLOCK)
                return true; // nothing within 100 ms
            OnError(code);
        }
        EndFromPeer();
        return false;
    }
    Deliver deliver(*this);
    if (assembler.Feed(reinterpret_cast<const uint8_t*>(bytes), size_t(received), deliver) ==
        tavPacketAssembler::Result::BadLength)
    {
        EndFromPeer(); // nothing after a length below 2 can be read
        return false;
    }
    return true;
}

// The peer closed, reset or garbled the connection (receive thread).
void tavTCPConnecter::EndFromPeer()
{
    if (stopped.exchange(true)) return; // Disconnect got there first
    assembler.Reset();
    CloseSocket();
    OnDisconnect();
}

} // namespace tavNet
