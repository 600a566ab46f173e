#!/usr/bin/env bash
# What the README tells a user to run or to look at is there.
#   paths           every file and folder of the checkout the README names exists (built files,
#                   such as those under build*/, are not named as checkout paths)
#   debian-package  runs the commands of "Installing the Debian package" as written, but for the
#                   install itself, which scripts/package-test.sh does and undoes
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
readme="$top/README.md"
case "${1:-}" in
paths)
    folders='scripts|resources|docs|tests|app|core|report|sysinfo|ui|bench|\.ci'
    missing=0
    count=0
    while read -r path; do
        count=$((count + 1))
        [[ -e "$top/$path" ]] || { echo "README names $path, which is not in the checkout" >&2; missing=1; }
    done < <(grep -oP "(?<![\\w/.-])(?:$folders)/[\\w./-]*" "$readme" | sed 's/[.]$//' | sort -u)
    ((count > 0)) || { echo "no paths found in the README" >&2; exit 1; }
    ((missing == 0)) && echo "README: all $count paths it names exist"
    exit $missing
    ;;
debian-package)
    # The indented block under the heading, up to the next paragraph.
    block="$(awk '/^## Installing the Debian package/ {inside=1; next} inside && /^    / {print substr($0, 5); seen=1; next}
                  inside && seen && !/^$/ {exit}' "$readme")"
    [[ -n "$block" ]] || { echo "no commands under \"Installing the Debian package\"" >&2; exit 1; }
    commands="$(grep -v 'apt-get install ./' <<<"$block")"
    echo "$commands"
    cd "$top" && bash -euo pipefail -c "$commands"
    ;;
*)
    echo "usage: $0 paths|debian-package" >&2
    exit 2
    ;;
esac
