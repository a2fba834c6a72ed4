#include "net/tavTCPListener.h"

#include <cstdio>

namespace tavNet
{

struct tavTCPListener::SlotState
{
    tavPacketAssembler assembler;
    // Held while a send uses the slot's socket and while the socket is
    // closed, so a send never writes to a socket that was closed (and its
    // number perhaps given to another) under it.
    tavLockedData sendLock;
};

namespace
{
void ClearSlot(ClientSlot& slot)
{
    slot.address.clear();
    slot.port = 0;
    slot.socket = INVALID_SOCKET;
    slot.slot = -1;
    slot.reserved = 0;
}

// Hands each whole payload of one slot to OnReceive.
class SlotSink : public tavPacketAssembler::Sink
{
public:
    SlotSink(tavTCPListener& l, ClientSlot& c) : listener(l), client(c) {}
    void OnPayload(const uint8_t* data, uint32_t size) override
    {
        Packet packet = {1, size, data};
        listener.CountReceived(size);
        listener.OnReceive(&client, &packet);
    }

private:
    tavTCPListener& listener;
    ClientSlot& client;
};
} // namespace

tavTCPListener::tavTCPListener()
    : stop(false), joinMessages(false), nextSlot(0), firstPolled(0), clientCount(0), maxClients(0), clients(nullptr),
      slotStates(nullptr)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    if (Create())
    {
        const BOOL reuse = TRUE;
        setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
                   sizeof reuse);
    }
    thread.SetRoutine(ServerLoop, this);
}

tavTCPListener::~tavTCPListener()
{
    Shutdown();
    Close();
    WSACleanup();
}

bool tavTCPListener::Start(uint16_t port, uint32_t tableSize)
{
    if (tableSize == 0) return false;
    // A listener started again serves only the new table.
    Shutdown();
    stop = false;

    // 1. A fresh client table, every slot free.
    clients = new ClientSlot[tableSize];
    slotStates = new SlotState[tableSize];
    for (uint32_t i = 0; i < tableSize; ++i)
        ClearSlot(clients[i]);
    maxClients = tableSize;
    nextSlot = 0;
    firstPolled = 0;
    clientCount = 0;

    // 2. Bind to the local host and listen.
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = HostAddress("");
    if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
    {
        OnError(WSAGetLastError());
        FreeTable();
        return false;
    }
    if (listen(handle, int(tableSize)) == SOCKET_ERROR)
    {
        OnError(WSAGetLastError());
        return false;
    }

    // 3. Serve.
    thread.Start();
    return true;
}

void tavTCPListener::Shutdown()
{
    stop = true;
    thread.Join();
    CloseClients();
    FreeTable();
}

void tavTCPListener::CloseClients()
{
    for (uint32_t i = 0; clients && i < maxClients; ++i)
    {
        if (clients[i].socket == INVALID_SOCKET) continue;
        tavLockGuard guard(slotStates[i].sendLock);
        closesocket(clients[i].socket);
        ClearSlot(clients[i]);
        slotStates[i].assembler.Reset();
    }
    clientCount = 0;
}

void tavTCPListener::FreeTable()
{
    delete[] clients;
    delete[] slotStates;
    clients = nullptr;
    slotStates = nullptr;
    maxClients = 0;
}

uint32_t tavTCPListener::SendTo(uint32_t slotIndex, const void* data, uint32_t size)
{
    if (!clients || slotIndex >= maxClients) return 0;
    tavLockGuard guard(slotStates[slotIndex].sendLock);
    const ClientSlot& client = clients[slotIndex];
    if (client.slot < 0 || client.socket == INVALID_SOCKET) return 0;
    return SendCounted(client.socket, data, size, stats);
}

uint32_t tavTCPListener::SendToAll(const void* data, uint32_t size)
{
    uint32_t total = 0;
    for (uint32_t i = 0; clients && i < maxClients; ++i)
        if (clients[i].slot >= 0 && clients[i].socket != INVALID_SOCKET)
            total += SendTo(i, data, size);
    return total;
}

ClientSlot* tavTCPListener::GetClients(uint32_t& tableSize) const
{
    tableSize = maxClients;
    return clients;
}

DWORD WINAPI tavTCPListener::ServerLoop(void* listener)
{
    tavTCPListener* self = static_cast<tavTCPListener*>(listener);
    while (!self->stop)
        self->ServePass();
    return 0;
}

