#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, the printing tests on a private CUPS server
# that CTest starts and stops around them. KOERSWACHT_WERROR=ON makes warnings errors and
# KOERSWACHT_BENCH=ON builds the benchmarks too, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake --workflow --preset default
