#!/usr/bin/env bash
# Fails when the committed screen layouts differ from what scripts/gen_ui.py makes of its tables.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
python3 "$top/scripts/gen_ui.py" "$out"
status=0
for ui in "$out"/*.ui; do
    cmp -s "$ui" "$top/resources/$(basename "$ui")" || {
        echo "resources/$(basename "$ui") differs from what scripts/gen_ui.py makes:" >&2
        diff -u "$top/resources/$(basename "$ui")" "$ui" | head -n 20 >&2
        status=1
    }
done
[[ $status -eq 0 ]] && echo "layouts: the $(ls "$out" | wc -l) .ui files are what scripts/gen_ui.py makes"
exit $status
