#!/usr/bin/python3
"""Writes THIRD-PARTY-NOTICES.txt for koerswacht.exe from the linker's map of that file: every
library it holds code from, what of it, and under which licence, with the licence texts. Fails
when the map shows code it cannot name, so that a library linked in later cannot go unmentioned.

    notices.py MAP QT_PREFIX OUT

QT_PREFIX is the static Qt that scripts/windows/build-qt.sh made; its share/koerswacht holds the
bundled libraries' attributions, licences and source file names, Qt's licences and Debian's
version of the source.
"""
import json
import os
import re
import subprocess
import sys
import textwrap
from collections import defaultdict
from pathlib import Path

MAP, QT, OUT = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
NOTES = QT / "share" / "koerswacht"
GCC = "/usr/lib/gcc/x86_64-w64-mingw32/"
MINGW = "/usr/x86_64-w64-mingw32/lib/"
PROJECT = str(MAP.parent) + "/"

# An input of the link and the bytes it put into the program, read off the memory map: each kept
# input section is "name address size file", the name on a line of its own when long.
SECTION = re.compile(r"^\s*(?:\S+\s+)?0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+\.a\(.*\)|\S+\.obj|\S+\.o)\s*$")


def linked():
    text = MAP.read_text(errors="replace")
    memory_map = text[text.index("Linker script and memory map"):]
    sizes = defaultdict(int)
    for line in memory_map.splitlines():
        match = SECTION.match(line)
        if match and int(match.group(1), 16) > 0:
            archive, member = archive_and_member(match.group(2).strip())
            archive = os.path.normpath(archive) if archive.startswith("/") else archive
            sizes[f"{archive}({member})" if member else archive] += int(match.group(1), 16)
    return sizes


def archive_and_member(name):
    match = re.match(r"^(.*\.a)\((.*)\)$", name)
    return (match.group(1), match.group(2)) if match else (name, None)


def bundled_sources():
    """Each bundled library of Qt's source by the names of its source files."""
    owners = {}
    for library in sorted((NOTES / "3rdparty").iterdir()):
        for source in (library / "sources.txt").read_text().split():
            owners.setdefault(source, library.name)
    return owners


def package_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True, text=True).stdout


def attribution(library):
    found = []
    for path in sorted((NOTES / "3rdparty" / library).rglob("qt_attribution.json")):
        data = json.loads(path.read_text(), strict=False)  # some hold tabs in their strings
        for entry in data if isinstance(data, list) else [data]:
            entry["_folder"] = path.parent
            found.append(entry)
    return found


