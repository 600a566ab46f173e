#!/usr/bin/env bash
# Builds the Windows edition here: koerswacht.exe and its test programs with the cross-built Qt
# (built first when it is not in the cache), a folder with the exe and exactly the DLLs and plugins
# it loads, and from it the portable zip and the NSIS installer. Everything lands in build-windows/;
# the last line names the zip and the installer.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
here="$top/scripts/windows"
out="${WINDOWS_BUILD_DIR:-$top/build-windows}"
qt="$("$here/build-qt.sh" | tail -n 1)"
mingw_runtime=(/usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib)

cmake -S "$top" -B "$out/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DKOERSWACHT_WERROR=ON -DKOERSWACHT_BENCH=ON -DBUILD_TESTING=ON >/dev/null
cmake --build "$out/build" -j "$(nproc)"
version="$(sed -n 's/^#define KOERSWACHT_VERSION_TEXT "\(.*\)"$/\1/p' "$out/build/generated/Version.h")"
company="$(sed -n 's/^#define KOERSWACHT_COMPANY "\(.*\)"$/\1/p' "$out/build/generated/Version.h")"

# The folder a user gets: the program, the platform and style plugins Qt loads on Windows, and
# every DLL these import that is neither Windows' own nor already there, found by reading the
# import tables (so a missing one fails here, not on a user's PC).
deploy="$out/Koerswacht"
rm -rf "$deploy"
mkdir -p "$deploy/platforms" "$deploy/styles"
cp "$out/build/koerswacht.exe" "$deploy/"
cp "$qt/plugins/platforms/qwindows.dll" "$deploy/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$deploy/styles/"
cp "$top/LICENSE" "$deploy/LICENSE.txt"
find_dll() {
    for folder in "$qt/bin" "${mingw_runtime[@]}"; do
        if [[ -f "$folder/$1" ]]; then
            echo "$folder/$1"
            return 0
        fi
    done
    return 0
}
pending=("$deploy/koerswacht.exe" "$deploy/platforms/qwindows.dll" "$deploy/styles/qwindowsvistastyle.dll")
while [[ ${#pending[@]} -gt 0 ]]; do
    binary="${pending[0]}"
    pending=("${pending[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
        [[ -f "$deploy/$dll" ]] && continue
        source="$(find_dll "$dll")"
        [[ -n "$source" ]] || continue # Windows' own
        cp "$source" "$deploy/"
        pending+=("$deploy/$dll")
    done
done
x86_64-w64-mingw32-strip --strip-unneeded "$deploy"/*.exe "$deploy"/*.dll "$deploy"/*/*.dll

zip_file="$out/Koerswacht-$version-win64.zip"
rm -f "$zip_file"
(cd "$out" && zip -q -r -9 "$zip_file" Koerswacht)

# The installer's file lists, made from the folder.
files="$out/installer-files.nsh"
unfiles="$out/installer-unfiles.nsh"
: >"$files"
: >"$unfiles"
(cd "$deploy" && find . -type d | sort) | while read -r folder; do
    folder="${folder#./}"
    [[ "$folder" == "." ]] && folder=""
    winfolder="${folder//\//\\}"
    echo "SetOutPath \"\$INSTDIR${winfolder:+\\$winfolder}\"" >>"$files"
    find "$deploy/${folder:-.}" -maxdepth 1 -type f | sort | while read -r file; do
        echo "File \"$file\"" >>"$files"
        echo "Delete \"\$INSTDIR\\${winfolder:+$winfolder\\}$(basename "$file")\"" >>"$unfiles"
    done
done
(cd "$deploy" && find . -mindepth 1 -type d | sort -r) | while read -r folder; do
    folder="${folder#./}"
    echo "RMDir \"\$INSTDIR\\${folder//\//\\}\"" >>"$unfiles"
done
echo 'SetOutPath "$INSTDIR"' >>"$files"

setup="$out/Koerswacht-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DCOMPANY="$company" -DFILES="$files" -DUNFILES="$unfiles" \
    -DSIZE_KB="$(du -sk "$deploy" | cut -f1)" -DLICENSE="$top/LICENSE" \
    -DICON="$top/resources/koerswacht.ico" -DOUTFILE="$setup" "$here/installer.nsi"
echo "Windows edition: folder $(du -sh "$deploy" | cut -f1), zip $(du -h "$zip_file" | cut -f1), installer $(du -h "$setup" | cut -f1)" >&2
echo "$zip_file $setup"
