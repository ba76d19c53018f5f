#!/usr/bin/env bash
# Runs every test: the Windows-free unit tests natively (sanitizers on), then the
# program's Windows-side and end-to-end tests under Wine on a display of their own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh
status=0
# Every test runs once: where Wine drops injected input, the harness itself sends it
# again and prints each re-send ("harness: re-sent ...").
for preset in native windows; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset" || status=1
done
echo "== windows: native configure (the README's MSYS2 build)"
scripts/check-windows-configure.sh || status=1
exit $status