def main():
    sizes = linked()
    owners = bundled_sources()
    parts = defaultdict(lambda: defaultdict(int))  # component -> what of it -> bytes
    unknown = []
    for name, size in sizes.items():
        archive, member = archive_and_member(name)
        if name.startswith(PROJECT) or not name.startswith("/"):
            parts["Koerswacht"]["its own code and resources"] += size
        elif archive.startswith(str(QT)):
            library = Path(archive).name
            bundled = re.match(r"libQt6Bundled(\w+)\.a$", library)
            source = re.sub(r"\.obj$", "", member or "")
            if bundled:
                parts["bundled:" + bundled.group(1).lower()][library] += size
            elif source in owners:
                parts["bundled:" + owners[source]][source] += size
            else:
                parts["Qt"][library if member else "resources and plugin registration"] += size
        elif archive.startswith(GCC):
            parts["gcc"][Path(archive).name] += size
        elif archive.startswith(MINGW):
            parts["mingw-w64"][Path(archive).name] += size
        else:
            unknown.append(name)
    if unknown:
        sys.exit("notices: the program holds code of unknown origin:\n  " + "\n  ".join(sorted(unknown)))

    qt_version = (NOTES / "debian-version").read_text().strip()
    texts = {}  # licence title -> text, each written once at the end
    # The opening text, with the versions it names.
    lines = (Path(__file__).parents[2] / "resources" / "windows" / "notices-head.txt").read_text().format(
        gcc=package_version("gcc-mingw-w64-x86-64-posix"), mingw=package_version("mingw-w64-x86-64-dev"),
        qt_version=qt_version).splitlines()
    kib = lambda n: f"{n / 1024:,.0f} KiB"
    for part, size in sorted(parts["Koerswacht"].items()):
        lines.append(f"Koerswacht, {part}: {kib(size)}")

    lines.append("")
    lines.append(f"Qt {qt_version.split('+')[0]} (Debian's qt6-base {qt_version}), GNU LGPL version 3:")
    for part, size in sorted(parts["Qt"].items()):
        lines.append(f"    {part}: {kib(size)}")
    texts["GNU Lesser General Public License, version 3"] = (NOTES / "LICENSES" / "LGPL-3.0-only.txt").read_text()
    texts["GNU General Public License, version 3 (which the LGPL version 3 builds on)"] = (
        NOTES / "LICENSES" / "GPL-3.0-only.txt").read_text()

    for component in sorted(c for c in parts if c.startswith("bundled:")):
        library = component.split(":", 1)[1]
        entries = attribution(library)
        if not entries:
            sys.exit(f"notices: no attribution for Qt's bundled {library}")
        size = sum(parts[component].values())
        for entry in entries:
            lines.append("")
            lines.append(f"{entry.get('Name', library)} {entry.get('Version', '')}, bundled with Qt "
                         f"({entry.get('License', '?')}): {kib(size)}")
            copyright_ = entry.get("Copyright", "")
            for line in (copyright_ if isinstance(copyright_, list) else copyright_.splitlines()):
                if line.strip():
                    lines.append("    " + line.strip())
            files = entry.get("LicenseFile", "")
            for name in files if isinstance(files, list) else [files]:
                path = entry["_folder"] / name if name else None
                title = f"{entry.get('Name', library)}: {entry.get('License', '')}"
                if path and path.exists():
                    texts[title] = path.read_text(errors="replace")
                else:
                    texts[title] = licence_by_id(entry.get("LicenseId", ""))

    def listed(part):  # each item kept whole on its line
        items = ", ".join(f"{a} {kib(s)}".replace(" ", "\0") for a, s in sorted(parts[part].items()))
        return [line.replace("\0", " ") for line in textwrap.wrap(items, 94, initial_indent="    ",
                                                                  subsequent_indent="    ")]
    lines.append("")
    lines.append("GCC's runtime libraries (libstdc++, libgcc), GNU GPL version 3 with the GCC Runtime Library")
    lines.append("Exception, version 3.1:")
    lines += listed("gcc")
    texts["GCC Runtime Library Exception, version 3.1"] = gcc_exception()
    texts.setdefault("GNU General Public License, version 3 (which the LGPL version 3 builds on)",
                     Path("/usr/share/common-licenses/GPL-3").read_text())
    lines.append("")
    lines.append("mingw-w64's runtime (program start-up, winpthreads as libpthread, the C runtime's additions,")
    lines.append("import libraries of Windows' own DLLs), several permissive licences and the public domain:")
    lines += listed("mingw-w64")
    texts["mingw-w64 runtime and winpthreads (Debian's copyright file of mingw-w64)"] = Path(
        "/usr/share/doc/mingw-w64-common/copyright").read_text()

    lines.append("")
    for title, text in texts.items():
        lines += ["", "=" * 78, title, "=" * 78, "", text.rstrip()]
    OUT.write_text("\r\n".join(lines) + "\r\n")


def licence_by_id(identifier):
    path = NOTES / "LICENSES" / f"{identifier}.txt"
    if not identifier or not path.exists():
        sys.exit(f"notices: no licence text for {identifier!r}")
    return path.read_text()


def gcc_exception():
    """The exception as Debian's copyright file of the cross compiler quotes it."""
    text = Path("/usr/share/doc/gcc-mingw-w64-base/copyright").read_text()
    start = text.index("GCC RUNTIME LIBRARY EXCEPTION")
    end = text.index("\n\n\n", start) if "\n\n\n" in text[start:] else len(text)
    return text[start:end]


if __name__ == "__main__":
    main()
