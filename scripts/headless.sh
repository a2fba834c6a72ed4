#!/usr/bin/env bash
# Runs a command inside a Wine session of one build tree:
#   headless.sh [--screen WxHxD] [--system-audio] ROOT command [args...]
# - no $DISPLAY: starts a private Xvfb (display number picked by the server);
# - sound: a private PulseAudio whose pipe sink is read in real time into
#   $TAV_AUDIO_CAPTURE (s16le, 48 kHz, stereo), unless --system-audio is given
#   and a display exists (a person is listening);
# - creates the Wine prefix once, keeps one wineserver alive for the session.
# Everything started here is stopped when the command ends, however it ends.
set -uo pipefail

screen="1024x768x24"
system_audio=0
while [ $# -gt 0 ]; do
    case "$1" in
        --screen) screen="$2"; shift 2 ;;
        --system-audio) system_audio=1; shift ;;
        *) break ;;
    esac
done
[ $# -ge 2 ] || { echo "usage: $0 [--screen WxHxD] [--system-audio] ROOT command..." >&2; exit 2; }

export TAV_WINE_ROOT="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

session="$(mktemp -d "${TMPDIR:-/tmp}/tav-session.XXXXXX")"
pids=()
cleanup() {
    wineserver -k >/dev/null 2>&1
    for p in "${pids[@]}"; do kill "$p" >/dev/null 2>&1; done
    for p in "${pids[@]}"; do wait "$p" >/dev/null 2>&1; done
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- display -----------------------------------------------------------------
if [ -z "${DISPLAY:-}" ]; then
    exec 3> "$session/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset >"$session/xvfb.log" 2>&1 &
    pids+=($!)
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$session/display" ] && break
        sleep 0.05
    done
    [ -s "$session/display" ] || { echo "headless: Xvfb did not start" >&2; cat "$session/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$session/display")"
    have_real_display=0
else
    have_real_display=1
fi

# --- sound card ----------------------------------------------------------------
if [ "$system_audio" -eq 0 ] || [ "$have_real_display" -eq 0 ]; then
    rt="$session/pulse"
    mkdir -p "$rt"
    XDG_RUNTIME_DIR="$rt" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --disable-shm=yes \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$rt/native" \
        --load="module-pipe-sink file=$rt/out.fifo sink_name=pipesink format=s16le rate=48000 channels=2 use_system_clock_for_timing=yes" \
        --load="module-always-sink" \
        >"$session/pulse.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -S "$rt/native" ] && [ -p "$rt/out.fifo" ] && break
        sleep 0.05
    done
    export PULSE_SERVER="unix:$rt/native"
    export TAV_AUDIO_CAPTURE="${TAV_AUDIO_CAPTURE:-$TAV_WINE_ROOT/audio-capture.raw}"
    : > "$TAV_AUDIO_CAPTURE"
    cat "$rt/out.fifo" >> "$TAV_AUDIO_CAPTURE" &
    pids+=($!)
fi

# --- Wine prefix and server ------------------------------------------------------
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wine64 wineboot -i >/dev/null 2>&1
            wineserver -w
        fi
    ) 9>"$TAV_WINE_ROOT/.prefix.lock"
fi
wineserver -p >/dev/null 2>&1
# Start the prefix's own background processes now, with nothing to inherit:
# started later by a test, they would hold its output pipes open after it ends.
wine64 wineboot </dev/null >/dev/null 2>&1
# Likewise the sound card's first use in the session, when the tree has the
# program for it.
warmup="$TAV_WINE_ROOT/tests/support/tav_sound_warmup.exe"
[ -f "$warmup" ] && wine64 "$warmup" </dev/null >/dev/null 2>&1
export TAV_HEADLESS_SESSION=1

"$@"
