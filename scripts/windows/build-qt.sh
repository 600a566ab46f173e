#!/usr/bin/env bash
# Cross-builds Debian's own qt6-base for x86_64 Windows, just the modules Koerswacht and its tests
# use (Core, Gui, Widgets, PrintSupport, Test), into one fixed prefix that later runs reuse. It is
# built again only when this script, the toolchain file or Debian's Qt version changes. Prints the
# prefix on its last line.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="${KOERSWACHT_CACHE:-/var/cache/koerswacht}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

"$here/../install-deps.sh" --windows
version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
upstream="${version%%+*}"
stamp="$(cat "$0" "$here/mingw-w64.cmake" | sha256sum | cut -c1-16)-$version"
prefix="$cache/qt-$upstream-mingw64"
if [[ -f "$prefix/.built" && "$(cat "$prefix/.built")" == "$stamp" ]]; then
    echo "$prefix"
    exit 0
fi

"${sudo[@]}" mkdir -p "$cache"
"${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
work="$cache/qt-build"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"

# The source comes from the same archive as the binaries. Debian ships the binary entries only, so
# a deb-src entry for the same archive goes into a file of its own; the binary entries stay as
# they are.
if ! grep -rqs -E '^(Types: deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    src_list=/etc/apt/sources.list.d/koerswacht-deb-src.sources
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
        sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            "${sudo[@]}" tee "$src_list" >/dev/null
    else
        grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
            "${sudo[@]}" tee "${src_list%.sources}.list" >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
fi
# apt checks the downloaded files against the signed Sources index, and dpkg-source checks them
# against the .dsc before it unpacks and applies Debian's patches.
apt-get source -qq "qt6-base=$version" >/dev/null
src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
[[ -f "$src/CMakeLists.txt" ]] || { echo "qt6-base source not unpacked" >&2; exit 1; }

export CCACHE_DIR="$cache/ccache" CCACHE_BASEDIR="$work" CCACHE_MAXSIZE=2G
start=$(date +%s)
# Shared libraries, release build, without the modules Koerswacht does not use. wintab.h (tablets)
# is not in Debian's source, hence no tablet events; without OpenGL the run-time choice of an
# OpenGL library (dynamicgl) must go too, or the Windows platform plugin does not compile. Debian's
# own moc, rcc and uic are the host tools. ccache keeps the objects in the cache folder too, so a
# change to this script rebuilds in minutes.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_imageformat_bmp=ON \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=ON \
    -DFEATURE_androiddeployqt=OFF -DFEATURE_windeployqt=OFF \
    >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
nice -n 10 cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 ||
    { tail -n 60 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" --strip >"$work/install.log" 2>&1
end=$(date +%s)
echo "$stamp" >"$prefix/.built"
echo "Qt $upstream for Windows built in $((end - start)) s; prefix $(du -sh "$prefix" | cut -f1)" >&2
rm -rf "$work"
echo "$prefix"
