#include "NetPeers.h"

#include <tlhelp32.h>

#include <chrono>

namespace nettest
{
using tavNet::ClientSlot;
using tavNet::Packet;

bool WaitUntil(std::mutex& lock, std::condition_variable& changed, int ms,
               const std::function<bool()>& done)
{
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, std::chrono::milliseconds(ms), done);
}

void RecordingListener::OnAccept(ClientSlot* client)
{
    std::lock_guard<std::mutex> hold(lock);
    accepted.push_back(client->slot);
    changed.notify_all();
}

void RecordingListener::OnDisconnect(ClientSlot* client)
{
    std::lock_guard<std::mutex> hold(lock);
    disconnected.push_back(client->slot);
    changed.notify_all();
}

void RecordingListener::OnReceive(ClientSlot* client, Packet* packet)
{
    if (onReceive)
    {
        onReceive(client, packet);
        return;
    }
    std::lock_guard<std::mutex> hold(lock);
    packets.emplace_back(client->slot, Bytes(packet->data, packet->data + packet->size));
    changed.notify_all();
}

void RecordingListener::OnError(int code)
{
    std::lock_guard<std::mutex> hold(lock);
    errors.push_back(code);
    changed.notify_all();
}

bool RecordingListener::WaitAccepts(size_t n, int ms)
{
    return WaitUntil(lock, changed, ms, [&] { return accepted.size() >= n; });
}

bool RecordingListener::WaitDisconnects(size_t n, int ms)
{
    return WaitUntil(lock, changed, ms, [&] { return disconnected.size() >= n; });
}

bool RecordingListener::WaitPackets(size_t n, int ms)
{
    return WaitUntil(lock, changed, ms, [&] { return packets.size() >= n; });
}

bool RecordingListener::WaitClientCount(uint32_t n, int ms)
{
    for (int waited = 0; GetClientCount() != n && waited < ms; waited += 5)
        Sleep(5);
    return GetClientCount() == n;
}

void RecordingConnecter::OnConnect()
{
    std::lock_guard<std::mutex> hold(lock);
    ++connects;
    changed.notify_all();
}

void RecordingConnecter::OnDisconnect()
{
    std::lock_guard<std::mutex> hold(lock);
    ++disconnects;
    changed.notify_all();
}

void RecordingConnecter::OnPacket(Packet* packet)
{
    if (onPacket)
    {
        onPacket(packet);
        return;
    }
    std::lock_guard<std::mutex> hold(lock);
    packets.emplace_back(packet->data, packet->data + packet->size);
    changed.notify_all();
}

void RecordingConnecter::OnError(int code)
{
    std::lock_guard<std::mutex> hold(lock);
    errors.push_back(code);
    changed.notify_all();
}

bool RecordingConnecter::WaitPackets(size_t n, int ms)
{
    return WaitUntil(lock, changed, ms, [&] { return packets.size() >= n; });
}

bool RecordingConnecter::WaitDisconnects(size_t n, int ms)
{
    return WaitUntil(lock, changed, ms, [&] { return size_t(disconnects) >= n; });
}

namespace
{
sockaddr_in Loopback(uint16_t port)
{
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}
} // namespace

const char* const NoLoopbackHost = "the local host is not 127.0.0.1 here (no network namespace)";

bool LocalHostIsLoopback()
{
    WinsockScope winsock; // the resolver needs Winsock started
    return tavNet::tavSocket::HostAddress("") == htonl(INADDR_LOOPBACK);
}

uint16_t FreePort()
{
    uint16_t port = 0;
    const SOCKET s = RawListen(port);
    closesocket(s);
    return port;
}

SOCKET RawConnect(uint16_t port)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in a = Loopback(port);
    if (connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == SOCKET_ERROR)
    {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

SOCKET RawListen(uint16_t& port)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    listen(s, 8);
    int length = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    return s;
}

bool RawSend(SOCKET s, const Bytes& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size())
    {
        const int n = send(s, reinterpret_cast<const char*>(bytes.data() + sent),
                           int(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += size_t(n);
    }
    return true;
}

Bytes RawReceive(SOCKET s, size_t n, int ms)
{
    Bytes out;
    const DWORD timeout = DWORD(ms);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    char buffer[4096];
    while (out.size() < n)
    {
        const int got = recv(s, buffer, int(std::min(sizeof buffer, n - out.size())), 0);
        if (got <= 0) break;
        out.insert(out.end(), buffer, buffer + got);
    }
    return out;
}

// GetProcessHandleCount answers 0 under Wine; the system's handle list
// (class 16, SystemHandleInformation) is filled in on both.
uint32_t HandleCount()
{
    struct Entry
    {
        ULONG ownerPid;
        BYTE objectType, flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    typedef LONG(WINAPI * Query)(ULONG, PVOID, ULONG, PULONG);
    const Query query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<uint8_t> buffer(1 << 20);
    ULONG needed = 0;
    while (query(16, buffer.data(), ULONG(buffer.size()), &needed) == LONG(0xC0000004))
        buffer.resize(buffer.size() * 2);
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    uint32_t mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == GetCurrentProcessId()) ++mine;
    return mine;
}

uint32_t ThreadCount()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    uint32_t count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

WinsockScope::WinsockScope()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
}

WinsockScope::~WinsockScope()
{
    WSACleanup();
}
} // namespace nettest
