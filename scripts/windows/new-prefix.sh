#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX for the tests and benchmarks: Wine's metric twins of Arial
# and Arial Narrow (it has no Arial of its own), and unmanaged windows, since no window manager
# runs on the test display (Wine would otherwise wait two seconds at every window it hides).
set -euo pipefail
wine=/usr/lib/wine/wine64
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial Narrow' /t REG_SZ /d 'Liberation Sans Narrow' /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
/usr/lib/wine/wineserver -w
