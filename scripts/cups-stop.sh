#!/usr/bin/env bash
# Stops the CUPS scheduler that cups-start.sh started, by its own pid.
set -uo pipefail
pidfile="${KOERSWACHT_CUPS_PID:-/run/koerswacht-cupsd.pid}"
[[ -f "$pidfile" ]] || exit 0
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
pid="$(cat "$pidfile")"
"${sudo[@]}" kill "$pid" 2>/dev/null
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
"${sudo[@]}" rm -f "$pidfile"
