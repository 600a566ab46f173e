#!/usr/bin/env bash
# Drives the installed Koerswacht under Wine ($WINEPREFIX) on the X display, as a user would with
# the keyboard. Takes a screenshot of each screen into $2; $1 is the portable zip, which it starts
# from another folder too. Exits with the number of checks that failed.
set -uo pipefail
zip="$1" shots="$2"
mkdir -p "$shots"
source "$(dirname "$0")/common.sh"
exe='C:\Program Files\Koerswacht\koerswacht.exe'
# A Dutch officer's PC: the decimal comma, Dutch weekday names.
export LANG=nl_NL.UTF-8 LC_ALL=nl_NL.UTF-8
passed=0 failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

count_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
keys() { # keys window key...
    xdotool windowfocus --sync "$1" 2>/dev/null
    for key in "${@:2}"; do xdotool key "$key"; sleep 0.15; done
}
typed() { # typed text: types into the focused field
    xdotool type --delay 40 "$1"
    sleep 0.1
}
fill() { # fill WINDOW VALUE...: Tab to each next field and type VALUE into it ("" passes one by)
    local value
    for value in "${@:2}"; do keys "$1" Tab; [[ -z "$value" ]] || typed "$value"; done
}
shoot() { # shoot window file
    sleep 0.6
    import -window "$1" "$shots/$2" 2>/dev/null && pass "screenshot $2" || fail "screenshot $2"
}
launch() { start_program "$1"; window_named Koerswacht; } # the main window's id

# The main menu, and Enter on its focused first button.
menu="$(launch "$exe")"
if [[ -z "$menu" ]]; then
    fail "installed Koerswacht shows its main window \"Koerswacht\""
    exit "$failed"
fi
pass "installed Koerswacht shows its main window \"Koerswacht\""
shoot "$menu" main-menu.png
keys "$menu" Return
eta="$(window_named 'ETA Calculator')"
[[ -n "$eta" ]] && pass "Enter on \"ETA Calculator\" opens it" || fail "Enter on \"ETA Calculator\" opens it"
# The worked passage, today: 08.00, time difference 1, 120 miles, 10 knots, step 5.
fill "$eta" 08,00 1 120 10 5
shoot "$eta" eta-calculator.png
keys "$eta" Tab Tab Return # past the date-line options to "Bereken ETA"
results="$(window_named 'ETA Calculator Resultaten')"
[[ -n "$results" ]] && pass "\"Bereken ETA\" shows the results" || fail "\"Bereken ETA\" shows the results"
[[ -n "$results" ]] && shoot "$results" eta-results.png
close_program

# The speed calculator: today 08.00 to today 14.30, time difference 1, 300 miles.
menu="$(launch "$exe")"
keys "$menu" Tab Return
speed="$(window_named SpeedCalculator)"
[[ -n "$speed" ]] && pass "Tab and Enter open \"Speed Calculator\"" || fail "Tab and Enter open \"Speed Calculator\""
fill "$speed" 08,00 "" 14,30 1 300
keys "$speed" Tab Tab Tab Return # past the options and the result to "Bereken Vaart"
shoot "$speed" speed-calculator.png
close_program

# The About dialog and "System Info...": first with the tool's path in the registry.
menu="$(launch "$exe")"
keys "$menu" Tab Tab Return
about="$(window_named 'About Koerswacht')"
[[ -n "$about" ]] && pass "\"Koerswacht Info\" opens About" || fail "\"Koerswacht Info\" opens About"
shoot "$about" about.png
# The tool where the path has a letter beyond the system's code page, as on a Dutch Windows.
tool='C:\Systeem info ü'
mkdir -p "$WINEPREFIX/drive_c/Systeem info ü"
cp "$WINEPREFIX/drive_c/windows/system32/msinfo32.exe" "$WINEPREFIX/drive_c/Systeem info ü/msinfo32.exe"
"$wine" reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ /d "$tool\msinfo32.exe" /f >/dev/null 2>&1
keys "$about" Tab Return # "System Info..."
within 100 pgrep -f -i 'Systeem info ü.msinfo32' >/dev/null && pass "\"System Info...\" starts $tool\\msinfo32.exe, as the registry's PATH value names it" ||
    fail "\"System Info...\" starts $tool\\msinfo32.exe, as the registry's PATH value names it"
"$wine" taskkill /IM msinfo32.exe /F >/dev/null 2>&1
# Then with neither the PATH value nor the folder value: the one message.
"$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /f >/dev/null 2>&1
"$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Shared Tools Location' /v MSINFO /f >/dev/null 2>&1
close_program
menu="$(launch "$exe")"
keys "$menu" Tab Tab Return
about="$(window_named 'About Koerswacht')"
before="$(count_named Koerswacht)"
keys "$about" Tab Return
more_named() { [[ "$(count_named Koerswacht)" -gt "$before" ]]; }
within 50 more_named
box="$(xdotool search --onlyvisible --name '^Koerswacht$' 2>/dev/null | grep -v "^$menu\$" | tail -n 1)"
if [[ -n "$box" ]]; then
    pass "without the values, \"System Info...\" shows a message titled \"Koerswacht\""
    shoot "$box" sysinfo-unavailable.png
    keys "$box" Return
else
    fail "without the values, \"System Info...\" shows a message titled \"Koerswacht\""
fi
close_program

# The portable copy, unpacked into a folder of its own with a blank in its name.
portable="$WINEPREFIX/drive_c/users/Public/Koerswacht draagbaar"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
menu="$(launch 'C:\users\Public\Koerswacht draagbaar\Koerswacht\koerswacht.exe')"
[[ -n "$menu" ]] && pass "the portable copy starts from another folder" || fail "the portable copy starts from another folder"
close_program

echo "driven: $passed passed, $failed failed"
exit "$failed"
