#!/usr/bin/env bash
# Installs what is missing, builds and starts Koerswacht. Without a display it starts under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target koerswacht
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: starting Koerswacht under Xvfb (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/koerswacht
fi
exec build/koerswacht
