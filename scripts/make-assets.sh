#!/usr/bin/env bash
# Writes the game's generated content into OUT (base/ of the game) with the
# native asset tool (tools/assetgen, built as NATIVE_BUILD/tools/tav_assetgen),
# whenever the tool is newer than what OUT holds. The tool writes into a fresh
# folder that then replaces OUT, so a failed run keeps the old content and no
# file the tool no longer makes is left behind.
#   make-assets.sh NATIVE_BUILD OUT
set -euo pipefail
native="$1"
out="$2"
tool="$native/tools/tav_assetgen"
mkdir -p "$out"
if [ ! -x "$tool" ]; then
    echo "assets: $tool is missing (build the native configuration first)" >&2
    exit 1
fi
stamp="$out/.generated"
if [ -f "$stamp" ] && [ "$stamp" -nt "$tool" ]; then
    exit 0
fi
echo "assets: generating $out"
fresh="$out.new"
rm -rf "$fresh"
mkdir -p "$fresh"
"$tool" "$fresh"
touch "$fresh/.generated"
rm -rf "$out"
mv "$fresh" "$out"
