#!/usr/bin/env bash
# Keeps one core busy from outside Wine, as another program on a loaded machine does:
#   busy-core.sh start PIDFILE | stop PIDFILE
# `start` runs `yes > /dev/null` in a process group of its own, whose id goes to PIDFILE;
# `stop` ends that group. The group also ends once the process that ran `start` (ctest)
# has ended, so a run that is killed before its stop leaves no spinner behind.
set -euo pipefail
action=$1
pidfile=$2
stop() {
  [ -s "$pidfile" ] || return 0
  kill -TERM -- "-$(cat "$pidfile")" 2>/dev/null || true
  rm -f "$pidfile"
}
case $action in
  start)
    stop
    mkdir -p "$(dirname "$pidfile")"
    runner=$PPID
    setsid bash -c 'echo $$ > "$1"; yes > /dev/null & while kill -0 "$2" 2>/dev/null; do sleep 1; done; kill $!' \
      busy-core "$pidfile" "$runner" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 50); do [ -s "$pidfile" ] && break; sleep 0.1; done
    [ -s "$pidfile" ] || { echo "busy-core: the spinner did not start" >&2; exit 1; }
    echo "busy-core: one core kept busy by process group $(cat "$pidfile")"
    ;;
  stop) stop ;;
  *) echo "usage: busy-core.sh start|stop PIDFILE" >&2; exit 2 ;;
esac
