#!/usr/bin/env bash
# The long form of the soak test: many menu, show/hide and capture cycles of one
# program instance, and many captures to files and the clipboard, with the figures
# printed. Usage: scripts/soak.sh [cycles] [captures]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake --preset windows >/dev/null && cmake --build --preset windows
KADRIX_SOAK_CYCLES=${1:-500} KADRIX_SOAK_CAPTURES=${2:-1000} ctest --preset windows -R 'Soak\.' -V --timeout 3600 | grep -E 'start-up|idle|cycles|captures|private|Passed|Failed'
