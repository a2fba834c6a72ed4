#include "net/tavInternet.h"

#include <algorithm>
#include <cstring>

tavInternet::tavInternet(bool async)
    : internet(InternetOpenA("TAV", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                             async ? INTERNET_FLAG_ASYNC : 0))
{
}

void tavInternet::Close()
{
    if (!internet) return;
    InternetCloseHandle(internet);
    internet = nullptr;
}

HINTERNET tavInternet::ConnectHttp(const char* server, DWORD_PTR context, INTERNET_PORT port)
{
    return InternetConnectA(internet, server, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                            context);
}

HINTERNET tavInternet::OpenUrl(const char* url, DWORD_PTR context)
{
    return InternetOpenUrlA(internet, url, nullptr, 0, INTERNET_FLAG_HYPERLINK, context);
}

bool tavInternet::CloseHandle(HINTERNET handle)
{
    return InternetCloseHandle(handle) != FALSE;
}

HINTERNET tavInternet::OpenInternet()
{
    return InternetOpenA("TAV", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

void tavInternet::Fetch(const char* url, std::string& out)
{
    if (!internet) return;
    Download(internet, url, out);
}

bool tavInternet::FetchUrl(std::string& out, const char* url)
{
    const HINTERNET own = OpenInternet();
    Download(own, url, out);
    return own && CloseHandle(own);
}

void tavInternet::Download(HINTERNET session, const char* url, std::string& out)
{
    // 1. Start empty; 2. open the URL, always from the server.
    out.clear();
    const HINTERNET request = InternetOpenUrlA(session, url, nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    if (!request) return;
    // 3. 49 bytes at a time; the 50th byte of the buffer always ends it, so
    // a piece is kept up to its first zero byte.
    char piece[50];
    for (;;)
    {
        std::memset(piece, 0, sizeof piece);
        DWORD read = 0;
        if (!InternetReadFile(request, piece, sizeof piece - 1, &read) || read == 0) break;
        out.append(piece, std::find(piece, piece + sizeof piece, '\0'));
    }
    // 4. Done with the request.
    InternetCloseHandle(request);
}
