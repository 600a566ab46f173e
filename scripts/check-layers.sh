#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own, or from a layer beside it. The
# layers, bottom up: core; report and sysinfo; ui; app. Each folder is one CMake target, and its
# link line says the same; this check keeps the includes honest too.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
declare -A allowed=(
    [core]="core"
    [report]="core report"
    [sysinfo]="sysinfo"
    [ui]="core report sysinfo ui"
    [app]="core report sysinfo ui app"
)
bad=0
for layer in "${!allowed[@]}"; do
    while IFS= read -r line; do
        file="${line%%:*}"
        target="$(sed -E 's/.*#[[:space:]]*include[[:space:]]+"([^"/]+)\/.*/\1/' <<<"$line")"
        [[ -n "${allowed[$target]+x}" ]] || continue # not one of our layers
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "layer $layer reaches up or across into $target: ${line#"$top/"}" >&2
            bad=1
        fi
    done < <(grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' \
        "$top/$layer"/*.cpp "$top/$layer"/*.h 2>/dev/null || true)
done
[[ $bad -eq 0 ]] || exit 1
echo "layers: every include points down (core <- report, sysinfo <- ui <- app)"
