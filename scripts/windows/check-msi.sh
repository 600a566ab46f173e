#!/usr/bin/env bash
# The MSI package under Wine's msiexec, in the prefix $WINEPREFIX, on the X display, with the exit
# codes a deployment tool sees:
#   check-msi.sh MSI SETUP LOWER LATE
# MSI is the package, SETUP the NSIS setup of the same build, LOWER a package of a lower version
# that the build made from the same files, LATE the package with a step that fails just before the
# installation commits (tests/LateFailure.cmake). In turn: install the lower one; an upgrade that
# fails late (1603) leaves it; with Koerswacht running, neither the upgrade nor the removal goes on
# (1603) and nothing changes; the upgrade, to one copy and one entry; the installed program started
# from its shortcut; no downgrade (1603); the NSIS setup does not install beside it (3); the removal
# leaves nothing; over an NSIS-installed copy a package that fails late leaves that copy as it was
# (1603), and one that succeeds replaces it, also elsewhere with its uninstaller gone, but an older package
# does not (1603); an NSIS entry whose folder is gone, whatever version it names, does not stop a
# package; a folder given at the first install stays at an upgrade. Stops at the first check that
# fails.
set -euo pipefail
msi="$1" setup="$2" lower="$3" late="$4"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/common.sh"
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

# The uninstall entries named Koerswacht, as "key version publisher", one a line.
entries() {
    "$wine" reg export "$uninstall_keys" "C:\\koerswacht-entries.reg" /y >/dev/null 2>&1 || true
    iconv -f UTF-16 -t UTF-8 "$drive_c/koerswacht-entries.reg" 2>/dev/null | tr -d '\r' | awk -F'"' '
        /^\[/ { key = $0; sub(/.*\\Uninstall\\/, "", key); sub(/\]$/, "", key) }
        /^"DisplayName"="Koerswacht"$/ { named[key] = 1 }
        /^"DisplayVersion"=/ { version[key] = $4 }
        /^"Publisher"=/ { publisher[key] = $4 }
        END { for (key in named) print key, version[key], publisher[key] }' | sort
    rm -f "$drive_c/koerswacht-entries.reg"
}
installed() { # installed VERSION KEY [FOLDER [FILES]]: the program's files, the shortcut, and one entry, KEY's
    [[ "$(cd "${3:-$program_files}" 2>/dev/null && find . -type f | sort | xargs)" == "${4:-$files}" ]] &&
        [[ "$(shortcut | wc -l)" == 1 ]] &&
        [[ "$(entries)" == "$2 $1 Havenlicht" ]]
}
nothing_installed() { # the NSIS uninstaller's last step runs just after it has ended
    within 50 test ! -e "$program_files"
    [[ -z "$(shortcut)" && -z "$(entries)" ]]
}
# Nothing of what the package's take-over sets aside is left.
nothing_aside() { ! compgen -G "$program_files.msi-overname*" >/dev/null; }
msi_w="$(winepath_of "$msi")" lower_w="$(winepath_of "$lower")" setup_w="$(winepath_of "$setup")"
late_w="$(winepath_of "$late")"

check "nothing installed to begin with" nothing_installed
check "install of $lower_version exits 0" exits 0 "msiexec /i \"$lower_w\" /qn"
check "installed: files, Start-menu shortcut, one entry with version and publisher" \
    installed "$lower_version" "{$lower_code}"

# An upgrade that fails after everything else is in the script. Windows Installer removes the older
# version in the same script (RemoveExistingProducts right after InstallInitialize), so its rollback
# puts it back; Wine's msiexec removes it at once, in an installation of its own, outside the
# transaction, and here it is installed again.
check "an upgrade to $version that fails late exits 1603" exits 1603 "msiexec /i \"$late_w\" /qn"
check "and leaves nothing of $version" eval '! entries | grep -q "{$code}"'
if [[ -z "$(entries)" ]]; then
    check "(Wine) $lower_version, removed outside the transaction, installed again" exits 0 "msiexec /i \"$lower_w\" /qn"
