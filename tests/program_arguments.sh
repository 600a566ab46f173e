#!/usr/bin/env bash
# Koerswacht reads no command line: started with Qt's own options, the real program still shows its
# main menu captioned "Koerswacht", left to right. $1: the program. Runs it under Xvfb and reads
# the window names back from the X server.
set -euo pipefail
program="$1"
export DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    "$1" -qwindowtitle Gekaapt -reverse -title Gekaapt -name gekaapt & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    for _ in $(seq 1 200); do
        tree="$(xwininfo -root -tree)"
        # The mapped main window: Qt names a 1x1 client-leader window too, so look for the class.
        if grep -q "\"koerswacht\"" <<<"$tree"; then
            window="$(awk "/\\(\"koerswacht\"/ {print \$1; exit}" <<<"$tree")"
            if xwininfo -id "$window" | grep -q "Map State: IsViewable"; then
                name="$(xprop -id "$window" WM_NAME | sed "s/^WM_NAME([A-Z_]*) = //")"
                echo "main window: $name"
                [[ "$name" == "\"Koerswacht\"" ]] || { echo "captioned $name" >&2; exit 1; }
                if grep -q "Gekaapt\|gekaapt" <<<"$tree"; then
                    echo "a window took a name from the command line" >&2
                    exit 1
                fi
                exit 0
            fi
        fi
        kill -0 $pid 2>/dev/null || { echo "the program ended" >&2; exit 1; }
        sleep 0.1
    done
    echo "no main window in 20 s" >&2
    exit 1' _ "$program"
