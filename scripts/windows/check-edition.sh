#!/usr/bin/env bash
# The Windows edition as a user downloads it: one program file that imports only DLLs every
# Windows 10 and 11 has, a GUI program; the installer and the MSI package at most 3.5 MB and the
# portable zip at most 4.5 MB (a ship's satellite link); the zip with the licences beside the
# program, in a compression Windows Explorer opens; the MSI package with the zip's very files, its
# ProductVersion the program's version record, and its check DLL importing Windows' own only; and
# its tables as Windows Installer reads them.
# $1 the program, $2 the installer, $3 the zip, $4 the MSI package, $5 the MSI package built again
# from the same files. Prints the figures.
set -euo pipefail
exe="$1" setup="$2" zip="$3" msi="$4" again="$5"
windows_own=(advapi32 authz comdlg32 d2d1 d3d9 d3d11 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
    netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv
    ws2_32 wtsapi32 api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0
    api-ms-win-core-winrt-string-l1-1-0)
status=0
only_windows_own() { # only_windows_own FILE [DLL...]: its imports are Windows' own DLLs, or these
    local imports own=("${windows_own[@]}" "${@:2}")
    imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sed 's/\.dll$//' | sort)
    echo "$(basename "$1") imports: $(echo $imports)"
    for dll in $imports; do
        [[ " ${own[*]} " == *" $dll "* ]] || { echo "$1 imports $dll, which is not Windows' own" >&2; status=1; }
    done
}
only_windows_own "$exe"
headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
grep -q '^Subsystem\s*00000002' <<<"$headers" || { echo "not a GUI program" >&2; status=1; }
size() { stat -c %s "$1"; }
minutes() { awk -v bytes="$1" 'BEGIN { printf "%.1f", bytes * 8 / 150000 / 60 }'; }
printf 'koerswacht.exe %s bytes; installer %s bytes (%s min at 150 kbit/s); zip %s bytes (%s min); MSI %s bytes (%s min)\n' \
    "$(size "$exe")" "$(size "$setup")" "$(minutes "$(size "$setup")")" "$(size "$zip")" "$(minutes "$(size "$zip")")" \
    "$(size "$msi")" "$(minutes "$(size "$msi")")"
(($(size "$setup") <= 3500000)) || { echo "the installer is larger than 3,500,000 bytes" >&2; status=1; }
(($(size "$msi") <= 3500000)) || { echo "the MSI package is larger than 3,500,000 bytes" >&2; status=1; }
(($(size "$zip") <= 4500000)) || { echo "the zip is larger than 4,500,000 bytes" >&2; status=1; }
listing=$(zipinfo "$zip")
for file in koerswacht.exe LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    grep -q " Koerswacht/$file\$" <<<"$listing" || { echo "the zip lacks Koerswacht/$file" >&2; status=1; }
done
# Explorer unpacks stored and deflated members only.
awk '$1 ~ /^-/ && $6 !~ /^(stor|def[NXFS])$/ {bad=1} END {exit bad}' <<<"$listing" ||
    { echo "the zip holds members Explorer cannot unpack" >&2; status=1; }
unzip -tq "$zip" >/dev/null || status=1

# The MSI package: the zip's files, byte for byte, and the program's own version.
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked/zip"
mkdir "$unpacked/msi" "$unpacked/binary"
(cd "$unpacked/msi" && msiextract "$msi" >/dev/null)
for file in koerswacht.exe LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    cmp -s "$unpacked/zip/Koerswacht/$file" "$unpacked/msi/Koerswacht/$file" ||
        { echo "the MSI package's $file is not the zip's" >&2; status=1; }
done
[[ "$(find "$unpacked/msi" -type f | wc -l)" == 3 ]] || { echo "the MSI package holds more than the zip's files" >&2; status=1; }
product_version="$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')"
record_version="$(python3 - "$exe" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(b"\xbd\x04\xef\xfe")  # VS_FIXEDFILEINFO's signature
ms, ls = struct.unpack_from("<II", data, at + 16)  # dwProductVersionMS, LS
print(f"{ms >> 16}.{ms & 0xffff}.{ls >> 16}.{ls & 0xffff}")
PY
)"
echo "MSI ProductVersion $product_version; version record $record_version"
[[ -n "$product_version" && "$product_version.0" == "$record_version" ]] ||
    { echo "the MSI package's ProductVersion is not the program's" >&2; status=1; }
row() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4 | awk -F'\t' -v key="$2" '$1 == key'; }
summary() { msiinfo suminfo "$1" | sed -n "s/^$2: //p"; }
expect() { # expect WHAT ACTUAL WANTED
    [[ "$2" == "$3" ]] && echo "MSI: $1: $2" || { echo "the MSI package's $1 is ${2:-nothing}, not $3" >&2; status=1; }
}
expect "program file's version in the File table" "$(row File koerswacht.exe | cut -f5)" "$record_version"
expect "program file's hash (versioned files have none)" "$(row MsiFileHash koerswacht.exe)" ""
expect "string table's code page" "$(msiinfo export "$msi" _ForceCodepage | tr -d '\r' | sed -n 3p | cut -f1)" 1252
expect "platform and language" "$(summary "$msi" Template)" "x64;1043"
expect "take-over of a setup copy (deferred, not impersonated)" \
    "$(( $(row CustomAction TakeOverSetupCopy | cut -f2) & 0x0C00 ))" "$((0x0C00))"
expect "entry's install location" "$(row CustomAction SetInstallLocation | cut -f3,4)" $'ARPINSTALLLOCATION\t[INSTALLDIR]'
expect "folder kept for upgrades" "$(row AppSearch SAVEDINSTALLDIR | cut -f2)" SavedInstallDir
expect "PackageCode, built again" "$(summary "$again" 'Revision number (UUID)')" "$(summary "$msi" 'Revision number (UUID)')"
msiinfo export "$msi" Binary >/dev/null
(cd "$unpacked/binary" && msiinfo extract "$msi" Binary.MsiChecks >msi-checks.dll)
only_windows_own "$unpacked/binary/msi-checks.dll" msi # Windows Installer's own, which loads it
exit $status
