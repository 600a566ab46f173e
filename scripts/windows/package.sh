#!/usr/bin/env bash
# Builds the Windows edition here: the static Qt into the cache folder when it is not there yet,
# koerswacht.exe and its tests (the "windows" preset), then with cpack the portable zip and the
# NSIS installer, and with wixl the MSI package, in build-windows/build/. The zip is deflated again
# with zopfli, the tightest deflate Windows Explorer unpacks. Says the four files' sizes; the last
# line names the zip, the installer and the MSI package.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh --windows
scripts/windows/build-qt.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows
cd build-windows/build
cpack >/dev/null
version="$(sed -n 's/^#define KOERSWACHT_VERSION_TEXT "\(.*\)"$/\1/p' generated/Version.h)"
zip_file="$PWD/Koerswacht-$version-win64.zip"
mv Koerswacht.zip "$zip_file"
advzip --recompress -4 --iter 15 "$zip_file" >/dev/null
setup_file="$PWD/$(ls Koerswacht-*-setup.exe)"
msi_file="$PWD/Koerswacht-$version-win64.msi" # made by the build
stat -c '%n: %s bytes' koerswacht.exe "$zip_file" "$setup_file" "$msi_file" >&2
echo "$zip_file $setup_file $msi_file"
