#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) and cppcheck over the project's own sources; any finding fails.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DKOERSWACHT_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null # the generated ui_ and moc files must exist
sources=$(cd "$top" && git ls-files 'core/*.cpp' 'report/*.cpp' 'sysinfo/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'tests/*.cpp' 'bench/*.cpp' \
    | grep -v -e 'RegistryWin.cpp' -e 'tests/fuzz/' | sed "s|^|$top/|")
echo "clang-tidy: $(echo "$sources" | wc -l) files"
run-clang-tidy -quiet -p "$build" -j "$(nproc)" $sources >"$build/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u
    exit 1
}
echo "clang-tidy: clean"
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ --library=qt \
    --enable=warning,performance,portability --suppress=missingIncludeSystem \
    -I "$top" -I "$build/generated" -D__GNUC__ -DQ_OBJECT= "-DQ_DISABLE_COPY_MOVE(x)=" -UWIN32 -U_WIN32 \
    "$top/core" "$top/report" "$top/sysinfo" "$top/ui" "$top/app"
echo "cppcheck: clean"
