#!/usr/bin/env bash
# Cross-builds libjpeg-turbo (static, with SIMD) for MinGW-w64 from Debian's source package
# into .cache/deps. Skips everything when the installed library matches the wanted version.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.cache"
prefix="$cache/deps"
version=2.1.5
stamp="$prefix/.libjpeg-turbo-$version"
[ -f "$stamp" ] && exit 0

# Debian's own archive, as configured on this machine, with source entries.
srclist=/etc/apt/sources.list.d/debian-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$srclist"
  apt-get update -q
fi

work="$cache/src"
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && apt-get source -q "libjpeg-turbo=1:$version*" >/dev/null 2>&1 || (cd "$work" && apt-get source -q libjpeg-turbo))
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
[ -n "$src" ] || { echo "libjpeg-turbo source not found" >&2; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON \
  -DWITH_JPEG8=OFF -DWITH_ARITH_ENC=ON >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
rm -rf "$work"
touch "$stamp"
echo "libjpeg-turbo $version built into $prefix"
