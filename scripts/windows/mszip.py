#!/usr/bin/env python3
"""Packs the MSI package's files again into its cabinet, deflated with zopfli, and puts that
cabinet in the package in place of wixl's.

    mszip.py PACKAGE.msi FOLDER
    mszip.py --cabinet OUT.cab FILE...   (the cabinet alone, of these files under their names)

wixl's cabinet is deflated by zlib (MSZIP, the one compression the cabinet tools here write), and
that left the package a tenth larger than the zip. The format is the same: blocks of 32 KiB, each a
deflate stream of its own that may refer back into the blocks before it (the history MSZIP keeps
within a folder); zopfli only searches harder for the shortest such stream. The files go in the
order and under the names of the package's File table, from FOLDER by their file names."""

import ctypes
import os
import struct
import subprocess
import sys
import tempfile
import time

BLOCK = 32768


class ZopfliOptions(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int) for name in (
        "verbose", "verbose_more", "numiterations", "blocksplitting", "blocksplittinglast",
        "blocksplittingmax")]


def deflate_blocks(data):
    """Each 32 KiB block of `data` as a final deflate stream with all that precedes it as history."""
    zopfli = ctypes.CDLL("libzopfli.so.1")
    options = ZopfliOptions()
    zopfli.ZopfliInitOptions(ctypes.byref(options))
    options.numiterations = 5  # more takes minutes and gains a few hundred bytes
    source = ctypes.create_string_buffer(data, len(data))
    free = ctypes.CDLL(None).free
    for start in range(0, len(data), BLOCK):
        end = min(start + BLOCK, len(data))
        bit = ctypes.c_ubyte(0)
        out = ctypes.POINTER(ctypes.c_ubyte)()
        size = ctypes.c_size_t(0)
        zopfli.ZopfliDeflatePart(ctypes.byref(options), 2, 1, source, ctypes.c_size_t(start),
                                 ctypes.c_size_t(end), ctypes.byref(bit), ctypes.byref(out),
                                 ctypes.byref(size))
        yield end - start, ctypes.string_at(out, size.value)
        free(out)


def checksum(data, seed=0):
    """The cabinet's checksum of a data block (MS-CAB)."""
    value = seed
    whole = len(data) // 4 * 4
    for (word,) in struct.iter_unpack("<I", data[:whole]):
        value ^= word
    rest = 0
    for byte in data[whole:]:
        rest = (rest << 8) | byte
    return value ^ rest


def dos_time(seconds):
    t = time.gmtime(seconds)
    return ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday, (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)


def cabinet(files):
    """files: (name in the cabinet, path) in order; one folder, MSZIP."""
    data = b"".join(open(path, "rb").read() for _, path in files)
    blocks = []
    for uncompressed, deflated in deflate_blocks(data):
        payload = b"CK" + deflated
        sizes = struct.pack("<HH", len(payload), uncompressed)
        blocks.append(struct.pack("<I", checksum(sizes, checksum(payload))) + sizes + payload)
    entries = []
    offset = 0
    for name, path in files:
        size = os.path.getsize(path)
        date, clock = dos_time(os.path.getmtime(path))
        entries.append(struct.pack("<IIHHHH", size, offset, 0, date, clock, 0x20) + name.encode("ascii") + b"\0")
        offset += size
    header_size, folder_size = 36, 8
    files_at = header_size + folder_size
    data_at = files_at + sum(len(entry) for entry in entries)
    total = data_at + sum(len(block) for block in blocks)
    header = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, total, 0, files_at, 0, 3, 1, 1, len(files), 0, 0, 0)
    folder = struct.pack("<IHH", data_at, len(blocks), 1)
    return header + folder + b"".join(entries) + b"".join(blocks)


def table(package, name):
    rows = subprocess.run(["msiinfo", "export", package, name], check=True, capture_output=True,
                          text=True).stdout.replace("\r", "").splitlines()[3:]
    return [row.split("\t") for row in rows]


def main():
    if sys.argv[1] == "--cabinet":
        with open(sys.argv[2], "wb") as out:
            out.write(cabinet([(os.path.basename(path), path) for path in sys.argv[3:]]))
        return
    package, folder = sys.argv[1], sys.argv[2]
    # File: File, Component_, FileName, FileSize, Version, Language, Attributes, Sequence
    files = sorted(table(package, "File"), key=lambda row: int(row[7]))
    (media,) = table(package, "Media")  # DiskId, LastSequence, DiskPrompt, Cabinet, ...
    stream = media[3].lstrip("#")
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, stream)
        with open(path, "wb") as out:
            out.write(cabinet([(row[0], os.path.join(folder, row[2].split("|")[-1])) for row in files]))
        subprocess.run(["msibuild", package, "-a", stream, path], check=True)


if __name__ == "__main__":
    main()
