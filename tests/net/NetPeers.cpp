#include "NetPeers.h"

#include <tlhelp32.h>

namespace nettest
{
const char* const NoLoopbackHost = "the local host is not 127.0.0.1 here (no network namespace)";

bool LocalHostIsLoopback()
{
    WinsockScope winsock; // the resolver needs Winsock started
    return tavNet::tavSocket::HostAddress("") == htonl(INADDR_LOOPBACK);
}

uint16_t FreePort()
{
    uint16_t port = 0;
    closesocket(RawListen(port));
    return port;
}

SOCKET RawConnect(uint16_t port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == SOCKET_ERROR)
        closesocket(s), s = INVALID_SOCKET;
    return s;
}

SOCKET RawListen(uint16_t& port)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    listen(s, 8);
    int length = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    return s;
}

bool RawSend(SOCKET s, const Bytes& bytes)
{
    int n = 1;
    for (size_t sent = 0; sent < bytes.size() && n > 0; sent += size_t(n))
        n = send(s, reinterpret_cast<const char*>(bytes.data() + sent), int(bytes.size() - sent),
                 0);
    return n > 0;
}

Bytes RawReceive(SOCKET s, size_t n, int ms)
{
    Bytes out;
    const DWORD timeout = DWORD(ms);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    char buffer[4096];
    for (int got = 1; out.size() < n && got > 0;)
        if ((got = recv(s, buffer, int(std::min(sizeof buffer, n - out.size())), 0)) > 0)
            out.insert(out.end(), buffer, buffer + got);
    return out;
}

// GetProcessHandleCount answers 0 under Wine; the system's handle list
// (SystemHandleInformation) is filled in on both.
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

} // namespace nettest
