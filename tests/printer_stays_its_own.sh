#!/usr/bin/env bash
# The test printer keeps its PDFs and its cups-pdf log in its own folder when /etc/cups/cups-pdf.conf
# is renamed while it runs (a package upgrade of cups-pdf, any sed -i). The renaming happens in a
# mount namespace of this test's own, whose /etc/cups is a copy, so the machine's file is never
# touched; a second test printer started there plays the one the tests use.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$1" # a folder of the test's own
rm -rf "$work" && mkdir -p "$work/etc-cups"
exec unshare --mount --propagation private bash -euo pipefail -c '
    work="$1" top="$2"
    cp -a /etc/cups/. "$work/etc-cups/"
    mount --bind "$work/etc-cups" /etc/cups
    eval "$("$top/scripts/cups-start.sh" "$work/printer" 2>/dev/null)"
    trap "\"$top/scripts/cups-stop.sh\" \"$work/printer\"" EXIT
    mv /etc/cups/cups-pdf.conf /etc/cups/cups-pdf.conf.dpkg-old
    echo "Proef na de upgrade" | lp -h "$CUPS_SERVER" -t Proef - >/dev/null
    for _ in $(seq 1 300); do
        [[ -n "$(lpstat -h "$CUPS_SERVER" -o)" ]] || break
        sleep 0.1
    done
    pdf="$(find "$KOERSWACHT_PDF_DIR" -name "Proef*.pdf" | head -n 1)"
    [[ -n "$pdf" ]] || { echo "no PDF in the test printer'\''s folder after the rename:" >&2; ls -lR "$work/printer" >&2; exit 1; }
    pdftotext "$pdf" - | grep -q "Proef na de upgrade" || { echo "$pdf holds something else" >&2; exit 1; }
    ls "$work/printer/log" | grep -q "^cups-pdf" || { echo "no cups-pdf log in the test printer'\''s folder" >&2; exit 1; }
    echo "after the rename: $(basename "$pdf") and $(ls "$work/printer/log" | grep "^cups-pdf") in the test printer'\''s folder"
' _ "$work" "$top"
