#!/usr/bin/env bash
# The unattended demo of `make play` on a virtual display: starts the game in
# FOLDER and plays it with key presses: walks, turns, jumps, walks backwards
# off the start island into the sea, starts a new game with Space and quits
# with Escape, taking a screenshot (Print Screen) at each stage. Runs inside
# a session of headless.sh. Exits with the game's exit code.
#   demo.sh FOLDER
set -uo pipefail
cd "$1"
wine64 gavo.exe >wine-output.txt 2>&1 &
game=$!

# Waits up to $2 seconds for the run log to mention $1 ($3 times at least).
wait_log() {
    local text="$1" seconds="$2" times="${3:-1}"
    for _ in $(seq $((seconds * 5))); do
        [ "$(grep -o "$text" output.html 2>/dev/null | wc -l)" -ge "$times" ] && return 0
        kill -0 "$game" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}
give_up() {
    echo "demo: $1" >&2
    kill "$game" 2>/dev/null
    wait "$game" 2>/dev/null
    exit 1
}
press() { xdotool key --delay 50 "$@"; }
# The game reads the keyboard's state once a frame: a key must stay down
# for a frame at least to be seen.
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
shot() { press Print; sleep 0.5; echo "demo: screenshot: $1"; }

window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Gavo Beta$' 2>/dev/null | tail -n1)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || give_up "the game window did not appear"
wait_log "Loaded scene " 60 || give_up "the game never finished loading"
sleep 2
shot "the start"

# Walk towards the bridge, jump while walking, turn right and back left.
hold w 1
xdotool keydown w
sleep 0.3
hold space 0.3
sleep 0.2
shot "a jump"
xdotool keyup w
sleep 1
hold d 0.6
hold a 0.6
shot "turned"

# Backwards off the start island into the sea.
hold s 10
sleep 1
shot "drowned: Game Over"

# Space starts a new game.
hold space 0.3
wait_log "Loaded scene " 60 2 || give_up "Space loaded no new game"
sleep 2
shot "a new game"

hold Escape 0.3
wait "$game"
status=$?
echo "demo: the game exited with code $status"
exit $status
