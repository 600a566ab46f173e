#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# the whole test suite there. Any sanitizer report fails the run. Needs the private test printer
# running (eval "$(scripts/cups-start.sh)") like the ordinary tests.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-asan"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j "$(nproc)"
# intercept_strndup=0: libxkbcommon-x11, which Qt's X11 platform loads when a test starts the
# program under Xvfb, hands strndup a length past the end of the X server's reply buffer (it stops
# at the NUL within); our own code calls no strndup.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:intercept_strndup=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
