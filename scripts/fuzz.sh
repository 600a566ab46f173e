#!/usr/bin/env bash
# Builds the calculation core with clang, libFuzzer, AddressSanitizer and UBSan into build-fuzz/,
# and fuzzes it for $1 seconds (default 60), starting from and adding to tests/fuzz/corpus.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-fuzz"
seconds="${1:-60}"
cmake -S "$top" -B "$build" -G Ninja -DKOERSWACHT_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
cmake --build "$build" --target fuzz_calc
mkdir -p "$top/tests/fuzz/corpus"
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    "$build/tests/fuzz/fuzz_calc" -max_total_time="$seconds" -max_len=512 -timeout=10 -print_final_stats=1 \
    "$top/tests/fuzz/corpus"
