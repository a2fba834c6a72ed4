#include "TinyHttpServer.h"

#include <algorithm>

namespace nettest
{
namespace
{
bool SendAll(SOCKET s, const char* data, size_t size)
{
    while (size > 0)
    {
        const int n = send(s, data, int(std::min<size_t>(size, 1 << 20)), 0);
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}
} // namespace

TinyHttpServer::TinyHttpServer() : port(0), stopping(false), requests(0)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    listening = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listening, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    listen(listening, 8);
    int length = sizeof a;
    getsockname(listening, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    thread = std::thread([this] { Serve(); });
}

TinyHttpServer::~TinyHttpServer()
{
    stopping = true;
    thread.join();
    closesocket(listening);
    WSACleanup();
}

void TinyHttpServer::Set(const std::string& path, const Reply& reply)
{
    std::lock_guard<std::mutex> hold(lock);
    replies[path] = reply;
}

std::string TinyHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

void TinyHttpServer::Serve()
{
    while (!stopping)
    {
        fd_set read;
        FD_ZERO(&read);
        FD_SET(listening, &read);
        timeval timeout = {0, 50000};
        if (select(0, &read, nullptr, nullptr, &timeout) != 1) continue;
        const SOCKET client = accept(listening, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        Answer(client);
        closesocket(client);
    }
}

void TinyHttpServer::Answer(SOCKET client)
{
    // The request line and headers, up to the blank line.
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos)
    {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, size_t(n));
    }
    ++requests;
    const size_t from = request.find(' ') + 1;
    const std::string path = request.substr(from, request.find(' ', from) - from);
    Reply reply;
    {
        std::lock_guard<std::mutex> hold(lock);
        const auto found = replies.find(path);
        if (found != replies.end())
            reply = found->second;
        else
        {
            reply.status = 404;
            reply.body = "no such page";
        }
    }
    if (reply.noAnswer)
    {
        Sleep(reply.pauseMs);
        return;
    }
    const std::string head =
        "HTTP/1.0 " + std::to_string(reply.status) + (reply.status == 200 ? " OK" : " Not Found") +
        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(reply.body.size()) +
        "\r\nConnection: close\r\n\r\n";
    const size_t split = std::min(reply.breakAt, reply.body.size());
    if (!SendAll(client, head.data(), head.size()) || !SendAll(client, reply.body.data(), split))
        return;
    if (split == reply.body.size()) return;
    if (reply.closeAtBreak) return;
    Sleep(reply.pauseMs);
    SendAll(client, reply.body.data() + split, reply.body.size() - split);
}
} // namespace nettest
