#!/usr/bin/env bash
# The MSI package under Wine's msiexec, in the prefix $WINEPREFIX, on the X display, with the exit
# codes a deployment tool sees:
#   check-msi.sh MSI SETUP LOWER
# MSI is the package, SETUP the NSIS setup of the same build, LOWER a package of a lower version
# that the build made from the same files. In turn: install the lower one; with Koerswacht running,
# neither the upgrade nor the removal goes on (1603) and nothing changes; the upgrade, to one copy
# and one entry; the installed program started from its shortcut; no downgrade (1603); the NSIS
# setup does not install beside it (3); the removal leaves nothing; the package over an
# NSIS-installed copy replaces it, but an older package does not (1603), and an NSIS entry whose
# folder is gone does not stop it; a folder given at the first install stays at an upgrade. Stops at
# the first check that fails.
set -euo pipefail
msi="$1" setup="$2" lower="$3"
here="$(cd "$(dirname "$0")" && pwd)"
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
drive_c="$WINEPREFIX/drive_c"
# Windows puts a per-machine package's shortcut in all users' Start menu; Wine's msiexec, in the
# installing user's. Either is the Start menu.
start_menus=("$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Koerswacht.lnk"
    "$drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Koerswacht.lnk")
shortcut() { local lnk; for lnk in "${start_menus[@]}"; do [[ -f "$lnk" ]] && echo "$lnk"; done; }
uninstall_keys='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
program_files="$drive_c/Program Files/Koerswacht"
files='./LICENSE.txt ./THIRD-PARTY-NOTICES.txt ./koerswacht.exe'
property() { msiinfo export "$1" Property | tr -d '\r{}' | sed -n "s/^$2\t//p"; }
version="$(property "$msi" ProductVersion)" lower_version="$(property "$lower" ProductVersion)"
lower_code="$(property "$lower" ProductCode)" code="$(property "$msi" ProductCode)"

