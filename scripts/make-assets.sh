#!/usr/bin/env bash
# Writes the game's generated content into OUT (base/ of the game) with the
# native asset tool, when the tool is newer than what OUT holds.
#   make-assets.sh NATIVE_BUILD OUT
set -euo pipefail
native="$1"
out="$2"
tool="$native/tools/tav_assetgen"
mkdir -p "$out"
if [ ! -x "$tool" ]; then
    exit 0
fi
stamp="$out/.generated"
if [ -f "$stamp" ] && [ "$stamp" -nt "$tool" ]; then
    exit 0
fi
echo "assets: generating $out"
"$tool" "$out"
touch "$stamp"
