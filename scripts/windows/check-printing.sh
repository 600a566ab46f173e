#!/usr/bin/env bash
# "Afdrukken" from the Windows build, through Wine's printing to a private CUPS server's PDF
# printer, under $WINEPREFIX on the X display:
#   1. both reports, worked by the screenshot tour, print the lines tests/reports holds, word for
#      word, as the Linux build prints them; Wine's spooler lists no jobs, so without its word on
#      the job each is told as one that may have printed;
#   2. with the queue refusing jobs, the Windows build says so for each report (Wine passes CUPS's
#      refusal on as a failed EndDoc, the printer's state stays "ready"), and nothing is printed,
#      also when the logging rules silence Qt's warnings;
#   3. a report given up on while drawn after the spooler started its document prints nothing.
# $1 the Windows build's screenshot_tour.exe, $2 its tst_printoutcomes.exe.
set -euo pipefail
windows_tour="$1" outcomes="$2"
top="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
eval "$("$top/scripts/cups-start.sh" 2>/dev/null)"
trap '"$top/scripts/cups-stop.sh" "$KOERSWACHT_CUPS_DIR"; rm -rf "$work"' EXIT
source "$top/scripts/windows/common.sh"
export LANG=nl_NL.UTF-8 LC_ALL=nl_NL.UTF-8
printed() { # the queue empty and both reports there
    [[ -z "$(lpstat -o 2>/dev/null)" && -f "$KOERSWACHT_PDF_DIR/SpeedCalculator_Resultaten.pdf" &&
        -f "$KOERSWACHT_PDF_DIR/ETA_Calculator_Resultaten.pdf" ]]
}
collect() { # collect FOLDER: waits until both are printed, then moves them there
    within 100 printed || true
    mkdir -p "$1"
    mv "$KOERSWACHT_PDF_DIR"/*.pdf "$1/" 2>/dev/null || true
}
words() { pdftotext -layout "$1" - 2>/dev/null | sed -e 's/  */ /g' -e 's/^ //' -e 's/ $//' | grep -v '^$'; }

mkdir -p "$work/windows-shots"
timeout 300 "$wine" "$windows_tour" "$(winepath_of "$work/windows-shots")" >/dev/null 2>&1 || true
collect "$work/windows"
maybe="Het rapport is mogelijk toch afgedrukt"
[[ "$(grep -c -F "$maybe" "$work/windows-shots/messages.txt" 2>/dev/null)" -eq 2 ]] ||
    { echo "FAIL: without the spooler's word on the jobs, the Windows build said: $(cat "$work/windows-shots/messages.txt" 2>/dev/null)" >&2; exit 1; }
echo "PASS: no word from Wine's spooler on either job: both told \"$maybe\""
for report in ETA_Calculator_Resultaten SpeedCalculator_Resultaten; do
    [[ -f "$work/windows/$report.pdf" ]] || { echo "FAIL: no $report.pdf from the Windows build" >&2; exit 1; }
    diff "$top/tests/reports/$report.txt" <(words "$work/windows/$report.pdf") >&2 ||
        { echo "FAIL: $report.pdf differs from the Linux build's" >&2; exit 1; }
    echo "PASS: $report.pdf through Wine, $(words "$work/windows/$report.pdf" | wc -l) lines as the Linux build prints them"
done

cupsreject -h "$CUPS_SERVER" PDF
mkdir -p "$work/refused-shots"
WINEQT_LOGGING_RULES='*.critical=false' timeout 300 "$wine" "$windows_tour" "$(winepath_of "$work/refused-shots")" >/dev/null 2>&1 || true
said="$(cat "$work/refused-shots/messages.txt" 2>/dev/null)"
grep 'not-accepting' "$KOERSWACHT_CUPS_DIR/log/error_log" | tail -n 1
refused="De printer heeft het document niet aangenomen; er is niets afgedrukt."
[[ "$(grep -c -F "$refused" <<<"$said")" -eq 2 ]] ||
    { echo "FAIL: with the queue refusing jobs, the Windows build said: ${said:-nothing}" >&2; exit 1; }
echo "PASS: with the queue refusing jobs and Qt's warnings silenced, both reports say: $refused"
check "and nothing printed" test -z "$(ls "$KOERSWACHT_PDF_DIR"/*.pdf 2>/dev/null)"

cupsaccept -h "$CUPS_SERVER" PDF
KOERSWACHT_REAL_SPOOLER=1 timeout 120 "$wine" "$outcomes" spoolerDropsWhatWasGivenUp -o "$(winepath_of "$work/outcomes.txt"),txt" >/dev/null 2>&1 ||
    { cat "$work/outcomes.txt" >&2; echo "FAIL: a report given up on" >&2; exit 1; }
sleep 3
! ls "$KOERSWACHT_PDF_DIR"/Opgegeven*.pdf >/dev/null 2>&1 && [[ -z "$(lpstat -o 2>/dev/null)" ]] ||
    { echo "FAIL: a report given up on while drawn reached the printer" >&2; exit 1; }
echo "PASS: a report given up on while drawn: told not printed, and nothing reached the printer"
