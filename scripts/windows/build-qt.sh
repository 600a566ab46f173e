#!/usr/bin/env bash
# Cross-builds Debian's own qt6-base for x86_64 Windows as static libraries, just the modules
# Koerswacht and its tests use (Core, Gui, Widgets, PrintSupport, Test) and just the features it
# needs, size-optimised, into one fixed prefix that later runs reuse. The program then links into a
# single koerswacht.exe that imports only Windows' own DLLs. Built again only when this script, the
# toolchain file, qt-features.cmake or Debian's Qt version changes. Prints the prefix on its last line.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="${KOERSWACHT_CACHE:-/var/cache/koerswacht}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

"$here/../install-deps.sh" --windows
version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
upstream="${version%%+*}"
stamp="$(cat "$0" "$here/mingw-w64.cmake" "$here/qt-features.cmake" | sha256sum | cut -c1-16)-$version"
prefix="$cache/qt-windows" # where CMakePresets.json looks for it
if [[ -f "$prefix/.built" && "$(cat "$prefix/.built")" == "$stamp" ]]; then
    echo "$prefix"
    exit 0
fi

"${sudo[@]}" mkdir -p "$cache"
"${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
work="$cache/qt-build"
rm -rf "$work" "$prefix" "$cache"/qt-*-mingw64* # and the builds this one replaced
mkdir -p "$work"
cd "$work"

# The source comes from the same archive as the binaries, through a private apt state: Debian's
# sources list names the binary archive only, and the machine's apt set-up is not ours to change.
# apt checks the downloaded files against the signed Sources index, and dpkg-source checks them
# against the .dsc before it unpacks and applies Debian's patches.
apt_dir="$work/apt"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt_dir/sources/debian.sources"
else
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' >"$apt_dir/sources/debian.list"
fi
apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
apt-get "${apt_private[@]}" update -qq
apt-get "${apt_private[@]}" source -qq "qt6-base=$version" >/dev/null 2>&1
src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
[[ -f "$src/CMakeLists.txt" ]] || { echo "qt6-base source not unpacked" >&2; exit 1; }
# Qt 6.4 marks PCRE2 as required even where regular expressions are switched off, which they are
# here: the one line that says so goes.
sed -i '/set_package_properties(WrapPCRE2 PROPERTIES TYPE REQUIRED)/d' "$src/src/corelib/configure.cmake"
# Widgets' removed_api.cpp keeps old entry points for programs linked against an older shared Qt,
# none of which a static build has, and it names the tool and menu bars unconditionally.
echo '// Nothing to keep for older programs in a static build.' >"$src/src/widgets/compat/removed_api.cpp"
# A size-optimised build gets GCC's -Oz, which trades a little speed no screen of this program
# notices for smaller code; Qt's build replaces whatever optimisation flag it is given by its own.
sed -i '/^if(GCC OR CLANG AND NOT WASM)$/,/^endif()$/s/set(QT_CFLAGS_OPTIMIZE_SIZE "-Os")/set(QT_CFLAGS_OPTIMIZE_SIZE "-Oz")/' \
    "$src/cmake/QtCompilerOptimization.cmake"
grep -q 'set(QT_CFLAGS_OPTIMIZE_SIZE "-Oz")' "$src/cmake/QtCompilerOptimization.cmake" ||
    { echo "Qt's optimisation flags are no longer where they were" >&2; exit 1; }
# The Windows Vista style includes the text edit and the input dialog, draws the tool bar and
# looks for list and tree views without asking whether they are there; elsewhere it asks.
vista="$src/src/plugins/styles/windowsvista"
sed -i -e 's|^#include <qtextedit.h>$|#if QT_CONFIG(textedit)\n&\n#endif|' \
    -e 's|^#include <qinputdialog.h>$|#if QT_CONFIG(inputdialog)\n&\n#endif|' "$vista/qwindowsvistastyle_p_p.h"
sed -i -e '/^    case CE_ToolBar:$/,/^        break;$/{/^    case CE_ToolBar:$/i #if QT_CONFIG(toolbar)' \
    -e '/^        break;$/a #endif' -e '}' "$vista/qwindowsvistastyle.cpp"
perl -0pi -e 's/(\n    else if \(QTreeView \*tree = qobject_cast<QTreeView \*> \(widget\)\) \{\n[^\n]*\n    \})/\n#if QT_CONFIG(treeview)$1\n#endif/g;' \
    -e 's/(\n    else if \(QListView \*list = qobject_cast<QListView \*> \(widget\)\) \{\n[^\n]*\n    \})/\n#if QT_CONFIG(listview)$1\n#endif/g' \
    "$vista/qwindowsvistastyle.cpp"
