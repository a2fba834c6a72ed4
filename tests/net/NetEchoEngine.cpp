#include "NetEchoEngine.h"

#include "net/tavErrorText.h"
#include "net/tavTCPConnecter.h"
#include "net/tavTCPListener.h"

#include <cstdio>
#include <string>

const char* const NetEchoEngine::Greeting = "hello over tavNet";

namespace
{
const uint32_t Green = 0xFF60FF60, Red = 0xFFFF4040;

// Sends every packet back to the client it came from (server thread).
class EchoListener : public tavNet::tavTCPListener
{
public:
    ~EchoListener() override { Shutdown(); }
    void OnReceive(tavNet::ClientSlot* client, tavNet::Packet* packet) override
    {
        SendTo(uint32_t(client->slot), packet->data, packet->size);
    }
    void OnError(int code) override { lastError = code; }
    int lastError = 0;
};

// Keeps the first packet back and signals it (receive thread).
class EchoConnecter : public tavNet::tavTCPConnecter
{
public:
    EchoConnecter() : arrived(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~EchoConnecter() override
    {
        Disconnect();
        CloseHandle(arrived);
    }
    void OnPacket(tavNet::Packet* packet) override
    {
        if (WaitForSingleObject(arrived, 0) == WAIT_OBJECT_0) return;
        reply.assign(reinterpret_cast<const char*>(packet->data), packet->size);
        SetEvent(arrived);
    }
    HANDLE arrived;
    std::string reply;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}
} // namespace

HRESULT NetEchoEngine::GameInitialize()
{
    BindFunction("netecho", NetEchoCommand, 1);
    return TestEngine::GameInitialize();
}

void NetEchoEngine::Report(uint32_t colour, const std::string& line)
{
    Print(line.c_str(), colour);
    Write(line);
}

void NetEchoEngine::OnCommandInts(uint32_t id, int port, int, int)
{
    if (id != NetEchoCommand) return;
    // 1. A listener on the local host.
    EchoListener listener;
    listener.JoinMessages(true);
    if (port <= 0 || port > 65535 || !listener.Start(uint16_t(port), 4))
    {
        Report(Red, "netecho: cannot listen on port " + std::to_string(port) + " (" +
                        tavNet::ErrorText(listener.lastError) + ")");
        return;
    }
    Report(Green, "netecho: listening on port " + std::to_string(port));

    // 2. A connecter to it, on loopback.
    EchoConnecter connecter;
    connecter.Connect("127.0.0.1", uint16_t(port));
    if (!connecter.IsConnected())
    {
        Report(Red, "netecho: cannot connect to 127.0.0.1:" + std::to_string(port));
        return;
    }

    // 3. One line there and back.
    LARGE_INTEGER sent, back;
    QueryPerformanceCounter(&sent);
    const uint32_t wire = connecter.Send(Greeting, uint32_t(strlen(Greeting)));
    const bool arrived = WaitForSingleObject(connecter.arrived, 2000) == WAIT_OBJECT_0;
    QueryPerformanceCounter(&back);
    if (!arrived || connecter.reply != Greeting)
    {
        Report(Red, "netecho: no echo within 2 s");
        return;
    }
    char line[160];
    std::snprintf(line, sizeof line, "netecho: \"%s\" came back (%u bytes on the wire) in %.2f ms",
                  connecter.reply.c_str(), wire, Milliseconds(sent, back));
    Report(Green, line);
    uint32_t bytesSent, calls, extra, received, packets;
    listener.GetStats(bytesSent, calls, extra, received, packets);
    std::snprintf(line, sizeof line,
                  "netecho: listener received %u packet(s), %u bytes; sent %u bytes", packets,
                  received, bytesSent);
    Report(Green, line);
}
