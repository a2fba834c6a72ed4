#!/usr/bin/env bash
# `make soak`: the game restarted many times through its Space key in one
# process (SOAK_RESTARTS, 1000 by default), with the process memory printed
# every 100 games and the growth between the early and the late games
# checked at the end; then every file of base/ damaged alone four ways, a
# start of the game each; then every key of tav.cfg with every unusable
# value. `make test` runs 50 restarts and every file
# damaged at once. Runs nothing else under this tree's Wine meanwhile:
# a session ending stops every program of its prefix.
#   soak.sh BUILD
set -uo pipefail
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
restarts="${SOAK_RESTARTS:-1000}"
status=0

unset DISPLAY PULSE_SERVER
mkdir -p "$build/win/testrun"
rm -rf "$build/win/testrun/base"
cp -a "$build/base" "$build/win/testrun/base"

exe="$build/win/tests/game/tav_game_tests.exe"
run="$here/wine-run.sh"  # in the session: this tree's prefix
# Straight to the test program: CTest's time limits are for the short runs.
echo "== $restarts restarts of the game (Wine)"
"$here/headless.sh" --screen 1022x766x24 "$build/win" bash -c \
    "cd '$build/win/testrun' && TAV_RESTARTS=$restarts '$run' '$exe' --gtest_filter='GameRestart.*'" || status=1

echo "== every file of base/ damaged alone, four ways (Wine)"
"$here/headless.sh" --screen 1022x766x24 "$build/win" bash -c \
    "cd '$build/win/testrun' && TAV_SOAK=1 '$run' '$exe' --gtest_filter='GameDamagedContent.EachFile*'" || status=1

echo "== every key of tav.cfg with every unusable value (Wine)"
"$here/headless.sh" --screen 1022x766x24 "$build/win" bash -c \
    "cd '$build/win/testrun' && TAV_SOAK=1 '$run' '$build/win/tests/core/tav_core_tests.exe' --gtest_filter='*UnusableValue*'" || status=1
exit $status
