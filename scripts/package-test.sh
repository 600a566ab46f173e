#!/usr/bin/env bash
# The Debian package made with the commands of the README's "Installing the Debian package" as they
# stand (the install itself done here, and undone); checked as packagers and software centres check
# it; installed, started under Xvfb until its main window "Koerswacht" is mapped, made to print on a
# test printer of its own, and removed.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
# The indented block under the heading, up to the next paragraph.
block="$(awk '/^## Installing the Debian package/ {inside=1; next} inside && /^    / {print substr($0, 5); seen=1; next}
              inside && seen && !/^$/ {exit}' README.md)"
deb="build/$(grep -oP 'apt-get install \./\K\S+' <<<"$block")"
[[ "$deb" == *.deb ]] || { echo "no package installed under \"Installing the Debian package\"" >&2; exit 1; }
commands="$(grep -v 'apt-get install ./' <<<"$block")"
echo "$commands"
(bash -euo pipefail -c "$commands") >/dev/null
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends):'
# lintian with no error and no warning, the AppStream metadata valid, the desktop entry without a
# word from its validator.
report="$(lintian --fail-on none "$deb" 2>&1)" || { echo "lintian did not run: $report" >&2; exit 1; }
findings="$(grep -E '^[EW]: ' <<<"$report" || true)"
[[ -z "$findings" ]] || { echo "lintian:" >&2; echo "$findings" >&2; exit 1; }
echo "lintian: no errors, no warnings"
appstreamcli validate --no-net resources/package/org.example.koerswacht.metainfo.xml
desktop_findings="$(desktop-file-validate resources/koerswacht.desktop 2>&1)"
[[ -z "$desktop_findings" ]] || { echo "$desktop_findings" >&2; exit 1; }
echo "desktop-file-validate: silent"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq koerswacht >/dev/null' EXIT
test -x /usr/bin/koerswacht
test -x /usr/libexec/koerswacht/koerswacht-print
test -f /usr/share/applications/koerswacht.desktop
test -f /usr/share/icons/hicolor/32x32/apps/koerswacht.png
test -f /usr/share/metainfo/org.example.koerswacht.metainfo.xml
man -w koerswacht >/dev/null
# Started with Qt's own options, which it ignores, until its window is mapped. A second try:
# an X server that fails to come up once is not the program's fault; a fault of the program fails both.
tests/program_arguments.sh /usr/bin/koerswacht || tests/program_arguments.sh /usr/bin/koerswacht
# It prints, through the helper the package installed beside it.
tests/prints_installed.sh /usr/bin/koerswacht
