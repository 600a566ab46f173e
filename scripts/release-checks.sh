#!/usr/bin/env bash
# The checks CI runs after the tests: the layering of the folders, the layouts against their
# generator, the whole suite again under AddressSanitizer and UBSan, a minute of fuzzing, clang-tidy
# and cppcheck, and the Debian package installed and started. Expects scripts/test.sh to have built
# build/, and the private test printer of scripts/cups-start.sh to be running.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh" --release
echo "== layers";      "$top/scripts/check-layers.sh"
echo "== layouts";     "$top/scripts/check-layouts.sh"
echo "== printer";     "$top/scripts/check-printer-privacy.sh"
echo "== sanitizers";  "$top/scripts/sanitize.sh"
echo "== fuzzing";     "$top/scripts/fuzz.sh" "${FUZZ_SECONDS:-60}" 2>&1 | tail -n 6
echo "== lint";        "$top/scripts/lint.sh"
echo "== package";     "$top/scripts/package-test.sh"
