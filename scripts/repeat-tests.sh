#!/usr/bin/env bash
# Runs the Windows-side tests N times, each from the clean state CI has, to tell a test
# that fails now and then from one that always fails:
#   scripts/repeat-tests.sh N [ctest arguments...]   e.g. scripts/repeat-tests.sh 5 -R 'Capture'
# Prints one line per run and, for each test that failed, in how many runs it failed.
# Every run's full log is kept in build/windows/repeat/run-K.log.
set -euo pipefail
shopt -s nullglob
[[ ${1:-} =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 N [ctest arguments...]" >&2; exit 2; }
runs=$1; shift
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
build=build/windows
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

logs=$build/repeat
rm -rf "$logs" && mkdir -p "$logs"
# Every session of the build (their prefixes, temp folders, drives and sound
# recordings go with them), also one a killed run left running.
stop_sessions() {
  local session
  for session in "$build"/wine-session*/; do
    tests/wine/session.sh stop "${session%/}"
  done
}

declare -A failures=()
failed_runs=0
for (( run = 1; run <= runs; run++ )); do
  stop_sessions
  log=$logs/run-$run.log
  start=$SECONDS
  status=PASS
  ctest --preset windows "$@" >"$log" 2>&1 || status=FAIL
  line="run $run/$runs: $status in $(( SECONDS - start )) s"
  if [ $status = FAIL ]; then
    failed_runs=$(( failed_runs + 1 ))
    line+="  ($log)"
    # ctest's closing list: "  12 - name (Failed)"; a run that ends before it lists nothing.
    while read -r name; do
      failures[$name]=$(( ${failures[$name]:-0} + 1 ))
    done < <(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \(.*\) ([^)]*)$/\1/p' "$log")
  fi
  echo "$line"
done
stop_sessions

echo "$(( runs - failed_runs )) of $runs runs passed"
for name in "${!failures[@]}"; do
  echo "  failed in ${failures[$name]} of $runs runs: $name"
done | sort
[ $failed_runs = 0 ]
