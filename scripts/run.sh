#!/usr/bin/env bash
# Installs what is missing, builds and starts Koerswacht. Without a display it starts under Xvfb.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: starting Koerswacht under Xvfb (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${BUILD_DIR:-$top/build}/koerswacht"
fi
exec "${BUILD_DIR:-$top/build}/koerswacht"
