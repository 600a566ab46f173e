#!/usr/bin/env bash
# Runs "$@" (CI: the test command) and fails when it changed the printing set-up it found: the
# scheduler the environment points at keeps running, its printers, its default printer, and no job
# reached it; and no scheduler wrote where the machine's keeps its files (its printcap, its
# certificates, spool, cache, state and logs), where the tests' own must write nothing. Where no scheduler runs, a stand-in plays the machine's, with a default printer
# "Kantoor" that the tests' own "PDF" queue must not replace.
set -euo pipefail
export LC_ALL=C # lpstat's words are read
top="$(cd "$(dirname "$0")/.." && pwd)"
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    eval "$("$top/scripts/cups-start.sh" 2>/dev/null)"
    trap '"$top/scripts/cups-stop.sh" "$KOERSWACHT_CUPS_DIR"' EXIT
    lpadmin -h "$CUPS_SERVER" -p Kantoor -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null
    lpadmin -h "$CUPS_SERVER" -d Kantoor
fi
system_files=(/run/cups /etc/cups /var/cache/cups /var/spool/cups /var/log/cups /var/lib/cups /var/spool/cups-pdf)
snapshot() {
    lpstat -r; lpstat -d; lpstat -v | sort; lpstat -W all -o | sort
    find "${system_files[@]}" 2>/dev/null | sort || true
    sha256sum /run/cups/printcap 2>/dev/null || echo "no /run/cups/printcap"
}
before="$(snapshot)"
grep -q 'system default destination' <<<"$before" || { echo "no default printer to watch" >&2; exit 1; }
"$@"
after="$(snapshot)"
diff <(echo "$before") <(echo "$after") >&2 || { echo "\"$*\" changed the printing set-up it found" >&2; exit 1; }
echo "printer privacy: scheduler, printers, default printer, jobs and the machine's scheduler files as they were ($(lpstat -d))"
