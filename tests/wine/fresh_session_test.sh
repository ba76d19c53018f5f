#!/usr/bin/env bash
# A run's start makes its session afresh: what an earlier run left there (a program still
# running, a registry key, a file on C:, the display) is gone. A session that only test
# listings have run in is kept: ctest lists the tests before the first set-up runs.
#   fresh_session_test.sh SESSION_SCRIPT DIR TEST_PROGRAM
set -euo pipefail
session=$1 dir=$2 lister=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
trap '"$session" stop "$dir"' EXIT
"$session" stop "$dir"

"$session" run "$dir" "$lister" --gtest_list_tests >/dev/null
listed=$(cat "$dir/x.pids")
"$session" start "$dir"
[ "$(cat "$dir/x.pids")" = "$listed" ] || fail "the session only listings used was made again"

# What an earlier run left; it ended without stopping its session, as a killed one does.
"$session" run "$dir" reg add 'HKCU\Software\KadrixLeftover' /f >/dev/null
echo left >"$dir/prefix/drive_c/leftover.txt"
# A zombie has ended; it waits only to be reaped.
running() { local state; state=$(ps -o stat= -p "$1") && [[ $state != Z* ]]; }
# run_notepad: starts a program in the session, left running; its runner's id in
# `program`. The runner's own command line names the program before it has the
# session's lock, so only a process of the session counts as started.
notepad_started() {
  local pid
  for pid in $("$session" pids "$dir"); do grep -qa notepad "/proc/$pid/cmdline" 2>/dev/null && return 0; done
  return 1
}
run_notepad() {
  "$session" run "$dir" notepad </dev/null >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 100); do notepad_started && return 0; sleep 0.1; done
  fail "the program did not start"
}
run_notepad
display=$(cat "$dir/x.pids")

"$session" start "$dir"
# Its runner passes on the program's end within a moment.
for _ in $(seq 50); do running "$program" || break; sleep 0.1; done
! running "$program" || fail "the earlier run's program still runs"
for pid in $display; do ! running "$pid" || fail "the earlier run's display $pid still runs"; done
[ ! -e "$dir/prefix/drive_c/leftover.txt" ] || fail "the earlier run's file is still on C:"
! "$session" run "$dir" reg query 'HKCU\Software\KadrixLeftover' >/dev/null 2>&1 || fail "the earlier run's registry key is still there"

# A stop returns once everything of the session is gone: its display, its server and
# its programs. What still ends would meet the next session in this folder.
run_notepad
pids="$(cat "$dir/x.pids") $("$session" pids "$dir")"
"$session" stop "$dir"
for pid in $pids; do
  ! running "$pid" || fail "process $pid ($(cat "/proc/$pid/comm")) still runs after the stop"
done
echo "the session was made afresh; the one only listings used was kept; a stop ends all of it"
