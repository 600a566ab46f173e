#!/usr/bin/env bash
# Drives the installed Koerswacht under Wine ($WINEPREFIX) on the X display, as a user would with
# the keyboard. Takes a screenshot of each screen into $2; $1 is the portable zip, which it starts
# from another folder too. Exits with the number of checks that failed.
set -uo pipefail
zip="$1"
shots="$2"
mkdir -p "$shots"
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe='C:\Program Files\Koerswacht\koerswacht.exe'
# A Dutch officer's PC: the decimal comma, Dutch weekday names.
export LANG=nl_NL.UTF-8 LC_ALL=nl_NL.UTF-8
passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

# The id of the window with this exact name, once it shows (first start in a new prefix builds
# Wine's font cache: allow for it).
window_named() {
    local id=""
    for _ in $(seq 1 300); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1)"
        [[ -n "$id" ]] && break
        sleep 0.1
    done
    echo "$id"
}
count_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
keys() { # keys window key...
    local window="$1"
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}
typed() { # typed text: types into the focused field
    xdotool type --delay 40 "$1"
    sleep 0.1
}
shoot() { # shoot window file
    sleep 0.6
    import -window "$1" "$shots/$2" 2>/dev/null && pass "screenshot $2" || fail "screenshot $2"
}
start_program() { # start_program exe: the main window's id
    "$wine" "$1" >/dev/null 2>&1 &
    window_named Koerswacht
}
end_program() {
    "$wine" taskkill /IM koerswacht.exe /F >/dev/null 2>&1
    for _ in $(seq 1 50); do
        [[ "$(count_named Koerswacht)" -eq 0 ]] && return
        sleep 0.1
    done
}

# The main menu, and Enter on its focused first button.
menu="$(start_program "$exe")"
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
keys "$eta" Tab
typed "08,00"
keys "$eta" Tab
typed 1
keys "$eta" Tab
typed 120
keys "$eta" Tab
typed 10
keys "$eta" Tab
typed 5
shoot "$eta" eta-calculator.png
keys "$eta" Tab Tab Return # past the date-line options to "Bereken ETA"
results="$(window_named 'ETA Calculator Resultaten')"
[[ -n "$results" ]] && pass "\"Bereken ETA\" shows the results" || fail "\"Bereken ETA\" shows the results"
[[ -n "$results" ]] && shoot "$results" eta-results.png
end_program

# The speed calculator: today 08.00 to today 14.30, time difference 1, 300 miles.
menu="$(start_program "$exe")"
keys "$menu" Tab Return
speed="$(window_named SpeedCalculator)"
[[ -n "$speed" ]] && pass "Tab and Enter open \"Speed Calculator\"" || fail "Tab and Enter open \"Speed Calculator\""
keys "$speed" Tab
typed "08,00"
keys "$speed" Tab Tab
typed "14,30"
keys "$speed" Tab
typed 1
keys "$speed" Tab
typed 300
keys "$speed" Tab Tab Tab Return # past the options and the result to "Bereken Vaart"
shoot "$speed" speed-calculator.png
end_program

# The About dialog and "System Info...": first with the tool's path in the registry.
menu="$(start_program "$exe")"
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
started=""
for _ in $(seq 1 100); do
    started="$(pgrep -f -i 'Systeem info ü.msinfo32' || true)"
    [[ -n "$started" ]] && break
    sleep 0.1
done
[[ -n "$started" ]] && pass "\"System Info...\" starts $tool\\msinfo32.exe, as the registry's PATH value names it" ||
    fail "\"System Info...\" starts $tool\\msinfo32.exe, as the registry's PATH value names it"
"$wine" taskkill /IM msinfo32.exe /F >/dev/null 2>&1
# Then with neither the PATH value nor the folder value: the one message.
"$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /f >/dev/null 2>&1
"$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Shared Tools Location' /v MSINFO /f >/dev/null 2>&1
end_program
menu="$(start_program "$exe")"
keys "$menu" Tab Tab Return
about="$(window_named 'About Koerswacht')"
before="$(count_named Koerswacht)"
keys "$about" Tab Return
for _ in $(seq 1 50); do
    [[ "$(count_named Koerswacht)" -gt "$before" ]] && break
    sleep 0.1
done
box="$(xdotool search --onlyvisible --name '^Koerswacht$' 2>/dev/null | grep -v "^$menu\$" | tail -n 1)"
if [[ -n "$box" ]]; then
    pass "without the values, \"System Info...\" shows a message titled \"Koerswacht\""
    shoot "$box" sysinfo-unavailable.png
    keys "$box" Return
else
    fail "without the values, \"System Info...\" shows a message titled \"Koerswacht\""
fi
end_program

# The portable copy, unpacked into a folder of its own with a blank in its name.
portable="$WINEPREFIX/drive_c/users/Public/Koerswacht draagbaar"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
menu="$(start_program 'C:\users\Public\Koerswacht draagbaar\Koerswacht\koerswacht.exe')"
[[ -n "$menu" ]] && pass "the portable copy starts from another folder" || fail "the portable copy starts from another folder"
end_program

echo "driven: $passed passed, $failed failed"
exit "$failed"
