#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make play` need,
# skipping the ones already present. Runs as root on CI; elsewhere uses sudo.
set -euo pipefail

packages=(
    cmake make g++ python3 clang libclang-rt-14-dev
    googletest libbenchmark-dev libbullet-dev libassimp-dev
    g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine64
    xvfb xauth x11-xserver-utils xdotool xclip
    fonts-dejavu-core libgl1-mesa-dri
    pulseaudio gstreamer1.0-plugins-good lame
    iproute2 util-linux
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
