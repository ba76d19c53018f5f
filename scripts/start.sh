#!/usr/bin/env bash
# Installs what is missing, builds the program, and starts it under Wine: on this
# machine's display when there is one, otherwise on a virtual display of its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kadrix desktop_keeper
program="$top/build/windows/app/kadrix.exe"
session="$top/build/run-session"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prefix="$top/.cache/run-prefix"
  [ -d "$prefix" ] || cp -a "$top/.cache/wine-template" "$prefix"
  echo "Starting Кадрикс on display $DISPLAY"
  WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    exec /usr/lib/wine/wine64 explorer /desktop=Default,1366x768 "$(echo "Z:$program" | tr / '\\')"
fi

export KADRIX_DESKTOP_KEEPER="$top/build/windows/desktop-keeper.exe"
tests/wine/session.sh start "$session"
display=":$(cat "$session/display")"
setsid tests/wine/session.sh run "$session" "$program" </dev/null >/dev/null 2>&1 &
cat <<MSG
Кадрикс is running on the virtual display $display (no display was available here).
Look at it:        DISPLAY=$display import -window root shot.png
Or watch it live:  x11vnc -display $display -localhost   (then a VNC viewer on port 5900)
Stop it:           tests/wine/session.sh stop $session
MSG