perl -0pi -e 's/\n(\s+)res = qobject_cast<const QListView\*>\(widget\) \? 2 : 1;/\n#if QT_CONFIG(listview)\n$1res = qobject_cast<const QListView*>(widget) ? 2 : 1;\n#else\n$1res = 1;\n#endif/' \
    "$vista/qwindowsxpstyle.cpp"

# Parts the program never uses that would still be linked in, being reachable in principle: the
# common style's pictures (file, folder, media, dock and tool-bar icons; the arrows the calendar
# pops up with stay), Direct3D 11 for widgets drawn through Qt's graphics layer (only OpenGL and
# Quick widgets are; with it, shader code), and the C++ library's locales with every facet, which
# a debugging dump of a widget's size and the number parser's lower-casing of "inf" and "nan"
# (in the "C" locale, which is ASCII's) pull in.
sed -i '/^set(qstyle_resource_files$/,/^)$/{/"styles\/images\/\(left\|right\|up\|down\)-[0-9]*\.png"/b;/"styles\/images\//d}' \
    "$src/src/widgets/CMakeLists.txt"
perl -0pi -e 's/#ifdef Q_OS_WIN\n(\s+r->d = new QRhiD3D11\()/#if 0 \/\/ no Direct3D 11 in this build\n$1/' \
    "$src/src/gui/rhi/qrhi.cpp"
perl -0pi -e 's/std::stringstream s;\n\s+s << .<.\n\s+<< q->width\(\) << .x. << q->height\(\)\n\s+<< std::showpos << q->x\(\) << q->y\(\)\n\s+<< .>.;\n\s+flags \+= s.str\(\);/const auto signedNumber = [](int n) { return (n < 0 ? "" : "+") + std::to_string(n); };\n        flags += "<" + std::to_string(q->width()) + "x" + std::to_string(q->height()) + signedNumber(q->x())\n                 + signedNumber(q->y()) + ">";/' \
    "$src/src/widgets/kernel/qwidget.cpp"
perl -0pi -e 's/static const std::ctype<char>& cType =\n\s+std::use_facet<std::ctype<char> >\(std::locale::classic\(\)\);\n\s+return cType.tolower\(ch\);/return ch >= \x27A\x27 && ch <= \x27Z\x27 ? char(ch - \x27A\x27 + \x27a\x27) : ch;/' \
    "$src/src/3rdparty/double-conversion/double-conversion/string-to-double.cc"
grep -q 'new QRhiD3D11' "$src/src/gui/rhi/qrhi.cpp" && grep -q '#if 0 // no Direct3D 11' "$src/src/gui/rhi/qrhi.cpp" &&
    ! grep -q 'std::stringstream' "$src/src/widgets/kernel/qwidget.cpp" &&
    ! grep -q 'std::locale' "$src/src/3rdparty/double-conversion/double-conversion/string-to-double.cc" ||
    { echo "the size patches no longer fit Qt's source" >&2; exit 1; }

export CCACHE_DIR="$cache/ccache" CCACHE_BASEDIR="$work" CCACHE_MAXSIZE=2G
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
start=$(date +%s)
# What is built, and with which features: qt-features.cmake. wintab.h (tablets) is not in Debian's
# source, hence no tablet events. Debian's own moc, rcc and uic are the host tools. ccache keeps the
# objects in the cache folder too, so a change of the recipe rebuilds sooner. -k 0: every file that
# fails is named in one run.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -C "$here/qt-features.cmake" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
nice -n 10 cmake --build "$work/build" --parallel "$(nproc)" -- -k 0 >"$work/build.log" 2>&1 ||
    { grep -E -B2 -A12 'error:|FAILED' "$work/build.log" | head -n 80 >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1
end=$(date +%s)
# For the notices that travel with the program: each bundled library's attribution, licence and
# source file names (its code is found in the program by them), Qt's licences, Debian's copyright.
notes="$prefix/share/koerswacht"
mkdir -p "$notes/3rdparty"
for library in "$src"/src/3rdparty/*/; do
    name="$(basename "$library")"
    mkdir -p "$notes/3rdparty/$name"
    (cd "$library" && find . -maxdepth 2 \( -name 'qt_attribution.json' -o -iname 'LICENSE*' -o -iname 'COPYING*' \) \
        -exec cp --parents {} "$notes/3rdparty/$name/" \;)
    find "$library" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.cc' \) -printf '%f\n' | sort -u \
        >"$notes/3rdparty/$name/sources.txt"
done
cp -r "$src/LICENSES" "$notes/"
cp "$src/debian/copyright" "$notes/debian-copyright"
echo "$version" >"$notes/debian-version"
echo "$stamp" >"$prefix/.built"
echo "Qt $upstream for Windows built in $((end - start)) s; prefix $(du -sh "$prefix" | cut -f1)" >&2
rm -rf "$work"
echo "$prefix"
