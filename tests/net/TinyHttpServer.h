#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the download tests, on a thread
// of its own. Each path has a reply: a status, a body, and optionally a
// pause in the middle of the body or an end of the connection there.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace nettest
{
class TinyHttpServer
{
public:
    struct Reply
    {
        int status = 200;
        std::string body;
        size_t breakAt = std::string::npos; // where the body pauses or ends
        DWORD pauseMs = 0;                  // pause there, then go on
        bool closeAtBreak = false;          // or end the connection there
        bool noAnswer = false;              // read the request, wait pauseMs, close
    };

    TinyHttpServer();
    ~TinyHttpServer();

    void Set(const std::string& path, const Reply& reply);
    std::string Url(const std::string& path) const;
    uint16_t Port() const { return port; }
    int Requests() const { return requests; }

private:
    void Serve();
    void Answer(SOCKET client);

    SOCKET listening;
    uint16_t port;
    std::atomic<bool> stopping;
    std::atomic<int> requests;
    std::mutex lock;
    std::map<std::string, Reply> replies;
    std::thread thread;
};
} // namespace nettest
