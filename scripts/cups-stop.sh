#!/usr/bin/env bash
# Stops the private CUPS scheduler that cups-start.sh started and removes its folder.
# Takes the folder as $1 or from $KOERSWACHT_CUPS_DIR.
set -uo pipefail
dir="${1:-${KOERSWACHT_CUPS_DIR:-}}"
[[ -n "$dir" && -f "$dir/cupsd.pid" ]] || exit 0
pid="$(cat "$dir/cupsd.pid")"
kill "$pid" 2>/dev/null
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -9 "$pid" 2>/dev/null
rm -rf "$dir"
