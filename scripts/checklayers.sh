#!/usr/bin/env bash
# Fails when a file of the logic library includes a screen header: a header of the tree that is
# not in the library's own list (the screens, the platform stand-ins, the shell bridge) or a
# QtWidgets header. The build runs it before the library compiles; a test runs it too.
# Usage: checklayers.sh <source root> <file listing the library's files> <QtWidgets include dir>
set -uo pipefail
root=$1
list=$2
widgets=$3

declare -A own
while read -r f; do
    [ -n "$f" ] && own[$f]=1
done < "$list"

status=0
while read -r f; do
    [ -n "$f" ] || continue
    if [ ! -f "$root/$f" ]; then
        echo "$f: listed in the logic library but missing" >&2
        status=1
        continue
    fi
    while IFS= read -r line; do
        num=${line%%:*}
        text=${line#*:}
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$text")
        bad=
        case $target in
            Views/* | platform/* | msgboxslot.h | QtWidgets | QtWidgets/*) bad=1 ;;
        esac
        if [ -z "$bad" ] && [ -f "$widgets/$target" ]; then
            bad=1
        fi
        # A header of the tree, by its path from the root or from the including file.
        if [ -z "$bad" ] && [[ $text == *'"'* ]]; then
            for candidate in "$target" "$(dirname "$f")/$target"; do
                if [ -f "$root/$candidate" ]; then
                    candidate=$(realpath -m --relative-to="$root" "$root/$candidate")
                    [ -n "${own[$candidate]:-}" ] || bad=1
                    break
                fi
            done
        fi
        if [ -n "$bad" ]; then
            echo "$f:$num: the logic library includes a screen header: $target" >&2
            status=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$root/$f")
done < "$list"
exit $status
