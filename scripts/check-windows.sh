#!/usr/bin/env bash
# Compiles the Windows-only sources with Debian's mingw-w64 cross compiler, so that they cannot rot
# unseen on a Linux build: the registry layer (no Qt) and the version record made from the
# template. $1: the build folder, whose generated/ holds Version.h.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for source in sysinfo/RegistryWin.cpp sysinfo/SysInfo.cpp; do
    x86_64-w64-mingw32-g++ -std=c++20 -Wall -Wextra -Werror -I"$top" -c "$top/$source" -o "$out/$(basename "$source").o"
done
# The record with the version CMake wrote into Version.h.
version() { sed -n "s/^#define KOERSWACHT_$1 \"\\{0,1\\}\\([^\"]*\\)\"\\{0,1\\}$/\\1/p" "$build/generated/Version.h"; }
sed -e "s|@PROJECT_SOURCE_DIR@|$top|" -e "s|@PROJECT_VERSION_MAJOR@|$(version VERSION_MAJOR)|g" \
    -e "s|@PROJECT_VERSION_MINOR@|$(version VERSION_MINOR)|g" -e "s|@PROJECT_VERSION_PATCH@|$(version VERSION_PATCH)|g" \
    -e "s|@KOERSWACHT_COMPANY@|$(version COMPANY)|" -e "s|@KOERSWACHT_VERSION_SHORT@|$(version VERSION_SHORT)|g" \
    "$top/resources/koerswacht.rc.in" >"$out/koerswacht.rc"
grep -q '@' "$out/koerswacht.rc" && { echo "unfilled placeholder in the version record" >&2; exit 1; }
x86_64-w64-mingw32-windres "$out/koerswacht.rc" -O coff -o "$out/koerswacht.res"
echo "Windows sources compile: registry layer and version record"
