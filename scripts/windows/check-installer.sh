#!/usr/bin/env bash
# The installer and the uninstaller under Wine, in the prefix $WINEPREFIX, on the X display.
#   check-installer.sh install SETUP VERSION  silent install, upgrade in place, a move to another folder
#                                       and back: one copy and one uninstall entry each time
#   check-installer.sh uninstall SETUP  the documented silent uninstall refuses (exit 2) while
#                                       Koerswacht runs and keeps everything, as the installer
#                                       does; then it removes everything and says 0
# Stops at the first check that fails.
set -euo pipefail
step="$1" setup="$2" version="${3:-}"
source "$(dirname "$0")/common.sh"
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Koerswacht.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Koerswacht'
files='./LICENSE.txt ./THIRD-PARTY-NOTICES.txt ./Uninstall.exe ./koerswacht.exe'
value() { "$wine" reg query "$key" /v "$1" 2>/dev/null | sed -n "s/^ *$1 *REG_[A-Z_]* *//p" | tr -d '\r'; }
unix() { printf '%s' "$drive_c/${1#C:\\}" | tr '\\' /; }
installed_in() { # installed_in WINDOWS_FOLDER: exactly the program's files there, and the entry naming it
    [[ "$(cd "$(unix "$1")" 2>/dev/null && find . -type f | sort | xargs)" == "$files" ]] &&
        [[ "$(value InstallLocation)" == "$1" ]] &&
        [[ "$(value QuietUninstallString)" == "\"$1\\Uninstall.exe\" /S _?=$1" ]]
}
# The uninstaller's last step runs just after it has ended: allow it a moment.
gone() { within 50 test ! -e "$(unix "$1")"; }
installing() { exits 0 "\"$(winepath_of "$setup")\" /S${1:+ $1}"; }
program_files='C:\Program Files\Koerswacht'

if [[ "$step" == install ]]; then
    check "installer /S exits 0" installing
    check "installed into Program Files, with its entry" installed_in "$program_files"
    check "installer /S over it exits 0 (an upgrade in place)" installing
    check "still one copy, in Program Files" installed_in "$program_files"
    check "Start-menu shortcut" test -f "$start_menu"
    check "entry: DisplayName" test "$(value DisplayName)" = Koerswacht
    check "entry: DisplayVersion" test "$(value DisplayVersion)" = "$version"
    check "entry: Publisher" test "$(value Publisher)" = Havenlicht
    check "entry: DisplayIcon" test "$(value DisplayIcon)" = "$program_files\\koerswacht.exe,0"
    check "entry: UninstallString" test "$(value UninstallString)" = "\"$program_files\\Uninstall.exe\" _?=$program_files"
    # Another folder: the copy in Program Files goes, wherever the installer was told to go.
    check "installer /S /D=C:\\Zeewacht exits 0" installing '/D=C:\Zeewacht'
    check "one copy, in C:\\Zeewacht, with its entry" installed_in 'C:\Zeewacht'
    check "nothing left in Program Files" gone "$program_files"
    check "installer /S /D=Program Files exits 0" installing "/D=$program_files"
    check "one copy, in Program Files again" installed_in "$program_files"
    check "nothing left in C:\\Zeewacht" gone 'C:\Zeewacht'
    exit 0
fi

# The program runs: neither the uninstaller nor the installer goes on, and both say so.
quiet="$(value QuietUninstallString)"
check "the entry's silent uninstall is the documented one" test "$quiet" = "\"$program_files\\Uninstall.exe\" /S _?=$program_files"
start_program "$program_files\\koerswacht.exe"
check "Koerswacht starts" window_up
check "silent uninstall with Koerswacht running exits 2" exits 2 "$quiet"
check "and removes nothing" installed_in "$program_files"
check "installer with Koerswacht running exits 2" exits 2 "\"$(winepath_of "$setup")\" /S"
close_program
check "silent uninstall exits 0" exits 0 "$quiet"
check "no Program Files folder left" gone "$program_files"
check "no Start-menu shortcut left" test ! -e "$start_menu"
check "no uninstall entry left" bash -c "! '$wine' reg query '$key' >/dev/null 2>&1"
