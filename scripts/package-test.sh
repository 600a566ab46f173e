#!/usr/bin/env bash
# Builds the Debian package, installs it, starts the installed program under Xvfb, waits until its
# main window "Koerswacht" is mapped, ends it and removes the package again.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$top/build}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
(cd "$build" && cpack -G DEB >/dev/null)
version="$(sed -n 's/^#define KOERSWACHT_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/Version.h")"
deb="$build/koerswacht_${version}_$(dpkg --print-architecture).deb"
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends):'
# What packagers and software centres check: lintian with no error and no warning, the AppStream
# metadata valid, the desktop entry without a word from its validator.
report="$(lintian --fail-on none "$deb" 2>&1)" || { echo "lintian did not run: $report" >&2; exit 1; }
findings="$(grep -E '^[EW]: ' <<<"$report" || true)"
[[ -z "$findings" ]] || { echo "lintian:" >&2; echo "$findings" >&2; exit 1; }
echo "lintian: no errors, no warnings"
appstreamcli validate --no-net "$top/resources/package/org.example.koerswacht.metainfo.xml"
desktop_findings="$(desktop-file-validate "$top/resources/koerswacht.desktop" 2>&1)"
[[ -z "$desktop_findings" ]] || { echo "$desktop_findings" >&2; exit 1; }
echo "desktop-file-validate: silent"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq koerswacht >/dev/null' EXIT
test -x /usr/bin/koerswacht
test -f /usr/share/applications/koerswacht.desktop
test -f /usr/share/icons/hicolor/32x32/apps/koerswacht.png
test -f /usr/share/metainfo/org.example.koerswacht.metainfo.xml
man -w koerswacht >/dev/null

export DBUS_SESSION_BUS_ADDRESS=disabled:
start_installed() {
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    /usr/bin/koerswacht & program=$!
    for _ in $(seq 1 200); do
        # Qt also names its 1x1 client-leader window "Koerswacht": look for the one with a class.
        window=$(xwininfo -root -tree | awk "/\"Koerswacht\": \\(\"koerswacht\"/ {print \$1; exit}")
        if [[ -n "$window" ]] && xwininfo -id "$window" | grep -q "Map State: IsViewable"; then
            echo "installed Koerswacht: main window $window mapped"
            kill $program
            exit 0
        fi
        kill -0 $program 2>/dev/null || { echo "installed Koerswacht ended early" >&2; exit 1; }
        sleep 0.1
    done
    echo "installed Koerswacht showed no window in 20 s" >&2
    kill $program
    exit 1'
}
# A second try: an X server that fails to come up once is not the program's fault, and a real
# fault of the program fails both.
start_installed || start_installed
