#!/usr/bin/env bash
# Installs what Koerswacht needs from Debian 12's archive: the build tools and Qt 6 to build and run
# it, and with --test what the tests need (a CUPS server with a PDF printer, poppler, Xvfb, the
# Windows cross compiler). Uses sudo when not run as root; skips apt when everything is there.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev fonts-liberation fonts-liberation2 xvfb xauth)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(cups printer-driver-cups-pdf poppler-utils imagemagick g++-mingw-w64-x86-64 hardinfo)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
