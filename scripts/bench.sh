#!/usr/bin/env bash
# Benchmarks (not tests): start-up against a minimal Qt Widgets window under Xvfb, and the two
# calculations as their buttons run them. Prints the figures.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$top/build}"
runs="${1:-15}"
export DBUS_SESSION_BUS_ADDRESS=disabled:
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
echo "== calculations (offscreen)"
"$build/bench/bench_calculations" 2000 2>/dev/null
echo "== start-up until the main window is mapped and painted (Xvfb)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    "$build/bench/bench_startup" "$runs" Koerswacht "$build/koerswacht" Floor "$build/bench/bench_floor"
echo "== the same against the floor with the main menu's captions and font faces"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    "$build/bench/bench_startup" "$runs" Koerswacht "$build/koerswacht" Floor "$build/bench/bench_floor_fonts"
echo "== the same held to one core (start-up overlaps work on a second core where there is one)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" taskset -c 0 \
    "$build/bench/bench_startup" "$runs" Koerswacht "$build/koerswacht" Floor "$build/bench/bench_floor"
