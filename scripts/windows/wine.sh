#!/usr/bin/env bash
# CTest's emulator for the Windows build (CMAKE_CROSSCOMPILING_EMULATOR): runs a program of the
# build under Wine, in the Wine prefix of the test's environment. Wine keeps the Linux side's Qt
# variables from Windows programs and hands WINEQT_X over as QT_X: Qt's go over so.
set -euo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DBUS_SESSION_BUS_ADDRESS=disabled:
for variable in $(compgen -e | grep '^QT_' || true); do
    export "WINE$variable=${!variable}"
    unset "$variable"
done
exec /usr/lib/wine/wine64 "$@"
