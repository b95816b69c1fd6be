#!/usr/bin/env bash
# Stops the private scheduler that start.sh started under $1.
set -u
run="$1"
[ -f "$run/cupsd.pid" ] || exit 0
pid="$(cat "$run/cupsd.pid")"
kill "$pid" 2>/dev/null
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
rm -f "$run/cupsd.pid"
