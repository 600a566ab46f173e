#!/usr/bin/env bash
# Checks that scripts/test.sh leaves the printing setup it finds exactly as it was: the scheduler
# the environment points at keeps running, keeps its printers and keeps its default printer.
# Where no scheduler is running, a stand-in plays the machine's: a scheduler of its own, with a
# default printer "Kantoor" that the tests' private "PDF" queue must not replace.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
unset KOERSWACHT_CUPS_DIR KOERSWACHT_PDF_DIR

standin=""
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    eval "$("$top/scripts/cups-start.sh" 2>/dev/null)"
    standin="$KOERSWACHT_CUPS_DIR"
    unset KOERSWACHT_CUPS_DIR KOERSWACHT_PDF_DIR
    trap '"$top/scripts/cups-stop.sh" "$standin"' EXIT
    lpadmin -h "$CUPS_SERVER" -p Kantoor -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null
    lpadmin -h "$CUPS_SERVER" -d Kantoor
fi

snapshot() {
    lpstat -r
    lpstat -d
    lpstat -v | sort
}
before="$(snapshot)"
grep -q 'system default destination' <<<"$before" || { echo "no default printer to watch" >&2; exit 1; }
"$top/scripts/test.sh" >/dev/null
after="$(snapshot)"
if [[ "$before" != "$after" ]]; then
    echo "scripts/test.sh changed the printing setup it found:" >&2
    diff <(echo "$before") <(echo "$after") >&2
    exit 1
fi
echo "printer privacy: scheduler, printers and default printer as they were ($(lpstat -d))"
