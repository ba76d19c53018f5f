#!/usr/bin/env bash
# One Wine session for a test run: its own X display, a prefix copied from the template,
# a persistent wineserver and a keeper that holds the desktop open.
#   session.sh start DIR | stop DIR | run DIR program.exe [args...] | pids DIR
# `start` begins a run: it makes the session afresh, so nothing a crashed or killed run
# left (processes, windows, registry, files) reaches this one. The one session it keeps
# is a sound one that only test listings have run in: ctest lists the tests of each
# program, in the default session, before it runs the first set-up. `run` uses the
# session there is and makes one only when there is none. `pids` lists the session's
# processes, found by its prefix.
# KADRIX_DESKTOP_KEEPER names the keeper program, built with the tests (the build's
# wine-run sets it).
# KADRIX_SESSION picks the session's shape when it starts, and the programs it runs see
# the shape it has in KADRIX_SESSION and the (virtual) screen's size in KADRIX_SCREEN:
#   default      Xvfb 1366x768 (KADRIX_SCREEN), 96 DPI, Wine's virtual desktop (frames, tray)
#   scaled       the same at LogPixels 144
#   twomonitors  800x600 primary at (0,0) and 1024x768 at (-1024,0), no virtual desktop
set -euo pipefail
action=$1; shift
# Absolute, as the session's processes carry it in their prefix.
dir=$(realpath -ms -- "$1"); shift
top=$(cd "$(dirname "$0")/../.." && pwd)
template="$top/.cache/wine-template"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
kind=${KADRIX_SESSION:-default}
case $kind in
  default|scaled|twomonitors) ;;
  *) echo "session: unknown KADRIX_SESSION '$kind'" >&2; exit 2 ;;
esac
# Screen size of a one-monitor session; benchmarks set KADRIX_SCREEN=1920x1080.
screen=${KADRIX_SCREEN:-1366x768}
# ALSA splits its configuration path at colons and spaces, so the session's part lies
# outside the session's folder (which may have both), named after that folder.
alsa_conf=/tmp/kadrix-alsa-$(printf %s "$dir" | md5sum | cut -c1-16).conf

# Shortcuts made by installers stay in the prefix: no winemenubuilder writing the host's menus.
# Sound goes to ALSA's null device through its file plugin, which records what was
# played; tests read the recording's Windows path from KADRIX_SOUND_RECORD.
use_session() {
  export WINEPREFIX="$dir/prefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
         DISPLAY=":$(cat "$dir/display")" ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$alsa_conf" \
         KADRIX_SOUND_RECORD="$(winepath_of "$dir/sound.raw")" KADRIX_SESSION="$(cat "$dir/kind")" \
         KADRIX_SCREEN="$(cat "$dir/screen")"
}

# Processes of this session, found by their prefix. Through their threads: a Wine
# process that lost its server ends its main thread, and with it the environment its
# process shows, while a Unix thread of it polls on (winedevice.exe, measured).
session_pids() {
  grep -lzxF "WINEPREFIX=$dir/prefix" /proc/[0-9]*/task/[0-9]*/environ 2>/dev/null | cut -d/ -f3 | sort -u |
    grep -vx -e "$$" -e "$BASHPID" || true
}
desktop_up() { xdotool search --name 'Wine desktop' >/dev/null 2>&1; }
# Found by its prefix: without a virtual desktop the explorer that started it exits.
keeper_up() {
  local pid
  for pid in $(session_pids); do
    grep -qa 'desktop-keeper\.exe' "/proc/$pid/cmdline" 2>/dev/null && return 0
  done
  return 1
}

alive() {
  [ -s "$dir/display" ] && [ -d "$dir/prefix" ] && [ "$(cat "$dir/kind" 2>/dev/null)" = "$kind" ] &&
    ( use_session && xdpyinfo >/dev/null 2>&1 && keeper_up && { [ "$kind" = twomonitors ] || desktop_up; } )
}

wait_for() {  # wait_for SECONDS command...
  local limit=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    (( $(date +%s) < limit )) || { echo "session: timed out waiting for: $*" >&2; return 1; }
    sleep 0.1
  done
}

winepath_of() { echo "Z:${1//\//\\}"; }

