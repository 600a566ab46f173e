#!/usr/bin/env bash
# Remakes the README's pictures: the screens under Xvfb, and the two printed reports through the
# private cups-pdf default printer turned into PNG with pdftoppm.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$top/build}"
docs="$top/docs"
mkdir -p "$docs"
eval "$("$top/scripts/cups-start.sh")"
trap '"$top/scripts/cups-stop.sh" "$KOERSWACHT_CUPS_DIR"' EXIT
pdf_dir="$KOERSWACHT_PDF_DIR"
DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/tests/screenshot_tour" "$docs"
for _ in $(seq 1 100); do
    [[ -z "$(lpstat -o PDF)" && -f "$pdf_dir/SpeedCalculator_Resultaten.pdf" ]] && break
    sleep 0.1
done
pdftoppm -r 90 -png -singlefile "$pdf_dir/ETA_Calculator_Resultaten.pdf" "$docs/eta-report"
pdftoppm -r 90 -png -singlefile "$pdf_dir/SpeedCalculator_Resultaten.pdf" "$docs/speed-report"
# Keep the printed part of the page.
convert "$docs/eta-report.png" -crop 765x720+0+0 +repage "$docs/eta-report.png"
convert "$docs/speed-report.png" -crop 765x260+0+0 +repage "$docs/speed-report.png"
ls -l "$docs"
