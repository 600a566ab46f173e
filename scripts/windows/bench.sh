#!/usr/bin/env bash
# Start-up of the Windows edition under Wine on Xvfb (a benchmark, not a test): Koerswacht as
# installed, against a bare Qt window with the same picture and four buttons, built the same way
# (one static program file). Wall time until the window is mapped and painted, and the peak
# working set (the resident peak of the Wine process the program runs in). Needs the Linux build
# with benchmarks (KOERSWACHT_BENCH=ON) for the timing tool, and the windows workflow's packages.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
out="$top/build-windows/build"
runs="${1:-15}"
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
work="$(mktemp -d /tmp/koerswacht-winebench.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
cmake -P "$top/scripts/windows/wine-prefix.cmake"
/usr/lib/wine/wine64 "$(ls "$out"/Koerswacht-*-setup.exe)" /S
mkdir -p "$work/floor"
cp "$out/bench/bench_floor.exe" "$top/resources/ship.png" "$work/floor/"
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p # kept running between starts, as Windows' own services are
printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "C:\\\\Program Files\\\\Koerswacht\\\\koerswacht.exe"\n' >"$work/koerswacht"
printf '#!/bin/sh\ncd "%s"\nexec /usr/lib/wine/wine64 bench_floor.exe\n' "$work/floor" >"$work/floor.sh"
chmod +x "$work/koerswacht" "$work/floor.sh"
"$top/build/bench/bench_startup" "$runs" Koerswacht "$work/koerswacht" Floor "$work/floor.sh"
