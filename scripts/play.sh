#!/usr/bin/env bash
# `make play`: starts the staged game under Wine.
# - With a display: in a window there, with the desktop's sound.
# - Without one: an unattended demo on a virtual display (scripts/demo.sh),
#   then where its screenshots, log and recorded sound are.
#   play.sh WIN_BUILD STAGE
set -uo pipefail
win="$(cd "$1" && pwd)"
stage="$(cd "$2" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ -n "${DISPLAY:-}" ]; then
    echo "play: starting $stage/gavo.exe on $DISPLAY (Escape or Alt+F4 quits)"
    exec "$here/headless.sh" --system-audio "$win" bash -c "cd '$stage' && wine64 gavo.exe"
fi

demo="$(dirname "$stage")/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp -a "$stage/gavo.exe" "$stage/base" "$demo/"
cp "$here/default-tav.cfg" "$demo/tav.cfg"
echo "play: no display; running an unattended demo in $demo"
TAV_AUDIO_CAPTURE="$demo/demo-audio.raw" \
    "$here/headless.sh" "$win" "$here/demo.sh" "$demo"
status=$?
if [ -s "$demo/demo-audio.raw" ] && command -v python3 >/dev/null; then
    python3 "$here/raw-to-wav.py" "$demo/demo-audio.raw" "$demo/demo-audio.wav" && rm -f "$demo/demo-audio.raw"
fi
echo
echo "play: the demo ended (exit $status)."
echo "  screenshots: $(ls "$demo"/Shot*.bmp 2>/dev/null | tr '\n' ' ')"
echo "  run log:     $demo/output.html"
[ -f "$demo/demo-audio.wav" ] && echo "  sound:       $demo/demo-audio.wav (what the sound card played)"
exit $status
