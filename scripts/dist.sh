#!/usr/bin/env bash
# `make dist`: the Windows package a player unzips and runs: gavo.exe,
# tavConfig.exe, base/, a default tav.cfg and the player's README, in one
# folder inside a zip.
#   dist.sh WIN_BUILD BASE OUT_DIR      -> OUT_DIR/gavo-beta.zip
set -euo pipefail
win="$1"
base="$2"
out="$(mkdir -p "$3" && cd "$3" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
name=gavo-beta

work="$(mktemp -d "${TMPDIR:-/tmp}/tav-dist.XXXXXX")"
trap 'rm -rf "$work"' EXIT
folder="$work/$name"
mkdir -p "$folder/base"
cp "$win/game/gavo.exe" "$win/tools/tavConfig.exe" "$folder/"
cp -a "$base/." "$folder/base/"
# Windows text files: CR LF line ends.
sed 's/$/\r/' "$here/default-tav.cfg" > "$folder/tav.cfg"
sed 's/$/\r/' "$here/player-readme.txt" > "$folder/README.txt"

rm -f "$out/$name.zip"
(cd "$work" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "dist: $out/$name.zip ($(du -k "$out/$name.zip" | cut -f1) KB)"
