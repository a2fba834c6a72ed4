#include "net/tavErrorText.h"

#include <algorithm>
#include <iterator>

namespace tavNet
{

namespace
{
struct ErrorEntry
{
    int code;
    const char* text;
};

// Sorted by code. The texts are shown as they have always read, slips and all.
const ErrorEntry errorTable[] = {
    {0, "tavNet: No error value yet."},
    {6, "tavNet: Specified event object handle is invalid."},
    {8, "tavNet: Ran out of memory."},
    {87, "tavNet: One or more parameters is invalid."},
    {995, "tavNet: Overlapped operation aborted"},
    {996, "tavNet: Overlapped I/O event object not in signaled state."},
    {997, "tavNet: Overlapped operations will complete later."},
    {10004, "tavNet: Interrupted function call. "},
    {10013, "tavNet: Permission denied. "},
    {10014, "tavNet: Bad address. "},
    {10022, "tavNet: Invalid argument. "},
    {10024, "tavNet: Too many open files. "},
    {10035, "tavNet: Resource temporarily unavailable."},
    {10036, "tavNet: Operation now in progress."},
    {10037, "tavNet: Operation already in progress."},
    {10038, "tavNet: Socket operation on nonsocket."},
    {10039, "tavNet: Destination address required."},
    {10040, "tavNet: Message too long. "},
    {10041, "tavNet: Protocol wrong type for socket."},
    {10042, "tavNet: Bad protocol option."},
    {10043, "tavNet: Protocol not supported."},
    {10044, "tavNet: Socket type not supported."},
    {10045, "tavNet: Operation not supported."},
    {10046, "tavNet: Protocol family not supported."},
    {10047, "tavNet: Address family not supported by protocol family."},
    {10048, "tavNet: Address already in use."},
    {10049, "tavNet: Cannot assign requested address."},
    {10050, "tavNet: Network is down."},
    {10051, "tavNet: Network is unreachable."},
    {10052, "tavNet: Network dropped connection on reset."},
    {10053, "tavNet: Software caused connection abort."},
    {10054, "tavNet: Connection reset by peer."},
    {10055, "tavNet: No buffer space available."},
    {10056, "tavNet: Socket is already connected."},
    {10057, "tavNet: Socket is not connected."},
    {10058, "tavNet: Cannt send after socket shutdown."},
    {10060, "tavNet: Connection timed out."},
    {10061, "tavNet: Connection refused."},
    {10064, "tavNet: Host is down."},
    {10065, "tavNet: No route to host."},
    {10067, "tavNet: Too many processes."},
    {10091, "tavNet: Network subsyste, is unavailable."},
    {10092, "tavNet: Winsock.dll version out of range."},
    {10093, "tavNet: Successful WSAStartup not yet performed."},
    {10101, "tavNet: Graceful shutdown in progress."},
    {10107, "tavNet: Generic error code"},
    {10109, "tavNet: Class type not found."},
    {11001, "tavNet: Host not found."},
    {11002, "tavNet: Nonauthoritative host not found."},
    {11003, "tavNet: Nonrecoverable error."},
    {11004, "tavNet: Valid name, no data record of requested type."},
};
} // namespace

const char* ErrorText(int code)
{
    const ErrorEntry* end = std::end(errorTable);
    const ErrorEntry* found = std::lower_bound(
        std::begin(errorTable), end, code, [](const ErrorEntry& e, int c) { return e.code < c; });
    if (found == end || found->code != code) return "tavNet: Unknown error!";
    return found->text;
}

} // namespace tavNet
