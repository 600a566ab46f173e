#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX for the tests and benchmarks: Wine's metric twins of Arial
# and Arial Narrow (it has no Arial of its own), and unmanaged windows, since no window manager
# runs on the test display (Wine would otherwise wait two seconds at every window it hides).
# With --remove: stops what runs in it and removes it. Where $LOCPATH is set, it also makes the
# Dutch locale there for Linux's side: with it Wine names files in UTF-8, as with no locale it does
# not, and the machine's own locales stay as they are.
set -euo pipefail
wine=/usr/lib/wine/wine64
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "${WINEPREFIX:?}"
[[ "${1:-}" == "--remove" ]] && exit 0
if [[ -n "${LOCPATH:-}" && ! -d "$LOCPATH/nl_NL.UTF-8" ]]; then
    mkdir -p "$LOCPATH"
    localedef -i nl_NL -f UTF-8 "$LOCPATH/nl_NL.UTF-8"
fi
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial Narrow' /t REG_SZ /d 'Liberation Sans Narrow' /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
/usr/lib/wine/wineserver -w