# reg_set FILE KEY NAME VALUE: sets "NAME"=VALUE under KEY (single backslashes) of a
# prefix's registry file, VALUE as the file spells it (dword:00000090, "text"); an empty
# VALUE removes the value. Done before wineserver starts, which reads the files once.
reg_set() {
  REG_KEY="[${2//\\/\\\\}]" REG_NAME="\"$3\"=" REG_VALUE=$4 awk '
    BEGIN { key = ENVIRON["REG_KEY"]; name = ENVIRON["REG_NAME"]; value = ENVIRON["REG_VALUE"] }
    function put() { if (inside && !placed && value != "") print name value; if (inside) placed = 1; inside = 0 }
    /^\[/ { put(); if ($0 == key || index($0, key " ") == 1) inside = found = 1 }
    /^$/ { put() }
    inside && index($0, name) == 1 { next }
    { print }
    END { put(); if (!found && value != "") printf "\n%s 0\n%s%s\n", key, name, value }
  ' "$1" >"$1.new" && mv "$1.new" "$1"
}

# Two small drives for tests of bad save places: F: is a 1 MB disk that a BMP capture
# fills up, R: a read-only disk holding one folder, "Снимки". Left out where mounting
# is not permitted; the tests that need them fail then, saying why.
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

# The session's X servers that still run (the host Xvfb of two monitors too).
x_servers() {
  local pid
  for pid in $(cat "$dir/x.pids" 2>/dev/null); do
    case $(cat "/proc/$pid/comm" 2>/dev/null) in Xvfb|Xephyr) echo "$pid" ;; esac
  done
}

# An ended process stays in the table as a zombie until its parent or init reaps it
# (1.6-1.9 s measured for an X server whose parent had gone); by then it has closed its
# files and sockets, so it counts as gone.
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# wait_gone SECONDS PIDS...: waits until none of PIDS runs any more and the session has
# no process left, or the time is up; a process found meanwhile (a program still
# starting, or the server it started) is waited for too. Leaves the ones still there
# in `left`.
wait_gone() {
  local limit=$(( $(date +%s) + $1 )) pid pids=" ${*:2} "
  while :; do
    for pid in $(session_pids); do [[ $pids == *" $pid "* ]] || pids+="$pid "; done
    left=
    for pid in $pids; do ! running "$pid" || left+="$pid "; done
    [ -n "$left" ] || return 0
    (( $(date +%s) < limit )) || return 1
    sleep 0.1
  done
}

# Also a session whose start was cut short, before it had a display. It returns once
# every process of the session is gone: the next session in this folder meets nothing
# of this one (a server, a display, a program still ending).
stop_processes() {
  local xservers pids left
  xservers=$(x_servers)
  pids="$xservers $(session_pids)"
  # The server ends its programs; the X servers end on SIGTERM.
  if [ -d "$dir/prefix" ]; then WINEPREFIX="$dir/prefix" "$wineserver" -k 2>/dev/null || true; fi
  [ -z "$xservers" ] || kill $xservers 2>/dev/null || true
  wait_gone 5 $pids && return 0
  kill -KILL $(session_pids) $(x_servers) 2>/dev/null || true
  wait_gone 3 $left && return 0
  echo "session: still there after SIGKILL:" $(ps -o pid=,stat=,comm= -p "${left% }") >&2
  return 1
}

# x_server DISPLAYFILE SERVER ARGS...: starts an X server on a free display number,
# writes the number into DISPLAYFILE and waits until it answers.
x_server() {
  local display_file=$1; shift
  setsid "$@" -displayfd 3 -nolisten tcp -noreset 3>"$display_file" </dev/null >>"$dir/x.log" 2>&1 9>&- &
  echo $! >>"$dir/x.pids"
  wait_for 20 grep -q '[0-9]' "$display_file"
  DISPLAY=":$(cat "$display_file")" wait_for 20 xdpyinfo
}

# Xvfb and Xephyr each report one RandR output, so Wine sees one monitor; Xephyr's own
# screens joined by Xinerama, with RandR off, are two monitors to Wine.
start_display() {
  if [ "$kind" = twomonitors ]; then
    x_server "$dir/host-display" Xvfb -screen 0 2000x900x24
    DISPLAY=":$(cat "$dir/host-display")" x_server "$dir/display" \
      Xephyr +xinerama -extension RANDR -screen 1024x768 -screen 800x600
  else
    x_server "$dir/display" Xvfb -screen 0 "${screen}x24"
  fi
}

