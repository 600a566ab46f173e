# Sourced by the Windows checks: Wine in the prefix $WINEPREFIX, its C: drive, and their helpers.
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
drive_c="$WINEPREFIX/drive_c"
check() { # check "what" command...: stops at the first check that fails
    local what="$1"
    shift
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what" >&2; exit 1; fi
}
within() { # within TENTHS COMMAND...: true once COMMAND is, tried every tenth of a second
    local tenths="$1"
    shift
    for _ in $(seq 1 "$tenths"); do "$@" && return 0; sleep 0.1; done
    return 1
}
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }
# The id of the last window with this exact name once it shows, within 30 s (the first start in a
# new prefix builds Wine's font cache).
window_named() {
    local id
    for _ in $(seq 1 300); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1)"
        [[ -n "$id" ]] && echo "$id" && return 0
        sleep 0.1
    done
    return 1
}
# A command line run as it stands, as a deployment tool or a shortcut runs it (NSIS takes /D= and
# _?= to the end of the line, unquoted, which Wine's own quoting of arguments would spoil). Prints
# its whole exit code: a Unix exit status keeps only its last 8 bits, 1603 would come back as 67.
exit_code() {
    printf '%s\r\necho %%errorlevel%% >C:\\koerswacht-exit.txt\r\n' "$1" >"$drive_c/koerswacht-check.bat"
    rm -f "$drive_c/koerswacht-exit.txt"
    "$wine" cmd /c 'C:\koerswacht-check.bat' >/dev/null 2>&1 || true
    tr -d '\r ' <"$drive_c/koerswacht-exit.txt" 2>/dev/null || echo none
}
exits() { # exits CODE COMMAND_LINE, and whatever it started has ended (unless Koerswacht runs)
    local got
    got="$(exit_code "$2")"
    [[ -n "${running:-}" ]] || /usr/lib/wine/wineserver -w
    [[ "$got" == "$1" ]] || { echo "exit code $got, not $1" >&2; return 1; }
}
running=
start_program() {
    running=yes
    "$wine" "$@" >/dev/null 2>&1 &
}
window_up() { window_named Koerswacht >/dev/null; }
close_program() {
    "$wine" taskkill /IM koerswacht.exe /F >/dev/null 2>&1 || true
    running=
    /usr/lib/wine/wineserver -w
}
