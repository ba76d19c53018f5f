#!/usr/bin/env bash
# The README's Windows build (MSYS2, no toolchain file, no Wine) must configure. Linux
# comes closest with the MinGW toolchain and CMAKE_CROSSCOMPILING forced off: no Wine
# runner, no Debian GoogleTest sources. Once without tests, once with GoogleTest found
# as a package (built by scripts/build-gtest-mingw.sh). CMAKE_PREFIX_PATH=/ stands for
# the MinGW prefix that MSYS2's own CMake searches: here it is re-rooted to the sysroot
# and the cross-built dependencies.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
check() {  # check NAME cmake-arguments...
  local name=$1 dir="build/windows-native-check/$1"; shift
  rm -rf "$dir"
  if ! cmake -S . -B "$dir" -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
       -DCMAKE_CROSSCOMPILING=OFF -DCMAKE_PREFIX_PATH=/ "$@" >"$dir.log" 2>&1; then
    cat "$dir.log" >&2
    echo "check-windows-configure: $dir failed to configure" >&2
    return 1
  fi
  if grep -rqs --include=CTestTestfile.cmake --include=build.ninja 'wine-run\|session\.sh\|/usr/src/googletest' "$dir"; then
    echo "check-windows-configure: $dir still uses Linux-only parts" >&2
    return 1
  fi
  echo "check-windows-configure: $name configures"
}
mkdir -p build/windows-native-check
check without-tests -DKADRIX_TESTS=OFF
check with-gtest-package -DGTest_DIR="$top/.cache/gtest-mingw/lib/cmake/GTest"