shape_prefix() {
  local user="$dir/prefix/user.reg" system="$dir/prefix/system.reg"
  reg_set "$user" 'Software\Wine\Drivers' Audio '"alsa"'
  # The desktop's size stored in the prefix wins over explorer's argument.
  reg_set "$user" 'Software\Wine\Explorer\Desktops' Default "\"$screen\""
  case $kind in
    scaled)
      reg_set "$user" 'Control Panel\Desktop' LogPixels dword:00000090
      reg_set "$system" 'System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' LogPixels dword:00000090 ;;
    twomonitors)
      reg_set "$user" 'Software\Wine\Explorer' Desktop ''
      # The second monitor (800x600) primary, so the first lies left of the origin.
      reg_set "$user" 'Software\Wine\X11 Driver' PrimaryMonitor '"1"'
      # With no window manager, Wine waits 2 s for one on every hide and destroy of a
      # managed window; unmanaged windows hide at once (measured 2003 ms against 1 ms).
      reg_set "$user" 'Software\Wine\X11 Driver' Managed '"N"' ;;
  esac
}

make_session() {
  [ -d "$template" ] || { echo "session: no Wine template; run scripts/setup.sh" >&2; exit 1; }
  [ -f "${KADRIX_DESKTOP_KEEPER:-}" ] ||
    { echo "session: no desktop keeper '${KADRIX_DESKTOP_KEEPER:-}'; build the tests and run through their wine-run" >&2; exit 1; }
  stop_processes
  unmount_drives
  rm -rf "$dir" && mkdir -p "$dir"
  cp -a "$template" "$dir/prefix"
  echo "$kind" >"$dir/kind"
  if [ "$kind" = twomonitors ]; then echo 1824x768; else echo "$screen"; fi >"$dir/screen"
  mount_drives
  printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$dir/sound.raw" >"$alsa_conf"
  shape_prefix
  start_display
  use_session
  numlockx on  # keypad digits reach Wine as VK_NUMPAD*, not as cursor keys
  setsid "$wineserver" -p </dev/null >/dev/null 2>&1 9>&-
  # Without a size, explorer's desktop is the X display itself (no virtual desktop).
  local desktop=/desktop=Default,$screen
  [ "$kind" = twomonitors ] && desktop=/desktop
  setsid "$wine" explorer "$desktop" "$(winepath_of "$KADRIX_DESKTOP_KEEPER")" </dev/null >"$dir/desktop.log" 2>&1 9>&- &
  wait_for 60 keeper_up
  [ "$kind" = twomonitors ] || wait_for 60 desktop_up
  touch "$dir/untouched"
}

start() {
  [ -f "$dir/untouched" ] && alive && return 0
  make_session
}

# A listing runs no test: the session stays as the next run's start may keep it.
listing() {
  local arg
  for arg; do [ "$arg" = --gtest_list_tests ] && return 0; done
  return 1
}

use() {
  alive || make_session
  listing "$@" || rm -f "$dir/untouched"
}

# The session's wineserver and desktop process can hold a program's output open after
# the program ended (measured on two monitors: now and then both still had it); were it
# the caller's pipe, ctest would wait until its timeout. So the program writes into a
# file, streamed out while it runs.
run_program() {
  local out program streamer status=0
  out=$(mktemp "$dir/output.XXXXXX")
  "$wine" "$@" >"$out" 2>&1 &
  program=$!
  tail -n +1 -s 0.05 --pid="$program" -f "$out" &
  streamer=$!
  trap 'kill "$program" 2>/dev/null' TERM INT HUP
  wait "$program" || status=$?
  wait "$streamer" || true
  rm -f "$out"
  # A program that dies before it writes a line (a crash at its start) says nothing else.
  [ "$status" = 0 ] || echo "session: $(basename "$1") ended with status $status" >&2
  exit "$status"
}

case $action in
  start) ( flock 9; start ) 9>"$dir.lock" ;;
  stop)  ( flock 9; stop_processes; unmount_drives; rm -rf "$dir" "$alsa_conf" ) 9>"$dir.lock" ;;
  run)   ( flock 9; use "$@" ) 9>"$dir.lock"; use_session; run_program "$@" ;;
  pids)  session_pids ;;
  *) echo "usage: $0 start|stop|run|pids DIR [program args]" >&2; exit 2 ;;
esac