// One pass of the server loop: wait up to 100 ms for the listening socket
// or a client to become readable, then accept and read.
void tavTCPListener::ServePass()
{
    // 1. The read set: at most FD_SETSIZE sockets. A full table leaves the
    // listening socket out: the waiting connections stay in the backlog,
    // and select does not wake for them over and over. When the clients in
    // use do not all fit, the next pass starts with the first one left out,
    // so every client gets its turn.
    fd_set read;
    FD_ZERO(&read);
    const bool accepting = clientCount < maxClients;
    if (accepting) FD_SET(handle, &read);
    uint32_t n = 0;
    for (; n < maxClients && read.fd_count < FD_SETSIZE; ++n)
    {
        const uint32_t i = (firstPolled + n) % maxClients;
        if (clients[i].slot >= 0) FD_SET(clients[i].socket, &read);
    }
    if (n < maxClients) firstPolled = (firstPolled + n) % maxClients;

    // 2. Wait.
    timeval timeout = {0, 100000};
    const int ready = select(0, &read, nullptr, nullptr, &timeout);
    if (ready < 0)
    {
        OnError(WSAGetLastError());
        Sleep(100); // a failing select must not spin
        return;
    }
    if (ready == 0) return;

    // 3. Serve what is readable. select keeps only the ready sockets, in
    // order; map each back to its slot.
    for (u_int r = 0; r < read.fd_count; ++r)
    {
        const SOCKET s = read.fd_array[r];
        if (accepting && s == handle)
        {
            if (ClientSlot* client = Accept()) OnAccept(client);
            continue;
        }
        for (uint32_t i = 0; i < maxClients; ++i)
            if (clients[i].socket == s && clients[i].slot >= 0)
            {
                ReceiveFrom(i);
                break;
            }
    }
}

ClientSlot* tavTCPListener::Accept()
{
    if (clientCount == maxClients) return nullptr;
    sockaddr_in peer = {};
    int length = sizeof peer;
    const SOCKET s = accept(handle, reinterpret_cast<sockaddr*>(&peer), &length);
    if (s == INVALID_SOCKET)
    {
        OnError(WSAGetLastError());
        return nullptr;
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) == SOCKET_ERROR)
    {
        OnError(WSAGetLastError());
        closesocket(s);
        return nullptr;
    }
    ++clientCount;
    uint32_t index = nextSlot;
    while (clients[index].slot != -1)
        index = (index + 1) % maxClients;
    nextSlot = index;

    tavLockGuard guard(slotStates[index].sendLock);
    ClientSlot& client = clients[index];
    const uint8_t* a = reinterpret_cast<const uint8_t*>(&peer.sin_addr);
    char dotted[16];
    std::snprintf(dotted, sizeof dotted, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    client.address = dotted;
    client.port = ntohs(peer.sin_port);
    client.socket = s;
    client.reserved = 0;
    client.slot = int32_t(index);
    return &client;
}

void tavTCPListener::ReceiveFrom(uint32_t index)
{
    char bytes[ReceiveChunk];
    const int want = joinMessages ? ReceiveChunk : PacketRead;
    const int received = recv(clients[index].socket, bytes, want, 0);
    if (received <= 0)
    {
        if (received != 0)
        {
            const int code = WSAGetLastError();
            if (code == WSAEWOULDBLOCK) return;
            OnError(code);
        }
        Drop(index);
        return;
    }
    if (joinMessages)
    {
        ReceiveJoined(index, bytes, received);
        return;
    }
    // One read is one packet: the bytes after its length prefix.
    const int prefix = int(tavPacketAssembler::PrefixSize);
    if (received <= prefix) return;
    Packet packet = {1, uint32_t(received - prefix), reinterpret_cast<const uint8_t*>(bytes) + prefix};
    CountReceived(packet.size);
    OnReceive(&clients[index], &packet);
}

void tavTCPListener::ReceiveJoined(uint32_t index, const char* bytes, int received)
{
    SlotSink sink(*this, clients[index]);
    const tavPacketAssembler::Result result = slotStates[index].assembler.Feed(
        reinterpret_cast<const uint8_t*>(bytes), size_t(received), sink);
    // A length below 2 leaves no way to find the next message.
    if (result == tavPacketAssembler::Result::BadLength) Drop(index);
}

void tavTCPListener::Drop(uint32_t index)
{
    OnDisconnect(&clients[index]);
    tavLockGuard guard(slotStates[index].sendLock);
    closesocket(clients[index].socket);
    --clientCount;
    ClearSlot(clients[index]);
    slotStates[index].assembler.Reset();
}

} // namespace tavNet
