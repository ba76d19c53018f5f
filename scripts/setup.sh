#!/usr/bin/env bash
# Prepares a fresh Debian 12 machine (as root) to build and test the program:
# packages, the cross-built libjpeg-turbo, and a Wine prefix template.
# Idempotent: a second run only checks and returns in a few seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.cache"
mkdir -p "$cache"

packages=(
  cmake ninja-build nasm dpkg-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
  g++ googletest libgtest-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev
  wine64 fonts-wine libasound2 xvfb xserver-xephyr x11-utils xdotool numlockx imagemagick util-linux
  pngcheck jpeginfo sox libbenchmark-dev
  nsis
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

"$top/scripts/build-libjpeg.sh"
"$top/scripts/build-gtest-mingw.sh"
"$top/scripts/wine-template.sh"
echo "setup: ready"
