#!/usr/bin/env bash
# The unattended demo of `make play` on a virtual display: starts the game in
# FOLDER, plays it with key presses, takes screenshots (Print Screen) and
# quits (Alt+F4). Runs inside a session of headless.sh.
#   demo.sh FOLDER
set -uo pipefail
cd "$1"
wine64 gavo.exe >wine-output.txt 2>&1 &
game=$!

window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Gavo Beta$' 2>/dev/null | tail -n1)
    [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    echo "demo: the game window did not appear" >&2
    kill "$game" 2>/dev/null
    exit 1
fi

press() { xdotool key --delay 50 "$@"; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

sleep 4
press Print
# Walk, turn and jump.
hold w 2
hold d 0.6
press space
hold w 1.5
sleep 0.5
press Print
hold a 0.6
hold w 3
sleep 2
press Print
press alt+F4
wait "$game"
