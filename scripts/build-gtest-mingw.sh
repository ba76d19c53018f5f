#!/usr/bin/env bash
# Builds Debian's GoogleTest sources for MinGW-w64 and installs them as a CMake package
# into .cache/gtest-mingw: what MSYS2's gtest package gives a build on Windows, for the
# check that such a build configures (scripts/check-windows-configure.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.cache/gtest-mingw"
version=$(dpkg-query -W -f='${Version}' googletest)
stamp="$prefix/.googletest-$version"
[ -f "$stamp" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
cmake -S /usr/src/googletest -B "$work" -G Ninja --toolchain "$top/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_force_shared_crt=OFF >/dev/null
cmake --build "$work" >/dev/null
cmake --install "$work" >/dev/null
touch "$stamp"
echo "GoogleTest $version for MinGW installed into $prefix"
