#!/usr/bin/env bash
# `make soak`: the game restarted many times through its Space key in one
# process (SOAK_RESTARTS, 1000 by default), with the process memory printed
# every 100 games and the growth between the early and the late games
# checked at the end. Not part of `make test`, which runs 50 of them.
#   soak.sh BUILD
set -uo pipefail
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
restarts="${SOAK_RESTARTS:-1000}"

unset DISPLAY PULSE_SERVER
mkdir -p "$build/win/testrun"
rm -rf "$build/win/testrun/base"
cp -a "$build/base" "$build/win/testrun/base"

echo "== $restarts restarts of the game (Wine)"
# Straight to the test program: CTest's time limit is for the short run.
exec "$here/headless.sh" --screen 1022x766x24 "$build/win" bash -c \
    "cd '$build/win/testrun' && TAV_RESTARTS=$restarts '$build/win/wine-run' \
     '$build/win/tests/game/tav_game_tests.exe' --gtest_filter='GameRestart.*'"
