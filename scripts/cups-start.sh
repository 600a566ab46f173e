#!/usr/bin/env bash
# Starts a CUPS scheduler in the background (no service manager needed) with the cups-pdf queue
# "PDF" as the default printer, for the printing tests. Its pid goes to $KOERSWACHT_CUPS_PID
# (default /run/koerswacht-cupsd.pid) so cups-stop.sh ends exactly this one.
set -euo pipefail
pidfile="${KOERSWACHT_CUPS_PID:-/run/koerswacht-cupsd.pid}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    "${sudo[@]}" mkdir -p /run/cups
    "${sudo[@]}" bash -c "/usr/sbin/cupsd -f >/dev/null 2>&1 & echo \$! > '$pidfile'"
    for _ in $(seq 1 100); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.1
    done
    lpstat -r | grep -q 'is running' || { echo "cupsd did not start" >&2; exit 1; }
fi

# Without the pdftocairo renderer the PDF's text cannot be read back.
"${sudo[@]}" lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo -o TitlePref-default=1 -o Label-default=0
"${sudo[@]}" lpadmin -d PDF
lpstat -d
