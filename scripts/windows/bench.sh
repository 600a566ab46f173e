#!/usr/bin/env bash
# Start-up of the Windows edition under Wine on Xvfb (a benchmark, not a test): Koerswacht as
# installed, against a bare Qt window with the same picture and four buttons built the same way
# and deployed beside the same DLLs. Wall time until the window is mapped and painted, and the peak
# working set (the resident peak of the Wine process the program runs in). Needs the Linux build
# with benchmarks (KOERSWACHT_BENCH=ON) for the timing tool, and package.sh's output.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
out="${WINDOWS_BUILD_DIR:-$top/build-windows}"
linux_build="${BUILD_DIR:-$top/build}"
runs="${1:-15}"
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
version="$(sed -n 's/^#define KOERSWACHT_VERSION_TEXT "\(.*\)"$/\1/p' "$out/build/generated/Version.h")"
work="$(mktemp -d /tmp/koerswacht-winebench.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$top/scripts/windows/new-prefix.sh"
/usr/lib/wine/wine64 "$out/Koerswacht-$version-setup.exe" /S
# The floor beside a copy of the same DLLs and plugins.
cp -r "$out/Koerswacht" "$work/floor"
cp "$out/build/bench/bench_floor.exe" "$work/floor/"
x86_64-w64-mingw32-strip "$work/floor/bench_floor.exe"
cp "$top/resources/ship.png" "$work/floor/"
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p # kept running between starts, as Windows' own services are
printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "C:\\\\Program Files\\\\Koerswacht\\\\koerswacht.exe"\n' >"$work/koerswacht"
printf '#!/bin/sh\ncd "%s"\nexec /usr/lib/wine/wine64 bench_floor.exe\n' "$work/floor" >"$work/floor.sh"
chmod +x "$work/koerswacht" "$work/floor.sh"
"$linux_build/bench/bench_startup" "$runs" Koerswacht "$work/koerswacht" Floor "$work/floor.sh"
