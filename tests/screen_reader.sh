#!/usr/bin/env bash
# What a screen reader says of Koerswacht: Orca, on an accessibility bus, a display and a window
# manager of this test's own, reads the program ($1) driven by the keyboard alone, in Dutch; its
# speech is read from its debug log. The speed after "Bereken Vaart" (twice), a wrong input's
# message once, a report that went to the printer once while the focus is elsewhere, nothing of that
# print said of a calculation that was not printed, the results screen with its first speed. Prints
# on the test printer ($CUPS_SERVER). Stops at the first thing not said as it should be.
set -euo pipefail
program="$1"
if [[ -z "${SCREEN_READER_SESSION:-}" ]]; then
    work="$(mktemp -d)"
    # Orca's speech server goes when Orca does, a few seconds later; here at once.
    trap 'pkill -f "$work/run/speech-dispatcher" 2>/dev/null; rm -rf "$work"' EXIT
    export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        XDG_CACHE_HOME="$work/cache" SCREEN_READER_SESSION=1
    unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # Orca's speech server, which Orca starts, with a voice that speaks to no sound card.
    mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher"
    printf '%s\n' 'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' 'AddModule "dummy" "sd_dummy" "dummy.conf"' \
        'DefaultModule dummy' >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
    dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
    exit
fi

trap 'kill -9 $(jobs -p) 2>/dev/null; wait' EXIT
log="$HOME/orca.log"
openbox --sm-disable >/dev/null 2>&1 &
# Orca's debug file is written through a buffer, which a terminal's is not: it goes to one, and from
# there to the log, a line as it comes.
script -qfec "orca -u '$HOME/orca' --debug-file /dev/stdout" "$log" >/dev/null 2>&1 &
# What Orca said, an utterance a line.
spoken() { perl -0777 -ne 'while (/SPEECH OUTPUT: .(.*?).\{/gs) { ($t = $1) =~ s/\s+/ /g; print "$t\n" }' "$log" 2>/dev/null; }
mark=0
since() { spoken | tail -n +$((mark + 1)); }
# Waits until Orca has said all it had to say.
settle() {
    local before=-1 now
    for _ in $(seq 1 40); do
        now=$(spoken | wc -l)
        [[ $now == "$before" ]] && return
        before=$now
        sleep 0.5
    done
}
mark() { settle; mark=$(spoken | wc -l); }
hear() { # hear PATTERN: waits until it is said after the mark
    for _ in $(seq 1 150); do
        since | grep -q -- "$1" && return 0
        sleep 0.2
    done
    echo "FAIL: not heard: $1; heard since:" >&2
    since >&2
    exit 1
}
said_once() { # said_once PATTERN: after a pause, said exactly once since the mark
    sleep 2
    local n
    n=$(since | grep -c -- "$1" || true)
    [[ $n == 1 ]] || { echo "FAIL: \"$1\" said $n times; heard since:" >&2; since >&2; exit 1; }
    echo "PASS: said once: $(since | grep -- "$1")"
}
key() { xdotool key --delay 60 "$@"; sleep 0.3; }
type() { xdotool type --delay 40 "$1"; sleep 0.3; }
to() { # to "ROLE | NAME": Tab until Orca has the focus there
    for _ in $(seq 1 20); do
        key Tab
        settle
        [[ "$(grep -o "locusOfFocus: \[[^]]*\]" "$log" | tail -n 1)" == "locusOfFocus: [$1]" ]] && return 0
    done
    echo "FAIL: no $1 to Tab to" >&2
    exit 1
}
hear "Screen reader on"
LC_ALL=nl_NL.UTF-8 LANG=nl_NL.UTF-8 "$program" >/dev/null 2>&1 &
hear "^Koerswacht frame"
to "push button | Speed Calculator"
key space
hear "^SpeedCalculator frame"
key Tab; type 08.00; key Tab; key Tab; type 15.00; key Tab; key Tab; type 100
to "push button | Bereken Vaart"
mark; key space
hear "^alert Koerswacht"
said_once "Tijdsverschil.*bevat geen geldig getal"
key Return
hear "^Tijdsverschil text"
type 0
to "push button | Bereken Vaart"
for time in first again; do
    mark; key space
    hear "Gemiddelde Snelheid 14,28"
    echo "PASS: the speed, $time: $(since | grep "14,28")"
done
# Back into the result, whose text the field selects: the whole number, as selected.
mark; key shift+Tab
hear "14,28 selected"
echo "PASS: the result selected: $(since | grep "14,28")"
to "push button | Afdrukken"
mark; key Return; key shift+Tab
hear "Het rapport is naar de printer gestuurd"
said_once "naar de printer gestuurd"
to "push button | Bereken Vaart"
mark; key space
hear "Gemiddelde Snelheid 14,28"
to "push button | Afdrukken"
sleep 1
! since | grep -q "gestuurd" || { echo "FAIL: a new calculation heard as printed:" >&2; since >&2; exit 1; }
echo "PASS: a new calculation, then the print button: $(since | grep -A1 "^Afdrukken" | xargs)"
to "push button | ETA Calculator"
key space
hear "^ETA Calculator frame"
key Tab; type 08.00; key Tab; type 1; key Tab; type 120; key Tab; type 12.35; key Tab; type 5
to "push button | Bereken ETA"
mark; key space
hear "^ETA Calculator Resultaten frame"
hear "^Speed text"
hear "12,35"
echo "PASS: the results screen: $(since | grep -A2 "^ETA Calculator Resultaten" | xargs)"
