#!/usr/bin/env bash
# One Wine session for a test run: its own Xvfb display, a prefix copied from the template,
# a persistent wineserver and a virtual-desktop keeper, so windows have frames and a tray.
#   session.sh start DIR | stop DIR | run DIR program.exe [args...]
set -euo pipefail
action=$1 dir=$2; shift 2
top=$(cd "$(dirname "$0")/../.." && pwd)
template="$top/.cache/wine-template"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# Screen size of the session; benchmarks set KADRIX_SCREEN=1920x1080.
screen=${KADRIX_SCREEN:-1366x768}

# Shortcuts made by installers stay in the prefix: no winemenubuilder writing the host's menus.
# Sound goes to ALSA's null device through its file plugin, which records what was
# played; tests read the recording's Windows path from KADRIX_SOUND_RECORD.
use_session() {
  export WINEPREFIX="$dir/prefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
         DISPLAY=":$(cat "$dir/display")" ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$dir/asound.conf" \
         KADRIX_SOUND_RECORD="$(winepath_of "$dir/sound.raw")"
}

desktop_up() { xdotool search --name 'Wine desktop' >/dev/null 2>&1; }

alive() {
  [ -s "$dir/display" ] && [ -d "$dir/prefix" ] && ( use_session && xdpyinfo >/dev/null 2>&1 && desktop_up )
}

wait_for() {  # wait_for SECONDS command...
  local limit=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    (( $(date +%s) < limit )) || { echo "session: timed out waiting for: $*" >&2; return 1; }
    sleep 0.1
  done
}

winepath_of() { echo "Z:${1//\//\\}"; }

# Two small drives for tests of bad save places: F: is a 1 MB disk that a BMP capture
# fills up, R: a read-only disk holding one folder, "Снимки". Left out where mounting
# is not permitted; the tests that need them skip then.
mount_drives() {
  local full="$dir/drives/full" readonly="$dir/drives/readonly"
  mkdir -p "$full" "$readonly"
  mount -t tmpfs -o size=1m kadrix-full "$full" 2>/dev/null || return 0
  ln -s "$full" "$dir/prefix/dosdevices/f:"
  mount -t tmpfs -o size=64k kadrix-readonly "$readonly" || return 0
  mkdir "$readonly/Снимки" && mount -o remount,ro "$readonly" && ln -s "$readonly" "$dir/prefix/dosdevices/r:"
}

unmount_drives() {
  local drive
  for drive in "$dir"/drives/*; do
    mountpoint -q "$drive" && umount "$drive"
  done
  return 0
}

stop_processes() {
  [ -d "$dir/prefix" ] && [ -s "$dir/display" ] && { use_session; "$wineserver" -k 2>/dev/null || true; }
  [ -s "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
}

start() {
  alive && return 0
  stop_processes
  unmount_drives
  rm -rf "$dir" && mkdir -p "$dir"
  [ -d "$template" ] || { echo "session: no Wine template; run scripts/setup.sh" >&2; exit 1; }
  cp -a "$template" "$dir/prefix"
  mount_drives
  printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$dir/sound.raw" >"$dir/asound.conf"
  sed -i 's/^"Audio"=""/"Audio"="alsa"/' "$dir/prefix/user.reg"
  # The desktop's size stored in the prefix wins over explorer's argument.
  sed -i "s/^\"Default\"=\"[0-9]*x[0-9]*\"/\"Default\"=\"$screen\"/" "$dir/prefix/user.reg"
  setsid Xvfb -displayfd 3 -screen 0 ${screen}x24 -nolisten tcp -noreset \
    3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 9>&- &
  echo $! >"$dir/xvfb.pid"
  wait_for 20 grep -q '[0-9]' "$dir/display"
  use_session
  wait_for 20 xdpyinfo
  numlockx on  # keypad digits reach Wine as VK_NUMPAD*, not as cursor keys
  setsid "$wineserver" -p </dev/null >/dev/null 2>&1 9>&-
  local keeper="$top/.cache/desktop-keeper.exe" source="$top/tests/wine/desktop-keeper.c"
  [ "$keeper" -nt "$source" ] || x86_64-w64-mingw32-gcc -O1 -mwindows -o "$keeper" "$source"
  setsid "$wine" explorer /desktop=Default,$screen "$(winepath_of "$keeper")" \
    </dev/null >"$dir/desktop.log" 2>&1 9>&- &
  wait_for 60 desktop_up
}

case $action in
  start) ( flock 9; start ) 9>"$dir.lock" ;;
  stop)  ( flock 9; stop_processes; unmount_drives; rm -rf "$dir" ) 9>"$dir.lock" ;;
  run)   ( flock 9; start ) 9>"$dir.lock"; use_session; exec "$wine" "$@" ;;
  *) echo "usage: $0 start|stop|run DIR [program args]" >&2; exit 2 ;;
esac
