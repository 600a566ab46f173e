#!/usr/bin/env bash
# Builds Koerswacht's MSI package with wixl from resources/windows/Koerswacht.wxs.
#   msi.sh VERSION FOLDER OUT.msi
# FOLDER holds koerswacht.exe, LICENSE.txt, THIRD-PARTY-NOTICES.txt and msi-checks.dll. The package's
# ProductVersion is the program's version record's, four numbers (6.3.0.0). Each version
# has a ProductCode of its own, made from the version, so that the same version always has the same
# code (the README names 6.3.0's); the UpgradeCode is the same for every version. Takes about
# 40 s, most of it zopfli's (mszip.py).
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
version="$1" folder="$2" out="$(realpath "$3")"
product_code="$(python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("303BBD61-5D1F-4C3F-AD34-F8B2BC0BA889"), sys.argv[1])).upper())' "$version")"
# wixl takes the files by names relative to where it runs.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$folder"/{koerswacht.exe,LICENSE.txt,THIRD-PARTY-NOTICES.txt,msi-checks.dll} "$here/resources/koerswacht.ico" "$stage"
(cd "$stage" && wixl --arch x64 -D Version="$version.0" -D ProductCode="$product_code" -D SourceDir=. \
    -D ChecksDll=msi-checks.dll -D Icon=koerswacht.ico -o "$out" "$here/resources/windows/Koerswacht.wxs")
# wixl's cabinet deflated again, harder (a tenth smaller).
python3 "$here/scripts/windows/mszip.py" "$out" "$stage"