check() { # check "what" command...
    local what="$1"
    shift
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what" >&2; exit 1; fi
}
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }
# A command line run as a deployment tool runs it; prints its exit code, all of it (a Unix exit
# status keeps only its last 8 bits: 1603 would come back as 67).
exit_code() {
    printf '%s\r\necho %%errorlevel%% >C:\\koerswacht-exit.txt\r\n' "$1" >"$drive_c/koerswacht-check.bat"
    rm -f "$drive_c/koerswacht-exit.txt"
    "$wine" cmd /c 'C:\koerswacht-check.bat' >/dev/null 2>&1 || true
    # and whatever it started has ended; with Koerswacht running, that would be never
    [[ -n "$running" ]] || /usr/lib/wine/wineserver -w
    tr -d '\r ' <"$drive_c/koerswacht-exit.txt" 2>/dev/null || echo none
}
exits() { # exits CODE COMMAND_LINE
    local got
    got="$(exit_code "$2")"
    [[ "$got" == "$1" ]] || { echo "exit code $got, not $1" >&2; return 1; }
}
# The uninstall entries named Koerswacht, as "key version publisher", one a line.
entries() {
    "$wine" reg export "$uninstall_keys" "C:\\koerswacht-entries.reg" /y >/dev/null 2>&1 || true
    iconv -f UTF-16 -t UTF-8 "$drive_c/koerswacht-entries.reg" 2>/dev/null | tr -d '\r' | python3 -c '
import re, sys
entry = None
found = {}
for line in sys.stdin:
    key = re.match(r"\[.*\\Uninstall\\(.+)\]$", line.strip())
    if key:
        entry = key.group(1)
        found[entry] = {}
    elif entry and "=" in line:
        name, _, value = line.strip().partition("=")
        found[entry][name.strip("\"")] = value.strip("\"")
for key, values in sorted(found.items()):
    if values.get("DisplayName") == "Koerswacht":
        print(key, values.get("DisplayVersion", "-"), values.get("Publisher", "-"))'
    rm -f "$drive_c/koerswacht-entries.reg"
}
installed() { # installed VERSION KEY [FOLDER [FILES]]: the program's files, the shortcut, and one entry, KEY's
    [[ "$(cd "${3:-$program_files}" 2>/dev/null && find . -type f | sort | xargs)" == "${4:-$files}" ]] &&
        [[ "$(shortcut | wc -l)" == 1 ]] &&
        [[ "$(entries)" == "$2 $1 Havenlicht" ]]
}
nothing_installed() {
    for _ in $(seq 1 50); do # the NSIS uninstaller's last step runs just after it has ended
        [[ ! -e "$program_files" ]] && break
        sleep 0.1
    done
    [[ ! -e "$program_files" && -z "$(shortcut)" && -z "$(entries)" ]]
}
window_up() {
    for _ in $(seq 1 300); do
        xdotool search --onlyvisible --name '^Koerswacht$' >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
running=
start_program() {
    running=yes
    "$wine" "$@" >/dev/null 2>&1 &
}
close_program() {
    "$wine" taskkill /IM koerswacht.exe /F >/dev/null 2>&1 || true
    running=
    /usr/lib/wine/wineserver -w
}
msi_w="$(winepath_of "$msi")" lower_w="$(winepath_of "$lower")" setup_w="$(winepath_of "$setup")"

check "nothing installed to begin with" nothing_installed
check "install of $lower_version exits 0" exits 0 "msiexec /i \"$lower_w\" /qn"
check "installed: files, Start-menu shortcut, one entry with version and publisher" \
    installed "$lower_version" "{$lower_code}"

# The program runs: the package waits for no one and replaces nothing in use; it refuses.
start_program 'C:\Program Files\Koerswacht\koerswacht.exe'
check "the installed program starts" window_up
check "upgrade with Koerswacht running exits 1603" exits 1603 "msiexec /i \"$msi_w\" /qn"
check "and changes nothing" installed "$lower_version" "{$lower_code}"
check "removal with Koerswacht running exits 1603" exits 1603 "msiexec /x {$lower_code} /qn"
check "and removes nothing" installed "$lower_version" "{$lower_code}"
close_program

check "upgrade to $version exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "one copy, one entry: $version's" installed "$version" "{$code}"
check "the entry's icon is the program's" cmp -s "$drive_c/windows/Installer/{$code}/koerswacht.ico" "$here/../../resources/koerswacht.ico"
start_program start /unix "$(shortcut)"
check "the program starts from its Start-menu shortcut" window_up
close_program
check "install of $lower_version over it exits 1603 (no downgrade)" exits 1603 "msiexec /i \"$lower_w\" /qn"
check "and $version stays" installed "$version" "{$code}"
check "the NSIS setup over it exits 3" exits 3 "\"$setup_w\" /S"
check "and $version stays, alone" installed "$version" "{$code}"
check "removal by package exits 0" exits 0 "msiexec /x \"$msi_w\" /qn"
check "nothing left: files, folder, shortcut, entry" nothing_installed

# A copy from the NSIS setup is replaced, not joined.
check "NSIS setup /S exits 0" exits 0 "\"$setup_w\" /S"
check "the package over it exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "one copy, the package's, and its entry alone" installed "$version" "{$code}"
check "removal by product code exits 0" exits 0 "msiexec /x {$code} /qn"
check "nothing left" nothing_installed

# The NSIS setup's copy, newer than a package: that package does not downgrade it.
nsis_files="$files ./Uninstall.exe"
nsis_files="$(tr ' ' '\n' <<<"$nsis_files" | sort | xargs)"
check "NSIS setup /S exits 0" exits 0 "\"$setup_w\" /S"
check "an older package over it exits 1603" exits 1603 "msiexec /i \"$lower_w\" /qn"
check "and the NSIS copy stays as it was" installed "$version" Koerswacht "$program_files" "$nsis_files"
# Its folder deleted by hand, its entry left: the package cleans up after it and installs.
rm -rf "$program_files"
check "the package over a stale NSIS entry exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "one copy, one shortcut, the package's entry alone" installed "$version" "{$code}"
check "removal exits 0" exits 0 "msiexec /x {$code} /qn"
check "nothing left" nothing_installed

# A folder given to the first install is where an upgrade puts the program too.
elsewhere="$drive_c/Zeevaart"
check "install of $lower_version into C:\\Zeevaart exits 0" exits 0 "msiexec /i \"$lower_w\" /qn INSTALLDIR=C:\\Zeevaart"
check "upgrade to $version exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "the program stays in C:\\Zeevaart" installed "$version" "{$code}" "$elsewhere"
check "its entry says where it is" grep -q 'InstallLocation"="C:\\\\Zeevaart' <("$wine" reg export "$uninstall_keys\\{$code}" "C:\\entry.reg" /y >/dev/null 2>&1; iconv -f UTF-16 -t UTF-8 "$drive_c/entry.reg")
check "removal exits 0" exits 0 "msiexec /x {$code} /qn"
[[ ! -e "$elsewhere" ]] || { echo "FAIL: C:\\Zeevaart left behind" >&2; exit 1; }
