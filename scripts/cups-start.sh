#!/usr/bin/env bash
# Starts a private CUPS scheduler for the printing tests: its own configuration, socket, spool,
# logs and cups-pdf output folder, all under one folder ($1, or a new temporary one), with the
# cups-pdf queue "PDF" as its default printer. It listens on its own socket only, so a scheduler the
# machine may run, and that scheduler's default printer, are never touched. CTest starts it as a
# fixture (tests/CMakeLists.txt); scripts/cups-stop.sh stops it and removes the folder.
#
# Prints the settings a client needs as shell assignments, for `eval "$(scripts/cups-start.sh)"`:
#   CUPS_SERVER        the private socket; printing clients use it instead of the system's
#   CUPS_SERVERROOT    an empty client configuration, so no lpoptions of the machine's apply
#   KOERSWACHT_PDF_DIR where cups-pdf writes the printed PDFs
#   KOERSWACHT_CUPS_DIR the folder to hand to scripts/cups-stop.sh
set -euo pipefail
export LC_ALL=C # lpstat's words are read below
[[ $(id -u) -eq 0 ]] || { echo "cups-start.sh: the cups-pdf backend runs only as root; run as root" >&2; exit 1; }
if [[ -n "${1:-}" ]]; then
    dir="$1"
    "$(dirname "$0")/cups-stop.sh" "$dir" # one left over from a run that was cut short
    mkdir -p "$dir"
else
    dir="$(mktemp -d "${TMPDIR:-/tmp}/koerswacht-cups.XXXXXX")"
fi
# Filters run as the scheduler's user lp: the spool and the output must be reachable for it.
chmod 0755 "$dir"
mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state,log,pdf,client,cups-pdf-spool,ssl}
chgrp -R lp "$dir/spool" "$dir/cache" "$dir/state"
chmod 0710 "$dir/spool"
chmod 01770 "$dir/spool/tmp"
chmod 0777 "$dir/pdf"
printf '%s\n' "ServerRoot $dir/etc" "RequestRoot $dir/spool" "TempDir $dir/spool/tmp" "CacheDir $dir/cache" \
    "StateDir $dir/state" "ErrorLog $dir/log/error_log" "AccessLog $dir/log/access_log" \
    "PageLog $dir/log/page_log" "Printcap $dir/printcap" "ServerKeychain $dir/ssl" "FileDevice No" \
    "Sandboxing Relaxed" "ServerBin $dir/bin" >"$dir/etc/cups-files.conf"
# The machine's filters and backends, and backends of the tests' own that stand in for a printer
# gone wrong: out of paper (it waits for paper), one that fails, one that never comes back.
mkdir -p "$dir/bin/backend"
for part in /usr/lib/cups/*; do [[ "$part" == */backend ]] || ln -sfn "$part" "$dir/bin/"; done
for backend in /usr/lib/cups/backend/*; do ln -sfn "$backend" "$dir/bin/backend/"; done
backend() { printf '#!/bin/sh\n[ $# -eq 0 ] && exit 0\n%s\n' "$2" >"$dir/bin/backend/$1"; chmod 0755 "$dir/bin/backend/$1"; }
backend kw-paper 'echo "STATE: +media-empty-error" >&2; echo "INFO: Papier op in lade 1" >&2; exec sleep 3600'
backend kw-fails 'echo "ERROR: kan niet verzenden" >&2; exit 1'
backend kw-gone 'echo "STATE: +offline-report" >&2; echo "INFO: De printer antwoordt niet" >&2; exec sleep 3600'

printf '%s\n' "Listen $dir/cups.sock" "Browsing No" "LogLevel warn" "DefaultAuthType Basic" "WebInterface No" \
    "MaxJobsPerPrinter 20" "JobRetryInterval 300" \
    "<Location />" "  Order allow,deny" "  Allow all" "</Location>" \
    "<Policy default>" "  <Limit All>" "    Order deny,allow" "  </Limit>" "</Policy>" \
    "<Policy accounting>" "  <Limit Create-Job Print-Job Print-URI Send-Document Validate-Job>" \
    "    AuthType Default" "    Require valid-user" "    Order deny,allow" "  </Limit>" \
    "  <Limit All>" "    Order deny,allow" "  </Limit>" "</Policy>" >"$dir/etc/cupsd.conf"
# cups-pdf reads its settings from a fixed place, /etc/cups/cups-pdf.conf; the private scheduler
# runs in a mount namespace of its own in which /etc/cups is a folder of its own holding this file.
# The folder, not the file: a file bound in place is let go of when the machine's file is renamed
# (a package upgrade, sed -i), and cups-pdf would then write where the machine's settings say.
mkdir -p "$dir/etc-cups"
printf '%s\n' "Out $dir/pdf" "AnonDirName $dir/pdf" "Spool $dir/cups-pdf-spool" "Log $dir/log" "Grp lp" \
    "DecodeHexStrings 1" >"$dir/etc-cups/cups-pdf.conf"
: >"$dir/client/client.conf"

unshare --mount --propagation private bash -c '
    mount --bind "$1/etc-cups" /etc/cups
    exec /usr/sbin/cupsd -f -c "$1/etc/cupsd.conf" -s "$1/etc/cups-files.conf"' _ "$dir" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

export CUPS_SERVER="$dir/cups.sock" CUPS_SERVERROOT="$dir/client"
for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
done
lpstat -r 2>/dev/null | grep -q 'is running' || {
    echo "the private cupsd did not start:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null
    "$(dirname "$0")/cups-stop.sh" "$dir"
    exit 1
}
# Without the pdftocairo renderer the PDF's text cannot be read back.
lpadmin -h "$CUPS_SERVER" -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo -o TitlePref-default=1 -o Label-default=0
lpadmin -h "$CUPS_SERVER" -p Boekhouding -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo -o TitlePref-default=1 -o Label-default=0 -o printer-op-policy=accounting
# Queues the printer-state tests print to, each in a state or under a policy of its own: out of
# paper, a device that fails, one that is gone, one that cannot be reached; a class whose one
# member is stopped; a quota of one kilobyte, a queue for one group only, a queue to fill up.
queue() { lpadmin -h "$CUPS_SERVER" -p "$1" -v "$2" -E -m raw "${@:3}" 2>/dev/null; }
queue Papier kw-paper:/
queue Storing kw-fails:/ -o printer-error-policy=retry-job
queue Weg kw-gone:/
queue Onbereikbaar socket://127.0.0.1:9
queue Lid kw-paper:/
lpadmin -h "$CUPS_SERVER" -p Lid -c Klas && cupsenable -h "$CUPS_SERVER" Klas && cupsaccept -h "$CUPS_SERVER" Klas
cupsdisable -h "$CUPS_SERVER" Lid
queue Quotum kw-paper:/ -o job-quota-period=604800 -o job-k-limit=1
queue Groep kw-paper:/ -u allow:@nogroup
queue Vol kw-paper:/
lpadmin -h "$CUPS_SERVER" -d PDF
lpstat -h "$CUPS_SERVER" -d >&2
printf 'export CUPS_SERVER=%q CUPS_SERVERROOT=%q KOERSWACHT_PDF_DIR=%q KOERSWACHT_CUPS_DIR=%q\n' \
    "$CUPS_SERVER" "$CUPS_SERVERROOT" "$dir/pdf" "$dir"
