#!/usr/bin/env bash
# Fails when a library includes from a library above it. Under src/: logic/ includes nothing from
# screens/, platform/ or app/ and no QtWidgets header; platform/ includes nothing from screens/ or
# app/. The build runs it before the logic compiles; a test runs it too.
# Usage: checklayers.sh <src folder> <QtWidgets include dir>
set -uo pipefail
src=$1
widgets=$2

# What each library may not reach, by its folder under src/.
declare -A above=([logic]="screens platform app" [platform]="screens app")

status=0
for lib in "${!above[@]}"; do
    [ -d "$src/$lib" ] || continue
    while IFS= read -r -d '' f; do
        rel=${f#"$src/"}
        while IFS= read -r line; do
            num=${line%%:*}
            text=${line#*:}
            target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$text")
            reached=
            # A header of the tree, by its path from src/ or from the including file.
            if [[ $text == *'"'* ]]; then
                reached=${target%%/*}
                for candidate in "$src/$(dirname "$rel")/$target" "$src/$target"; do
                    if [ -f "$candidate" ]; then
                        reached=$(realpath -m --relative-to="$src" "$candidate")
                        reached=${reached%%/*}
                        break
                    fi
                done
            fi
            bad=
            for up in ${above[$lib]}; do
                [ "$reached" = "$up" ] && bad="a header of $up/"
            done
            if [ "$lib" = logic ] && { [[ $target == QtWidgets || $target == QtWidgets/* ]] || [ -f "$widgets/$target" ]; }; then
                bad="a QtWidgets header"
            fi
            if [ -n "$bad" ]; then
                echo "$rel:$num: $lib/ includes $bad: $target" >&2
                status=1
            fi
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$f")
    done < <(find "$src/$lib" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
exit $status
