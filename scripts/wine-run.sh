#!/usr/bin/env bash
# Runs one Windows program under Wine: the test emulator of the Windows build.
#   wine-run.sh program.exe [args...]
# Inside a session of headless.sh it runs at once; on its own it opens a
# session for this one run (own display, sound card and wineserver).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ -z "${TAV_HEADLESS_SESSION:-}" ]; then
    exec "$here/headless.sh" "$TAV_WINE_ROOT" "$0" "$@"
fi
source "$here/wine-env.sh"
# The output goes through a file, not straight to the caller: a background
# process the program starts (a service Wine starts on first use) would
# keep the caller's pipe open, and the caller would wait for it long after
# the program has ended.
out="$(mktemp "${TMPDIR:-/tmp}/tav-run.XXXXXX")"
wine64 "$@" >"$out" 2>&1
code=$?
cat "$out"
rm -f "$out"
exit $code
