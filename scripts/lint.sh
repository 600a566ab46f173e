#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy, every header of ours included) and cppcheck over the project's
# own sources, with the default preset's compile commands; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default >/dev/null # the generated ui_ and moc files must exist
sources=$(git ls-files '*.cpp' | grep -v -e '^tests/fuzz/' -e 'Win.cpp$' -e 'Spooler')
echo "clang-tidy: $(wc -w <<<"$sources") files"
run-clang-tidy -quiet -p build -j "$(nproc)" $sources >build/clang-tidy.log 2>&1 ||
    { grep -E 'warning:|error:' build/clang-tidy.log | sort -u; exit 1; }
echo "clang-tidy: clean"
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ --library=qt \
    --enable=warning,performance,portability --suppress=missingIncludeSystem -I build/generated \
    -D__GNUC__ -DQ_OBJECT= "-DQ_DISABLE_COPY_MOVE(x)=" -UWIN32 -U_WIN32 core report sysinfo ui app
echo "cppcheck: clean"
