#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a folder above its own. The layers, bottom to top:
#   platform/rastix  platform/gdi  colour  document  view  ops  history  platform/ui  app
# A file may include its own folder and the folders below it; every quoted include must
# name one of these folders.
#   scripts/check-layers.sh [source-folder]    (default: src)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-src}

layers=(platform/rastix platform/gdi colour document view ops history platform/ui app)

rank_of() { # folder path relative to root -> its layer's rank, or nothing
    local path=$1 i
    for i in "${!layers[@]}"; do
        case "$path" in "${layers[$i]}" | "${layers[$i]}"/*) echo "$i"; return ;; esac
    done
}

status=0
while IFS= read -r -d '' file; do
    rel=${file#"$root"/}
    own=$(rank_of "$(dirname "$rel")")
    if [ -z "$own" ]; then
        echo "$file: not in any layer (${layers[*]})"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        [ -n "$target" ] || continue
        theirs=$(rank_of "$(dirname "$target")")
        if [ -z "$theirs" ]; then
            echo "$file:$line: includes \"$target\", which is in no layer"
            status=1
        elif [ "$theirs" -gt "$own" ]; then
            echo "$file:$line: ${layers[$own]} includes \"$target\" from ${layers[$theirs]}, a layer above it"
            status=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" \
                 | sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find "$root" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$status" -ne 0 ]; then
    echo "Include order broken: a file may include only its own layer and the ones below." >&2
fi
exit "$status"
