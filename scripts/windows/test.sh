#!/usr/bin/env bash
# Tests the Windows edition that package.sh left in build-windows/, under Debian's Wine, in a Wine
# prefix of its own that it removes again:
#   1. the test suites, cross-compiled, in a Dutch and a C locale (the screen suites, with the
#      worked ETA and speed calculations and the bad-input sweep, with the Windows platform plugin);
#   2. the installer, silently, twice (the second run upgrades in place);
#   3. the version record and icon read back from the installed program;
#   4. the installed program on an X display with the Windows platform plugin: its main window, a
#      screenshot of each screen, a worked ETA and speed calculation typed in, "Afdrukken",
#      "System Info..." with and without the tool, the portable zip started from another folder;
#   5. "Afdrukken" from the Windows build through Wine's printing to the private CUPS PDF printer,
#      the PDFs read back and compared with the Linux build's line by line;
#   6. the uninstaller: it waits while the program runs, then leaves nothing of ours behind.
# Screenshots go to build-windows/screenshots/. Prints "N passed, M failed" last.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
here="$top/scripts/windows"
out="${WINDOWS_BUILD_DIR:-$top/build-windows}"
if [[ -z "${DISPLAY:-}" ]]; then
    "$top/scripts/install-deps.sh" --windows
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

qt="$("$here/build-qt.sh" | tail -n 1)"
version="$(sed -n 's/^#define KOERSWACHT_VERSION_TEXT "\(.*\)"$/\1/p' "$out/build/generated/Version.h")"
setup="$out/Koerswacht-$version-setup.exe"
zip="$out/Koerswacht-$version-win64.zip"
[[ -f "$setup" && -f "$zip" ]] || { echo "no Windows edition: run scripts/windows/package.sh first" >&2; exit 1; }

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
work="$(mktemp -d /tmp/koerswacht-wine.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DBUS_SESSION_BUS_ADDRESS=disabled:
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
shots="$out/screenshots"
mkdir -p "$shots"

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }
check() { # check "what" command...
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# Wine hides the Unix side's QT_ variables from Windows programs (they belong to Linux's Qt); a
# WINE prefix hands one over: WINEQT_QPA_PLATFORM arrives as QT_QPA_PLATFORM.

"$here/new-prefix.sh"

# 1. The suites, against the cross-built Qt.
suite_path="$(winpath "$qt/bin");$(winpath "$(echo /usr/lib/gcc/x86_64-w64-mingw32/*-posix)");$(winpath /usr/x86_64-w64-mingw32/lib)"
run_suite() { # run_suite suite platform locale
    local log="$work/$1-$2-$3.log"
    if WINEPATH="$suite_path" WINEQT_PLUGIN_PATH="$(winpath "$qt/plugins")" WINEQT_QPA_PLATFORM="$2" LANG="$3" LC_ALL="$3" \
        timeout 300 "$wine" "$out/build/tests/$1.exe" -o "$log,txt" >/dev/null 2>&1 &&
        grep -qE '^Totals: [0-9]+ passed, 0 failed' "$log"; then
        pass "$1 ($2, $3): $(grep -E '^Totals:' "$log" | sed 's/, [0-9]*ms$//')"
    else
        fail "$1 ($2, $3)"
        grep -E '^(FAIL|   Loc|   Actual|   Expected)|^Totals' "$log" >&2 || tail -n 20 "$log" >&2 || true
    fi
}
# The core suites need no window system; the screen suites run with the Windows platform plugin on
# this display, the real thing (the offscreen plugin has no font database on Windows, so no text
# measurement there would mean anything).
for locale in nl_NL.UTF-8 C.UTF-8; do
    for suite in tst_arithmetic tst_voyage tst_reports tst_sysinfo; do
        run_suite "$suite" offscreen "$locale"
    done
    for suite in tst_about tst_navigation tst_calculators; do
        run_suite "$suite" windows "$locale"
    done
done

# 2. The installer, silently; then once more over the installed copy.
program_files="$WINEPREFIX/drive_c/Program Files/Koerswacht"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Koerswacht.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Koerswacht'
installed_files() { (cd "$program_files" && find . -type f | sort); }
expected_files() { (cd "$out/Koerswacht" && find . -type f | sort; echo ./Uninstall.exe) | sort; }
registry_value() { "$wine" reg query "$uninstall_key" /v "$1" 2>/dev/null | sed -n "s/^ *$1 *REG_[A-Z_]* *//p" | tr -d '\r'; }
for round in first second; do
    check "installer /S exits 0 ($round run)" "$wine" "$setup" /S
    "$wineserver" -w
    check "installed files are the deployed folder plus the uninstaller ($round run)" \
        diff <(installed_files) <(expected_files)
done
check "Start-menu shortcut" test -f "$start_menu"
check "uninstall entry: DisplayName" test "$(registry_value DisplayName)" = Koerswacht
check "uninstall entry: DisplayVersion" test "$(registry_value DisplayVersion)" = "$version"
check "uninstall entry: Publisher" test "$(registry_value Publisher)" = Havenlicht
check "uninstall entry: DisplayIcon" test "$(registry_value DisplayIcon)" = 'C:\Program Files\Koerswacht\koerswacht.exe,0'
check "uninstall entry: UninstallString" test "$(registry_value UninstallString)" = '"C:\Program Files\Koerswacht\Uninstall.exe"'

# 3. The version record and icon of the installed program.
if KOERSWACHT_EXE='C:\Program Files\Koerswacht\koerswacht.exe' WINEPATH="$suite_path" WINEQT_QPA_PLATFORM=offscreen \
    "$wine" "$out/build/tests/tst_windows_version.exe" -o "$work/version.log,txt" >/dev/null 2>&1 &&
    grep -qE '^Totals: [0-9]+ passed, 0 failed' "$work/version.log"; then
    pass "version record and icon: $(grep -E '^Totals:' "$work/version.log" | sed 's/, [0-9]*ms$//')"
else
    fail "version record and icon"
    cat "$work/version.log" >&2
fi

# 4. The installed program, from its own folder only: nothing of the build's is on its path.
KOERSWACHT_ZIP="$zip" "$here/drive-installed.sh" "$work" "$shots" || failed=$((failed + $?))
passed=$((passed + $(cat "$work/driven-passed" 2>/dev/null || echo 0)))

# 5. "Afdrukken" from the Windows build, through Wine's printing to the private CUPS server's PDF
# printer, against the same reports printed by the Linux build: the same lines, word for word.
# The screenshot tour works both screens with the worked examples and prints both reports.
linux_build="${BUILD_DIR:-$top/build}"
[[ -x "$linux_build/tests/screenshot_tour" ]] || "$top/scripts/build.sh" >/dev/null
eval "$("$top/scripts/cups-start.sh" 2>/dev/null)"
mkdir -p "$work/reports/linux" "$work/reports/windows" "$work/tour"
collect_reports() { # collect_reports folder: waits for both PDFs and moves them there
    for _ in $(seq 1 300); do
        [[ -z "$(lpstat -o 2>/dev/null)" && -f "$KOERSWACHT_PDF_DIR/SpeedCalculator_Resultaten.pdf" &&
            -f "$KOERSWACHT_PDF_DIR/ETA_Calculator_Resultaten.pdf" ]] && break
        sleep 0.1
    done
    mv "$KOERSWACHT_PDF_DIR"/*.pdf "$1/" 2>/dev/null || true
}
QT_QPA_PLATFORM=xcb "$linux_build/tests/screenshot_tour" "$work/tour" >/dev/null 2>&1
collect_reports "$work/reports/linux"
WINEPATH="$suite_path" LANG=nl_NL.UTF-8 LC_ALL=nl_NL.UTF-8 timeout 300 "$wine" "$out/build/tests/screenshot_tour.exe" \
    "$(winpath "$work/tour")" >/dev/null 2>&1
collect_reports "$work/reports/windows"
"$top/scripts/cups-stop.sh" "$KOERSWACHT_CUPS_DIR"
words() { pdftotext -layout "$1" - 2>/dev/null | sed -e 's/  */ /g' -e 's/^ //' -e 's/ $//' | grep -v '^$'; }
for report in ETA_Calculator_Resultaten SpeedCalculator_Resultaten; do
    linux="$work/reports/linux/$report.pdf"
    windows="$work/reports/windows/$report.pdf"
    if [[ -f "$linux" && -f "$windows" ]] && diff <(words "$linux") <(words "$windows") >&2 &&
        [[ "$(words "$windows" | wc -l)" -ge 7 ]]; then
        pass "\"Afdrukken\" through Wine: $report.pdf, $(words "$windows" | wc -l) lines as the Linux build prints them"
        pdftoppm -r 60 -png -singlefile "$windows" "$shots/${report,,}-report" 2>/dev/null || true
    else
        fail "\"Afdrukken\" through Wine: $report.pdf as the Linux build prints it"
    fi
done

# 6. The uninstaller.
"$wine" 'C:\Program Files\Koerswacht\koerswacht.exe' &
for _ in $(seq 1 100); do xdotool search --name '^Koerswacht$' >/dev/null 2>&1 && break; sleep 0.2; done
# In place (_?=), so that this waits for the uninstaller itself rather than its copy in TEMP.
"$wine" 'C:\Program Files\Koerswacht\Uninstall.exe' /S '_?=C:\Program Files\Koerswacht' || true
check "uninstaller with Koerswacht running removes no file" diff <(installed_files) <(expected_files)
check "uninstaller with Koerswacht running keeps the uninstall entry" test "$(registry_value DisplayName)" = Koerswacht
check "installer with Koerswacht running refuses (exit 2)" bash -c "'$wine' '$setup' /S; [[ \$? -eq 2 ]]"
"$wine" taskkill /IM koerswacht.exe /F >/dev/null 2>&1 || true
sleep 1
check "uninstaller /S exits 0" "$wine" 'C:\Program Files\Koerswacht\Uninstall.exe' /S
for _ in $(seq 1 50); do [[ -d "$program_files" ]] || break; sleep 0.2; done
check "uninstall leaves no Program Files folder" test ! -e "$program_files"
check "uninstall leaves no Start-menu shortcut" test ! -e "$start_menu"
check "uninstall leaves no uninstall key" bash -c "! '$wine' reg query '$uninstall_key' >/dev/null 2>&1"

echo "Windows edition: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
