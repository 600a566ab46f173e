#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). KOERSWACHT_WERROR=ON makes warnings errors and
# KOERSWACHT_BENCH=ON builds the benchmarks too, as CI does.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DKOERSWACHT_WERROR="${KOERSWACHT_WERROR:-OFF}" -DKOERSWACHT_BENCH="${KOERSWACHT_BENCH:-OFF}" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
