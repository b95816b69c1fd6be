#!/usr/bin/env bash
# Stops what start.sh started for the handle folder $1 and removes its folder under /tmp.
set -u
handle="$1"
[ -f "$handle/run-dir" ] || exit 0
run="$(cat "$handle/run-dir")"
for daemon in cupsd ippeveprinter bus; do
  [ -f "$run/$daemon.pid" ] || continue
  pid="$(cat "$run/$daemon.pid")"
  kill "$pid" 2>/dev/null
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
done
case "$run" in
  /tmp/ruvured-cups.*) rm -rf "$run" ;;
esac
rm -f "$handle/run-dir"
