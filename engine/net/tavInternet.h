#pragma once
// HTTP downloads through WinInet: the body of a URL into a string, through
// an object that keeps an Internet handle open, or in one call that opens
// and closes its own. The body is taken as text: it is read 49 bytes at a
// time, and a zero byte ends the piece it is in (the rest of that piece is
// not kept). No failure is reported: a URL that cannot be opened or read
// leaves the string empty, or holding what was read so far. Every call
// blocks the calling thread.

#include <windows.h>
#include <wininet.h>

#include <string>

class tavInternet
{
public:
    // InternetOpenA as agent "TAV" with the system's proxy settings;
    // INTERNET_FLAG_ASYNC when `async` (then only the handle calls below
    // are of use: a download needs a synchronous handle).
    explicit tavInternet(bool async = false);
    ~tavInternet() { Close(); }
    tavInternet(const tavInternet&) = delete;
    tavInternet& operator=(const tavInternet&) = delete;

    // Closes the Internet handle; safe to call twice.
    void Close();
    // InternetConnectA to `server` on `port` for HTTP, no user or password.
    HINTERNET ConnectHttp(const char* server, DWORD_PTR context, INTERNET_PORT port);
    // InternetOpenUrlA with INTERNET_FLAG_HYPERLINK, no extra headers.
    HINTERNET OpenUrl(const char* url, DWORD_PTR context);
    // True when InternetCloseHandle succeeded.
    static bool CloseHandle(HINTERNET handle);
    // A synchronous Internet handle, agent "TAV", the system's proxy settings.
    static HINTERNET OpenInternet();

    // The body of `url` into `out`, always from the server (never the
    // cache); nothing happens without an Internet handle.
    void Fetch(const char* url, std::string& out);
    // The same with an Internet handle of its own; true when closing that
    // handle succeeded (whatever the download gave).
    static bool FetchUrl(std::string& out, const char* url);

    HINTERNET internet;

private:
    static void Download(HINTERNET internet, const char* url, std::string& out);
};
