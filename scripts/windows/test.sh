#!/usr/bin/env bash
# Tests the Windows edition that package.sh built, under Wine on a virtual display (Xvfb): the
# suites in a Dutch and a C locale, the edition's size and imports, the installer and uninstaller,
# the installed program worked with the keyboard, printing through Wine. ctest --preset windows.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh --windows
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset windows "$@"
