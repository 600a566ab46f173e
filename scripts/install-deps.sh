#!/usr/bin/env bash
# Installs what Koerswacht needs from Debian 12's archive: the build tools and Qt 6 to build and run
# it; with --test also what the tests need (a CUPS server with a PDF printer, poppler, the Windows
# cross compiler); with --release what CI's further checks need. Uses sudo when not run as root;
# skips apt when everything is there.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev libfontconfig-dev libcups2-dev fonts-liberation fonts-liberation2 xvfb xauth)
if [[ "${1:-}" == "--test" ]]; then
    # Orca, its speech server and a window manager hear the program as a screen reader's user does.
    packages+=(cups printer-driver-cups-pdf poppler-utils imagemagick hardinfo x11-utils python3 ccache
        qt6-base-private-dev orca speech-dispatcher at-spi2-core dbus openbox xdotool)
elif [[ "${1:-}" == "--release" ]]; then
    # Sanitizers, the fuzzer, the linters, the package check and the benchmarks.
    packages+=(clang libclang-rt-14-dev clang-tidy cppcheck dpkg-dev x11-utils libx11-dev lintian appstream
        desktop-file-utils man-db)
elif [[ "${1:-}" == "--windows" ]]; then
    # The cross compiler and Qt's source, Wine to run and test what it builds, NSIS for the
    # installer, wixl and zopfli for the MSI package (gcab to unpack its cabinet), and the test printer.
    packages+=(g++-mingw-w64-x86-64-posix dpkg-dev ccache wine64 nsis wixl msitools gcab libzopfli1 advancecomp unzip xdotool x11-utils
        cups printer-driver-cups-pdf poppler-utils imagemagick python3 procps locales)
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
