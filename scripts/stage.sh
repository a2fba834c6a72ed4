#!/usr/bin/env bash
# Stages a runnable folder: gavo.exe, base/ and a default tav.cfg (windowed,
# already set up). An existing tav.cfg is kept: it holds the player's settings.
#   stage.sh WIN_BUILD BASE STAGE
set -euo pipefail
win="$1"
base="$2"
stage="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$stage/base"
cp -f "$win/game/gavo.exe" "$stage/"
for extra in "$win"/tools/*.exe; do
    [ -e "$extra" ] && cp -f "$extra" "$stage/"
done
cp -a "$base/." "$stage/base/"
[ -f "$stage/tav.cfg" ] || cp "$here/default-tav.cfg" "$stage/tav.cfg"
