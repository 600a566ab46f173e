#!/usr/bin/env bash
# Installs what is missing, builds, starts a private CUPS server with a PDF printer as the default,
# runs every test, and stops the server again.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh" --test
"$top/scripts/build.sh"
"$top/scripts/cups-start.sh"
# CI runs more checks with the printer afterwards and stops it itself.
[[ -n "${KOERSWACHT_KEEP_CUPS:-}" ]] || trap '"$top/scripts/cups-stop.sh"' EXIT
cd "${BUILD_DIR:-$top/build}"
ctest --output-on-failure -j "$(nproc)"
