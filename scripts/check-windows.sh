#!/usr/bin/env bash
# Compiles the Windows-only sources with Debian's mingw-w64 cross compiler, so that they cannot rot
# unseen on a Linux build: the registry layer (no Qt) and the version record.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for source in about/RegistryWin.cpp about/SysInfo.cpp; do
    x86_64-w64-mingw32-g++ -std=c++20 -Wall -Wextra -Werror -I"$top" -c "$top/$source" -o "$out/$(basename "$source").o"
done
x86_64-w64-mingw32-windres -I"$top/resources" "$top/resources/koerswacht.rc" -O coff -o "$out/koerswacht.res"
echo "Windows sources compile: registry layer and version record"
