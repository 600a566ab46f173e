#!/usr/bin/env bash
# Runs "$@" with TMPDIR a folder that is full: a small tmpfs filled up, mounted in a mount
# namespace of this command's own, so nothing of the machine's changes and it is gone afterwards.
set -euo pipefail
exec unshare --mount --propagation private bash -c '
    folder="$(mktemp -d)"
    mount -t tmpfs -o size=64k,mode=1777 koerswacht-full "$folder"
    dd if=/dev/zero of="$folder/filler" bs=4k 2>/dev/null || true
    export TMPDIR="$folder" KOERSWACHT_FULL_TMPDIR="$folder"
    "$@"; status=$?
    umount "$folder"; rmdir "$folder"
    exit $status' _ "$@"
