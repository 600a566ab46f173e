#!/usr/bin/env bash
# Installs what is missing, builds, starts a private CUPS server with a PDF printer as its default,
# runs every test, and stops the server again. A private server already started by the caller
# (CI keeps one for its further checks) is used as it is.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh" --test
"$top/scripts/build.sh"
if [[ -z "${KOERSWACHT_CUPS_DIR:-}" ]]; then
    eval "$("$top/scripts/cups-start.sh")"
    trap '"$top/scripts/cups-stop.sh" "$KOERSWACHT_CUPS_DIR"' EXIT
fi
cd "${BUILD_DIR:-$top/build}"
ctest --output-on-failure -j "$(nproc)"