fi
check "$lower_version installed as before" installed "$lower_version" "{$lower_code}"

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

# A copy from the NSIS setup is replaced, not joined; until the package commits it is only set aside.
nsis_files="$files ./Uninstall.exe"
nsis_files="$(tr ' ' '\n' <<<"$nsis_files" | sort | xargs)"
check "NSIS setup /S exits 0" exits 0 "\"$setup_w\" /S"
nsis_sums="$(cd "$program_files" && sha256sum ./*)"
check "a package that fails late over it exits 1603" exits 1603 "msiexec /i \"$late_w\" /qn"
check "and the NSIS copy is as it was: its files, shortcut and entry" \
    installed "$version" Koerswacht "$program_files" "$nsis_files"
check "byte for byte, with nothing set aside left" eval '[[ "$(cd "$program_files" && sha256sum ./*)" == "$nsis_sums" ]] && nothing_aside'
start_program start /unix "$(shortcut)"
check "and it starts from its shortcut" window_up
close_program
check "the package over it exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "one copy, the package's, and its entry alone; nothing set aside left" eval 'installed "$version" "{$code}" && nothing_aside'
check "removal by product code exits 0" exits 0 "msiexec /x {$code} /qn"
check "nothing left" nothing_installed

# A copy whose uninstaller is gone is still a copy: its program file says so. In a folder of its own,
# none of its files may stay there.
elders="$drive_c/Elders/Koerswacht"
check "NSIS setup /S /D=C:\\Elders\\Koerswacht exits 0" exits 0 "\"$setup_w\" /S /D=C:\\Elders\\Koerswacht"
rm "$elders/Uninstall.exe"
check "the package over that copy without its uninstaller exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "one copy, the package's, and its entry alone" installed "$version" "{$code}"
check "nothing left in C:\\Elders" eval '[[ -z "$(ls -A "$drive_c/Elders")" ]]'
check "removal exits 0" exits 0 "msiexec /x {$code} /qn"
check "nothing left" nothing_installed
rmdir "$drive_c/Elders"

# The NSIS setup's copy, newer than a package: that package does not downgrade it.
check "NSIS setup /S exits 0" exits 0 "\"$setup_w\" /S"
check "an older package over it exits 1603" exits 1603 "msiexec /i \"$lower_w\" /qn"
check "and the NSIS copy stays as it was" installed "$version" Koerswacht "$program_files" "$nsis_files"
# Its folder deleted by hand, its entry left naming a newer version still: the entry is stale, and
# the package cleans up after it and installs.
rm -rf "$program_files"
"$wine" reg add "$uninstall_keys\\Koerswacht" /v DisplayVersion /d 6.4.0 /f /reg:64 >/dev/null 2>&1
check "the older package over a stale NSIS entry of 6.4.0 exits 0" exits 0 "msiexec /i \"$lower_w\" /qn"
check "one copy, one shortcut, the package's entry alone" installed "$lower_version" "{$lower_code}"
check "removal exits 0" exits 0 "msiexec /x {$lower_code} /qn"
check "nothing left" nothing_installed

# A folder given to the first install is where an upgrade puts the program too.
elsewhere="$drive_c/Zeevaart"
check "install of $lower_version into C:\\Zeevaart exits 0" exits 0 "msiexec /i \"$lower_w\" /qn INSTALLDIR=C:\\Zeevaart"
check "upgrade to $version exits 0" exits 0 "msiexec /i \"$msi_w\" /qn"
check "the program stays in C:\\Zeevaart" installed "$version" "{$code}" "$elsewhere"
check "its entry says where it is" grep -q 'InstallLocation"="C:\\\\Zeevaart' <("$wine" reg export "$uninstall_keys\\{$code}" "C:\\entry.reg" /y >/dev/null 2>&1; iconv -f UTF-16 -t UTF-8 "$drive_c/entry.reg")
check "removal exits 0" exits 0 "msiexec /x {$code} /qn"
check "nothing left in C:\\Zeevaart" test ! -e "$elsewhere"
