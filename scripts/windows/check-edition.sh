#!/usr/bin/env bash
# The Windows edition as a user downloads it: one program file that imports only DLLs every
# Windows 10 and 11 has, a GUI program; the installer at most 3.5 MB and the portable zip at most
# 4.5 MB (a ship's satellite link); the zip with the licences beside the program, in a compression
# Windows Explorer opens. $1 the program, $2 the installer, $3 the zip. Prints the figures.
set -euo pipefail
exe="$1" setup="$2" zip="$3"
windows_own=(advapi32 authz comdlg32 d2d1 d3d9 d3d11 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
    netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv
    ws2_32 wtsapi32 api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0
    api-ms-win-core-winrt-string-l1-1-0)
status=0
headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sed 's/\.dll$//' | sort)
echo "koerswacht.exe imports: $(echo $imports)"
for dll in $imports; do
    [[ " ${windows_own[*]} " == *" $dll "* ]] || { echo "imports $dll, which is not Windows' own" >&2; status=1; }
done
grep -q '^Subsystem\s*00000002' <<<"$headers" || { echo "not a GUI program" >&2; status=1; }
size() { stat -c %s "$1"; }
minutes() { awk -v bytes="$1" 'BEGIN { printf "%.1f", bytes * 8 / 150000 / 60 }'; }
printf 'koerswacht.exe %s bytes; installer %s bytes (%s min at 150 kbit/s); zip %s bytes (%s min)\n' \
    "$(size "$exe")" "$(size "$setup")" "$(minutes "$(size "$setup")")" "$(size "$zip")" "$(minutes "$(size "$zip")")"
(($(size "$setup") <= 3500000)) || { echo "the installer is larger than 3,500,000 bytes" >&2; status=1; }
(($(size "$zip") <= 4500000)) || { echo "the zip is larger than 4,500,000 bytes" >&2; status=1; }
listing=$(zipinfo "$zip")
for file in koerswacht.exe LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    grep -q " Koerswacht/$file\$" <<<"$listing" || { echo "the zip lacks Koerswacht/$file" >&2; status=1; }
done
# Explorer unpacks stored and deflated members only.
awk '$1 ~ /^-/ && $6 !~ /^(stor|def[NXFS])$/ {bad=1} END {exit bad}' <<<"$listing" ||
    { echo "the zip holds members Explorer cannot unpack" >&2; status=1; }
unzip -tq "$zip" >/dev/null || status=1
exit $status
