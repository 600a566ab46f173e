#!/usr/bin/env bash
# Koerswacht reads no command line: started with Qt's own options, the real program ($1) still
# shows its main menu captioned "Koerswacht". Runs it under Xvfb and reads the windows' names back
# from the X server.
set -euo pipefail
export DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    "$1" -qwindowtitle Gekaapt -reverse -title Gekaapt -name gekaapt & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    for _ in $(seq 1 200); do
        # The mapped main window, by its class: Qt names a 1x1 client-leader window too.
        window="$(xdotool search --onlyvisible --classname "^koerswacht\$" 2>/dev/null | head -n 1)"
        if [[ -n "$window" ]]; then
            name="$(xdotool getwindowname "$window")"
            echo "main window: $name"
            [[ "$name" == Koerswacht ]] || { echo "captioned $name" >&2; exit 1; }
            ! xdotool search --name "[Gg]ekaapt" >/dev/null || { echo "a window took a name from the command line" >&2; exit 1; }
            exit 0
        fi
        kill -0 $pid 2>/dev/null || { echo "the program ended" >&2; exit 1; }
        sleep 0.1
    done
    echo "no main window in 20 s" >&2
    exit 1' _ "$1"
