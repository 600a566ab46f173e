#!/usr/bin/env bash
# The program ($1) prints: driven by the keyboard under Xvfb, its speed calculator's "Afdrukken"
# puts the report on a test printer of this script's own, started and stopped here. For the
# installed package, whose program finds its print helper where the package put it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
chmod 0755 "$work" # the scheduler's filters run as lp
eval "$("$top/scripts/cups-start.sh" "$work/printer" 2>/dev/null)"
trap '"$top/scripts/cups-stop.sh" "$work/printer"; rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -euo pipefail -c '
    "$1" & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    window() { for _ in $(seq 1 100); do xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 && return; sleep 0.1; done; }
    keys() { xdotool windowfocus --sync "$1"; for key in "${@:2}"; do xdotool key "$key"; sleep 0.15; done; }
    keys "$(window Koerswacht)" Tab Return
    speed="$(window SpeedCalculator)"
    for value in 08.00 "" 15.00 0 100; do keys "$speed" Tab; [[ -z "$value" ]] || xdotool type --delay 40 "$value"; done
    keys "$speed" Tab Tab Tab Return Tab Return # "Bereken Vaart", then "Afdrukken"
    for _ in $(seq 1 200); do
        pdf="$(find "$2" -name "*.pdf" | head -n 1)"
        [[ -n "$pdf" && -z "$(lpstat -h "$CUPS_SERVER" -o)" ]] && pdftotext "$pdf" - && exit 0
        sleep 0.1
    done
    echo "nothing printed in 20 s" >&2
    exit 1' _ "$1" "$KOERSWACHT_PDF_DIR" | grep -q "Gemiddelde snelheid = 14.28" || { echo "$1 did not print the report" >&2; exit 1; }
echo "$1 printed the speed report"
