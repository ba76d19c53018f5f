#!/usr/bin/env bash
# The long form of the soak test: many menu, show/hide and capture cycles of one
# program instance, and many captures to files and the clipboard, with the figures
# printed. Usage: scripts/soak.sh [cycles] [captures]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake --preset windows >/dev/null && cmake --build --preset windows >/dev/null
build="$top/build/windows"
# Run directly rather than through ctest, whose per-test time limit suits the short form,
# in a session made afresh.
trap 'tests/wine/session.sh stop "$build/wine-session"' EXIT
KADRIX_DESKTOP_KEEPER="$build/desktop-keeper.exe" tests/wine/session.sh start "$build/wine-session"
KADRIX_SOAK_CYCLES=${1:-500} KADRIX_SOAK_CAPTURES=${2:-1000} \
  "$build/wine-run" "$build/tests/e2e/e2e_tests.exe" --gtest_filter='Soak.*' |
  grep -E 'start-up|idle|cycles|captures|private|OK|FAILED|Failure'
