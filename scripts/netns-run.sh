#!/usr/bin/env bash
# Runs one Windows program under Wine inside a network and mount namespace of
# its own: the test emulator of the networking tests.
#   netns-run.sh program.exe [args...]      (TAV_WINE_ROOT names the build tree)
# In the namespace only the loopback interface exists and /etc/hosts (bind-
# mounted over) maps the host name to 127.0.0.1, so the listener's usual
# bind address (the local host's first address) is loopback and no packet
# can leave the machine. Wine's sockets and interface list live in its
# wineserver and services, so the whole Wine session runs inside: a prefix
# of its own (wineprefix-net), one run at a time.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${TAV_WINE_ROOT:?TAV_WINE_ROOT must name the Windows build tree}"

if [ -z "${TAV_NETNS_INSIDE:-}" ]; then
    # Where no namespace can be made (no unshare or ip, or user namespaces
    # refused), the program runs in the usual session instead; the tests that
    # would listen on the local host then skip, since it is not loopback there.
    if ! command -v ip >/dev/null || ! unshare --map-root-user --net --mount true 2>/dev/null; then
        echo "netns-run: no network namespace here; tests that listen on the local host skip" >&2
        exec "$here/wine-run.sh" "$@"
    fi
    exec 9>"$TAV_WINE_ROOT/.netns.lock"
    flock 9
    TAV_NETNS_INSIDE=1 exec unshare --map-root-user --net --mount "$0" "$@"
fi

# --- inside: loopback only, the host name on 127.0.0.1 ------------------------
ip link set lo up || exit 2
hosts="$(mktemp "${TMPDIR:-/tmp}/tav-hosts.XXXXXX")"
trap 'rm -f "$hosts"' EXIT
printf '127.0.0.1\tlocalhost\n127.0.0.1\t%s\n' "$(hostname)" >"$hosts"
mount --bind "$hosts" /etc/hosts || exit 2

source "$here/wine-env.sh"
# No proxy may stand between the tests and 127.0.0.1.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY
export WINEPREFIX="$TAV_WINE_ROOT/wineprefix-net"
unset TAV_HEADLESS_SESSION
cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -f "$hosts"
}
trap cleanup EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot -i >/dev/null 2>&1
    wineserver -w
fi
wineserver -p >/dev/null 2>&1
wine64 wineboot </dev/null >/dev/null 2>&1
wine64 "$@"
